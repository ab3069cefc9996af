// Whole-file reading and all-or-nothing writing for the data tools.
//
// Every tool writes its output through writeFileAtomic, so a failed or interrupted run
// never leaves a half-written file under the final name. Errors are thrown as
// ToolError with a one-line message that names the file. No other file access here.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// The one error type of the tools: its what() is a complete one-line message.
struct ToolError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::vector<uint8_t> readFile(const std::string& path);

// Writes to "<path>.tmp-<n>" in the same folder, then renames over `path`.
void writeFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes);

// 64-bit FNV-1a of a byte string: a cheap fingerprint for "same input file".
uint64_t fnv1a64(const std::vector<uint8_t>& bytes);
