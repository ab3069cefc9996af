// The music modes and their switching: which clock drives the engine, and the
// per-frame spectrum read.
#include "platform/audio/audio.h"

#include "platform/audio/audio_device.h"
#include "platform/audio/music_engine.h"
#include "platform/audio/spectrum.h"
#include "platform/capture/music_recording.h"
#include "platform/system/clock.h"

namespace {

enum class Driver { none, device, clock };

MusicMode musicMode = MusicMode::live;
Driver driver = Driver::none;
bool deviceOpen = false;
std::string deviceProblem;  // why live mode has no sound device, "" when it has one
double startSeconds = 0.0;  // where the next startMusic begins
float recentSamples[spectrumWindowSize];

void zeros(float* values, int count) {
    for (int i = 0; i < count; ++i) values[i] = 0.0f;
}

void closeDevice() {
    closeAudioDevice();
    deviceOpen = false;
}

// From here on the main thread renders. The callback has stopped when this returns, so
// the decoder is never used by two threads.
void driveByClock() {
    closeDevice();
    followClockFrom(tickCount());
    driver = Driver::clock;
}

}  // namespace

void setMusicMode(MusicMode mode) {
    stopMusic();
    if (mode == MusicMode::off) unloadModule();
    musicMode = mode;
}

bool loadMusic(const char* path, std::string& reason) {
    stopMusic();
    startSeconds = 0.0;
    deviceProblem.clear();
    if (musicMode == MusicMode::off) return true;
    initSpectrum();
    if (!loadModuleFile(path, reason)) return false;
    if (musicMode == MusicMode::live) {
        // No device is not an error: the clock takes over, and the caller may say so.
        deviceProblem.clear();
        deviceOpen = openAudioDevice(deviceProblem);
        if (deviceOpen) deviceProblem.clear();
        else if (deviceProblem.empty()) deviceProblem = "it cannot be opened";
    }
    return true;
}

void startMusic() {
    double from = startSeconds;
    startSeconds = 0.0;  // a seek before this start applies to this start only
    if (musicMode == MusicMode::off || !moduleLoaded()) return;
    if (driver == Driver::device) stopAudioDevice();
    restartModule(from);

    if (musicMode == MusicMode::live) {
        if (!deviceOpen) {
            std::string deviceReason;
            deviceOpen = openAudioDevice(deviceReason);
        }
        if (deviceOpen && startAudioDevice(tickCount())) {
            driver = Driver::device;
            return;
        }
    }
    driveByClock();
}

void pauseMusic() {
    if (driver == Driver::device) pauseAudioDevice();
}

void resumeMusic() {
    if (driver == Driver::device && !startAudioDevice(tickCount())) driveByClock();
}

void seekMusic(double seconds) {
    if (seconds < 0.0) seconds = 0.0;
    if (driver == Driver::none)
        startSeconds = seconds;
    else
        requestMusicSeek(seconds);
}

void advanceMusic() {
    if (driver == Driver::device && !audioDevicePlaying(tickCount())) {
        abandonAudioDevice();
        deviceOpen = false;
        driveByClock();
    }
    if (driver == Driver::clock) renderUpToTick(tickCount());
}

void readSpectrum(float* values, int count) {
    if (count <= 0) return;
    if (driver == Driver::none) {
        zeros(values, count);
        return;
    }
    advanceMusic();
    outputRing.latest(recentSamples, spectrumWindowSize);
    computeSpectrum(recentSamples, values, count);
}

void stopMusic() {
    closeDevice();
    abandonMusicRecording();  // one still open here is removed, not reported
    setMusicListener(nullptr);
    driver = Driver::none;
}

bool startMusicRecording(const char* wavPath, std::string& reason) {
    if (musicMode != MusicMode::rendered) {
        reason = "recording needs rendered music";
        return false;
    }
    if (!moduleLoaded()) {
        reason = "no music is loaded";
        return false;
    }
    return openMusicRecording(wavPath, musicSampleRate, reason);
}

bool stopMusicRecording(std::string& reason) {
    setMusicListener(nullptr);
    return closeMusicRecording(reason);
}

const std::string& soundDeviceProblem() { return deviceProblem; }

bool listenToMusic(void (*listener)(const float* frames, std::size_t count), std::string& reason) {
    if (musicMode != MusicMode::rendered || !moduleLoaded()) {
        reason = musicMode != MusicMode::rendered ? "recording needs rendered music" : "no music is loaded";
        return false;
    }
    setMusicListener(listener);
    return true;
}
