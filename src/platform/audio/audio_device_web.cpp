// The sound device of a web page: an AudioWorklet in the page (page/music_worklet.js) that
// plays 48 kHz stereo blocks and asks the page for more while its queue runs low; the page
// answers each request by calling zorbel_render_audio here, on the main thread, between
// frames, so the decoder is never used by two threads. The page's script object
// `Module.zorbelSound` opens, starts, pauses and stops the worklet.
#include "platform/audio/audio_device.h"

#include "platform/audio/music_engine.h"
#include "platform/system/clock.h"

#include <emscripten.h>

// clang-format off
EM_JS(int, pageSoundOpen, (), { return Module.zorbelSound && Module.zorbelSound.open() ? 1 : 0; });
EM_JS(int, pageSoundStart, (), { return Module.zorbelSound.start() ? 1 : 0; });
EM_JS(void, pageSoundPause, (), { Module.zorbelSound.pause(); });
EM_JS(void, pageSoundStop, (), { if (Module.zorbelSound) Module.zorbelSound.stop(); });
// clang-format on

namespace {

constexpr int maxRequestFrames = 16384;
constexpr uint64_t silentAfterMs = 1000;

bool allowed = true;
bool deviceOpen = false;
bool playing = false;
uint64_t lastRequestTick = 0;  // the program's clock at the worklet's last request
float block[2 * maxRequestFrames];

}  // namespace

void setAudioDeviceAllowed(bool isAllowed) { allowed = isAllowed; }

bool openAudioDevice(std::string& reason) {
    if (!allowed) {
        reason = "sound devices are turned off";
        return false;
    }
    if (!deviceOpen && !pageSoundOpen()) {
        reason = "this browser has no Web Audio";
        return false;
    }
    deviceOpen = true;
    return true;
}

bool startAudioDevice(uint64_t tick) {
    if (!deviceOpen) return false;
    playing = pageSoundStart() != 0;
    lastRequestTick = tick;
    return playing;
}

// The worklet plays silence and asks for nothing until started again; what it holds
// plays on after the pause.
void pauseAudioDevice() {
    if (deviceOpen) pageSoundPause();
}

void stopAudioDevice() {
    if (deviceOpen) pageSoundStop();
    playing = false;
}

void closeAudioDevice() {
    stopAudioDevice();
    deviceOpen = false;
}

void abandonAudioDevice() { closeAudioDevice(); }

// A worklet that has not asked for a second (the browser kept the sound from starting, or
// the context was closed) counts as stopped; the program's clock is held while paused, so
// a pause never counts.
bool audioDevicePlaying(uint64_t tick) { return playing && tick - lastRequestTick < silentAfterMs; }

// The worklet's request for `frames` more frames: the music's next interleaved stereo
// frames, or nullptr while nothing plays.
extern "C" EMSCRIPTEN_KEEPALIVE const float* zorbel_render_audio(int frames) {
    if (!playing || frames <= 0) return nullptr;
    if (frames > maxRequestFrames) frames = maxRequestFrames;
    lastRequestTick = tickCount();
    renderMusic(block, static_cast<std::size_t>(frames));
    return block;
}
