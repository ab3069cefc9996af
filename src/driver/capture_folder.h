// The folder a capture writes into: created when missing, and never mixed with an
// earlier capture.
//
// Called by the option checks before anything is rendered. A folder that already holds a
// capture's files is refused, unless forced: then exactly those files are removed (the
// frame pictures, frames.csv and audio.wav) and nothing else.
#pragma once

#include <string>

// Whether a file name is one a capture writes: frame-NNNNNN.png (six digits or more),
// frames.csv or audio.wav.
bool isCaptureFileName(const std::string& name);

// Makes the folder ready; returns "" or the one-line error, naming --capture.
std::string prepareCaptureFolder(const std::string& folder, bool force);
