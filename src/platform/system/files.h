// File-system questions and reads the driver needs: finding its data folder, reading the
// data files, and preparing a capture folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

bool directoryExists(const std::string& path);

// True only for a regular file (not a folder, device or FIFO); never blocks.
bool regularFileExists(const std::string& path);

// Reads at most `capacity` bytes of a regular file into `buffer`; `bytesRead` says how
// many there were. Anything else (missing, a folder, a device, a FIFO) or a failing read
// gives false and a reason. Never blocks on a FIFO.
bool readRegularFile(const std::string& path, uint8_t* buffer, size_t capacity, size_t& bytesRead,
                     std::string& reason);

// The folder that holds the running executable, or "" when it cannot be told.
std::string executableDirectory();

// The absolute path of the working directory, or "." when it cannot be told.
std::string workingDirectory();

// Creates the folder (and its parents) when missing; false when it cannot.
bool makeDirectories(const std::string& path, std::string& reason);

// The names of the entries of a folder (no "." or ".."); empty when it cannot be read.
std::vector<std::string> folderEntries(const std::string& path);

// Removes one file (not a folder); false with a reason when it cannot.
bool removeFile(const std::string& path, std::string& reason);
