// The Windows build has no video encoder: its libraries are built without FFmpeg. --video
// says so before anything is rendered; pictures and audio.wav (--capture) work as ever.
#include "platform/capture/video_encoder.h"

std::string videoPathProblem(const std::string&, bool) {
    return "this Windows build writes no video; use --capture DIR for pictures and sound";
}

bool openVideoEncoder(const std::string&, const VideoFormat&, std::string& reason) {
    reason = videoPathProblem("", false);
    return false;
}

bool encodeVideoFrame(const uint8_t*, std::string& reason) { return openVideoEncoder("", VideoFormat{}, reason); }

bool encodeVideoSound(const float*, std::size_t, std::string& reason) {
    return openVideoEncoder("", VideoFormat{}, reason);
}

bool finishVideoEncoder(std::string&) { return true; }

void abandonVideoEncoder() {}
