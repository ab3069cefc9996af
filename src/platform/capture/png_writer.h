// PNG files written beside the frame loop: a bounded queue of pictures and a few threads
// that compress and write them, so a capture renders while earlier frames are written.
//
// Capture starts the writer, queues each picture (the pixels are moved in) and finishes
// the writer at the end; each file still appears complete or not at all (writePng).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

void startPngWriter();
// False once a write has failed; finishPngWriter then says why.
bool queuePng(std::string path, int width, int height, std::vector<uint8_t> rgb);
// Waits until every queued picture is written; false with the first failure's reason.
bool finishPngWriter(std::string& reason);
// Hands back a spent pixel buffer for the next picture (or an empty one), to save allocations.
std::vector<uint8_t> sparePngBuffer();
