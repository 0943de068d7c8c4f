// What every fuzz target needs: a private working folder, the memory and
// file runtimes, whole-file access that bypasses the layer under test, and a
// way to stop on a mismatch so that libFuzzer keeps the input.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace fuzz {

// Creates a fresh temporary folder, enters it, and starts the runtimes; once,
// from LLVMFuzzerInitialize, so that what lives for the whole run is not
// taken for a leak of the first input.
void start_in_private_folder();

// The folder start_in_private_folder entered.
const std::string& private_folder();

// Through Linux directly.
void put_file(const char* name, const std::string& bytes);
std::string file_bytes(const char* name);  // "<missing>" when it cannot be read

// Prints what differs and aborts: libFuzzer then saves the input.
[[noreturn]] void mismatch(const char* what, const std::string& expected, const std::string& actual);

// Stops with a message when the condition does not hold.
void require(bool condition, const char* what);

}  // namespace fuzz
