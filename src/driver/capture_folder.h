// Where a capture writes: the folder of --capture, created when missing and never mixed
// with an earlier capture; and the file of --video, whose folder is created the same way
// and which replaces an existing file only when forced.
//
// Called by the option checks before anything is rendered. A folder that already holds a
// capture's files is refused, unless forced: then exactly those files are removed (the
// frame pictures, frames.csv and audio.wav, and the temporary files of a run that was
// killed before it could remove them) and nothing else; only regular files, never a
// folder or a link of those names.
#pragma once

#include <string>

// Whether a file name is one a capture writes: frame-NNNNNN.png (six digits), frames.csv
// or audio.wav, or a temporary name of one of them (NAME.XXXXXX.partial).
bool isCaptureFileName(const std::string& name);

// Makes the folder ready; returns "" or the one-line error, naming --capture.
std::string prepareCaptureFolder(const std::string& folder, bool force);

// Makes the video's folder when missing and refuses a name already taken (unless forced:
// the old file is then replaced only once the new one is complete); returns "" or the
// one-line error, naming --video.
std::string prepareVideoFile(const std::string& path, bool force);
