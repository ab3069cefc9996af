// File-system questions the driver asks while it looks for its data folder.
#pragma once

#include <string>

bool directoryExists(const std::string& path);

// The folder that holds the running executable, or "" when it cannot be told.
std::string executableDirectory();

// The absolute path of the working directory, or "." when it cannot be told.
std::string workingDirectory();

// Creates the folder (and its parents) when missing; false when it cannot.
bool makeDirectories(const std::string& path, std::string& reason);
