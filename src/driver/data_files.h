// Finding the data folder and reading the pictures and the font into their buffers.
//
// Called once by start-up, before the terminal is touched. A folder counts only when it
// holds every file the show needs, so an unrelated Data/ does not hide the installed one.
// The folders tried: the one chosen with --data, else the one in ZORBEL_DATA, else Data/
// in the working directory, next to the executable and in ../share/zorbel/ beside it.
#pragma once

#include <string>
#include <vector>

// The files every data folder must hold (the music is optional: without it the show is silent).
extern const char* const requiredDataFiles[5];

// The folders to try, in order: only `chosen` when given, else only `environment` when
// set and not empty, else the three default places. `executableFolder` may be "".
std::vector<std::string> dataFolderCandidates(const std::string& chosen, const char* environment,
                                              const std::string& workingFolder,
                                              const std::string& executableFolder);

// The folder given with --data ("" for none); read together with ZORBEL_DATA by the lookup.
void chooseDataFolder(const std::string& folder);

// The first candidate that holds every required file; "" when none does.
std::string dataFolder();

// Reads each file of the data folder (at most its buffer's size; a short file leaves the
// rest zero). When none is complete or a file cannot be read, prints
// "Error Failed To Load Data/<file>" on standard output and, on standard error, why and
// every folder tried; returns false.
bool loadDataFiles();
