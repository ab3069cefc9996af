// File-system questions and reads the driver needs: finding its data folder, reading the
// data files, preparing a capture folder; and the one way every output file is written.
//
// Every file the program writes (the capture's pictures, frames.csv and audio.wav, the
// video) is created new under a temporary name beside its final one, never through a link
// and never over a file found in its way, and takes its final name only when complete
// (NewFile). Called by the capture writers and by the option checks; it prints nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
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

// Opens a regular file for reading without blocking on a FIFO or a device; anything else
// gives nullptr and a reason.
std::FILE* openRegularFile(const std::string& path, std::string& reason);

// Whether anything (a file, a folder, a link, even a dangling one) has this name.
bool nameTaken(const std::string& path);

// Removes one regular file; a folder, a link or anything else is left and gives false
// with a reason, as does a failing removal.
bool removeRegularFile(const std::string& path, std::string& reason);

// An output file while it is written. Its temporary name is the final one followed by a
// dot, six random letters or digits, and ".partial" (temporaryNameOf tells them), made
// with exclusive creation, so no other run and no planted link can share it.
struct NewFile {
    int descriptor = -1;
    std::string path;       // the final name
    std::string temporary;  // where it is written meanwhile
};

// Whether `name` (no folder) is a temporary name of a file called `finalName`.
bool temporaryNameOf(const std::string& name, const std::string& finalName);

// Creates the temporary file of `path`; false with a reason (the caller names the file).
bool createNewFile(const std::string& path, NewFile& file, std::string& reason);
// Writes all of `bytes`; false with a reason when any of it was not written.
bool writeNewFile(NewFile& file, const void* bytes, size_t count, std::string& reason);
// Moves the write position (SEEK_SET, SEEK_CUR or SEEK_END); the new position, or -1.
int64_t seekNewFile(NewFile& file, int64_t offset, int whence);
// The file's size now, or -1.
int64_t newFileSize(NewFile& file);
// Closes the file and renames it to its final name, replacing a name found there (a link
// is replaced, never followed); false with a reason when the close or the rename fails,
// and the temporary file is then removed.
bool keepNewFile(NewFile& file, std::string& reason);
// Closes (when open) and removes the temporary file; safe to call more than once.
void dropNewFile(NewFile& file);
