// Internals of process.cpp that tests reach.
#pragma once

#include <string>

namespace kernel {

// Joins NUL-separated arguments into one Windows command line, quoting the
// ones that the platform would otherwise split or unquote.
std::string command_line_from(const std::string& raw);

}  // namespace kernel
