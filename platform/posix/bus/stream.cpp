// The framing of the bytes from the bus.
#include "platform/posix/bus/stream.h"

#include "platform/posix/bus/auth.h"

namespace bus {

namespace {

constexpr size_t most_auth_line = 512;

}  // namespace

void Stream::add(const char* data, size_t size) {
    if (broken_) {
        return;
    }
    // What was read is dropped only now and then, not once a message.
    if (start_ > 4096 && start_ * 2 > input_.size()) {
        input_.erase(0, start_);
        start_ = 0;
    }
    input_.append(data, size);
}

Stream::Next Stream::next(Message* out) {
    if (broken_) {
        return Next::broken;
    }
    if (!authenticated_) {
        const size_t end = input_.find("\r\n", start_);
        if (end == std::string::npos) {
            broken_ = buffered() > most_auth_line;
            return broken_ ? Next::broken : Next::more;
        }
        broken_ = end - start_ > most_auth_line || !auth_accepted(input_.substr(start_, end - start_));
        if (broken_) {
            return Next::broken;
        }
        authenticated_ = true;
        start_ = end + 2;
    }
    const long length = frame_length(input_.data() + start_, buffered());
    if (length == 0 || (length > 0 && buffered() < static_cast<size_t>(length))) {
        return Next::more;
    }
    broken_ = length < 0 || !parse_message(input_.substr(start_, static_cast<size_t>(length)), out);
    if (broken_) {
        return Next::broken;
    }
    start_ += static_cast<size_t>(length);
    return Next::message;
}

}  // namespace bus
