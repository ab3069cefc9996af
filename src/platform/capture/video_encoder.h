// Encoding pictures and sound into one video file with FFmpeg's libavcodec and libavformat.
//
// The file's extension picks the container and codecs: .mp4 and .mkv hold H.264 and AAC,
// .webm holds VP9 and Opus. Lossless files keep every RGB pixel (H.264 coded in RGB at
// quantiser 0, or lossless VP9 in GBR) and, in .mkv, the sound as FLAC. The file is
// written under a temporary name next to the final one and renamed only once complete,
// so the final name never holds half a file.
//
// One encoder at a time, driven from a single thread (the video writer's). It knows
// frames only as a constant rate; which frames and when is the caller's business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct VideoFormat {
    int width = 0, height = 0;  // even: 4:2:0 colour halves both
    double framesPerSecond = 60;
    bool lossless = false;
    int soundRate = 0;  // stereo frames a second; 0 for a file without sound
};

// "" when the extension is known and the libraries have its encoders, otherwise why not.
std::string videoPathProblem(const std::string& path, bool lossless);

bool openVideoEncoder(const std::string& path, const VideoFormat& format, std::string& reason);
// `rgb` holds width * height pixels of three bytes, row by row from the top.
bool encodeVideoFrame(const uint8_t* rgb, std::string& reason);
// `frames` interleaved stereo float frames; values beyond ±1 are clipped.
bool encodeVideoSound(const float* frames, std::size_t count, std::string& reason);
// Drains the encoders, finishes the container and renames the file to its final name.
// On failure nothing is left behind.
bool finishVideoEncoder(std::string& reason);
// Stops and removes the temporary file; safe when nothing is open.
void abandonVideoEncoder();
