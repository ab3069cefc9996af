// A web page writes no files: no WAV recording, only the listener the tests may set.
#include "platform/capture/music_recording.h"

namespace {
MusicListener listener = nullptr;
}

bool openMusicRecording(const char*, int, std::string& reason) {
    reason = "a web page records no sound files";
    return false;
}

bool musicRecording() { return listener != nullptr; }

void writeMusicRecording(const float* frames, std::size_t count) {
    if (listener) listener(frames, count);
}

bool closeMusicRecording(std::string&) { return true; }
void abandonMusicRecording() {}
bool keepMusicRecording(std::string&) { return true; }
void dropMusicRecording() {}
void setMusicListener(MusicListener newListener) { listener = newListener; }
