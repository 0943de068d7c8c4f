// An independent model of the gamble table that a list file yields, written
// from the documented rules rather than from the code.
#pragma once

#include <stdint.h>

#include <string>

namespace fuzz {

constexpr int category_count = 27;

// The table for the list file's bytes, with categories[i] the state that
// category i's checkbox reports.
std::string expected_table(const std::string& list, const int32_t* categories);

}  // namespace fuzz
