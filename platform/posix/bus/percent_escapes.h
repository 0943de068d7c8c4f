// %xx escapes, as bus addresses and file:// URIs write bytes that may not
// stand as they are. Here for the bus's addresses; the launcher, which
// links the bus, reads its file:// arguments with it too.
#pragma once

#include <string>

namespace bus {

// The text with each %xx (either case) turned back into its byte; false
// for a % not followed by two hexadecimal digits.
bool percent_decoded(const std::string& text, std::string* out);

}  // namespace bus
