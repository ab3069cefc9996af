// Finding the Data folder and reading the pictures and the font into their buffers.
//
// Called once by start-up, before the terminal is touched. Data/ in the working directory
// comes first; without one, the folder next to the installed executable is used.
#pragma once

#include <string>

// The prefix to put before "Data/..." paths: "" for the working directory.
std::string dataFolderPrefix();

// Reads each file (at most its buffer's size; a short file leaves the rest zero). When a
// file cannot be opened, prints why and where it looked, and returns false.
bool loadDataFiles();
