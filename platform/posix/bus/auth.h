// The authentication exchange's lines: what the client says (EXTERNAL with
// its user id, then BEGIN, sent at once so that nothing waits for the
// server's answer) and whether the server's one line accepts it.
#pragma once

#include <string>

namespace bus {

// The nul byte, AUTH EXTERNAL <uid as hex digits of its decimal text>, BEGIN.
std::string auth_request(unsigned uid);

// "OK <guid>" accepts; REJECTED, ERROR or anything else refuses.
bool auth_accepted(const std::string& line);

}  // namespace bus
