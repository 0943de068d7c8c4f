// What the bus sends, in whatever pieces it comes: the server's answer to
// the authentication, then whole messages. Bytes in, messages out, no
// socket: the connection feeds it and the fuzz target does the same.
#pragma once

#include <stddef.h>

#include <string>

#include "platform/posix/bus/message.h"

namespace bus {

class Stream {
  public:
    enum class Next { message, more, broken };

    // Whether the authentication's answer is still to come first.
    explicit Stream(bool expect_auth_answer = true) : authenticated_(!expect_auth_answer) {}

    void add(const char* data, size_t size);
    // The next whole message; more when the rest has not come yet; broken,
    // for good, when the bytes are no answer or no message we read.
    Next next(Message* out);
    bool authenticated() const { return authenticated_; }
    size_t buffered() const { return input_.size() - start_; }

  private:
    std::string input_;
    size_t start_ = 0;  // what was read of input_ already
    bool authenticated_;
    bool broken_ = false;
};

}  // namespace bus
