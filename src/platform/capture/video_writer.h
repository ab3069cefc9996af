// The video file written beside the frame loop: a bounded queue of pictures and sound
// blocks, and a thread of its own that feeds them to the video encoder in order.
//
// Capture starts the writer at its first written frame, queues each written frame's
// pixels and (through the music engine's listener) every block of sound, and finishes or
// abandons it at the end. Queueing copies the data and waits only while the queue is
// full. It does not choose codecs (the encoder does) or frames (capture does).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/capture/video_encoder.h"

bool startVideoWriter(const std::string& path, const VideoFormat& format, std::string& reason);
// False once the writer has failed; finishVideoWriter then says why.
bool queueVideoFrame(const uint8_t* rgb);
// Interleaved stereo float frames, as the music engine renders them.
void queueVideoSound(const float* frames, std::size_t count);
// Encodes what is queued, completes the file and gives it its final name; on failure
// says why and leaves nothing. Safe when no writer runs.
bool finishVideoWriter(std::string& reason);
// Stops at once and removes the unfinished file.
void abandonVideoWriter();
