// PortAudio output on the first candidate device that opens (audio_host.h).
#include "platform/audio/audio_device.h"

#include "platform/audio/audio_host.h"
#include "platform/audio/music_engine.h"
#include "platform/system/signals.h"

#include <portaudio.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr uint32_t stallMilliseconds = 1000;

bool deviceAllowed = true;
bool portAudioReady = false;
PaStream* stream = nullptr;
std::atomic<uint32_t> callbackCount{0};
// Who may render: the callback takes the gate from open to rendering and back; pausing or
// abandoning the device closes it, and from then on the callback only writes silence.
enum Gate { gateOpen, gateRendering, gateClosed };
std::atomic<int> renderGate{gateOpen};
// A device that stopped or stalled is left alone for good: no PortAudio call on it or on
// the library can be trusted not to block or abort once the sound server is gone.
bool deviceAbandoned = false;
uint32_t lastSeenCount = 0;
uint64_t lastProgressTick = 0;
uint64_t lastCheckTick = 0;

bool openDefaultOutput(std::string& reason);

int outputCallback(const void*, void* output, unsigned long frames,
                   const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void*) {
    int expected = gateOpen;
    if (!renderGate.compare_exchange_strong(expected, gateRendering, std::memory_order_acquire)) {
        float* samples = static_cast<float*>(output);
        for (unsigned long i = 0; i < 2 * frames; ++i) samples[i] = 0.0f;
        return paContinue;
    }
    renderMusic(static_cast<float*>(output), frames);
    renderGate.store(gateOpen, std::memory_order_release);
    callbackCount.fetch_add(1, std::memory_order_release);
    return paContinue;
}

}  // namespace

void setAudioDeviceAllowed(bool allowed) { deviceAllowed = allowed; }

bool openAudioDevice(std::string& reason) {
    closeAudioDevice();
    if (!deviceAllowed) {
        reason = "sound output is turned off";
        return false;
    }
    if (deviceAbandoned) {
        reason = "the sound device stopped";
        return false;
    }
    quietSoundLibraries();
    // The sound libraries start their threads while opening; they inherit the block, so
    // only the main thread ever handles a terminating signal.
    holdTerminatingSignals();
    const bool opened = openDefaultOutput(reason);
    releaseTerminatingSignals();
    return opened;
}

namespace {

bool openDefaultOutput(std::string& reason) {
    PaError error = Pa_Initialize();
    if (error != paNoError) {
        reason = Pa_GetErrorText(error);
        return false;
    }
    portAudioReady = true;

    const std::vector<PaDeviceIndex> devices = outputDeviceCandidates();
    reason = "PortAudio lists none";  // the caller says "no sound device"
    for (const PaDeviceIndex device : devices) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
        if (!info) continue;
        PaStreamParameters parameters{};
        parameters.device = device;
        parameters.channelCount = 2;
        parameters.sampleFormat = paFloat32;  // interleaved, as the decoder renders it
        parameters.suggestedLatency = info->defaultLowOutputLatency;
        error = Pa_OpenStream(&stream, nullptr, &parameters, musicSampleRate,
                              paFramesPerBufferUnspecified, paNoFlag, &outputCallback, nullptr);
        if (error == paNoError) return true;
        reason = Pa_GetErrorText(error);
        stream = nullptr;
    }
    closeAudioDevice();
    return false;
}

}  // namespace

bool startAudioDevice(uint64_t tick) {
    if (!stream) return false;
    lastSeenCount = callbackCount.load(std::memory_order_acquire);
    lastProgressTick = tick;
    lastCheckTick = tick;
    renderGate.store(gateOpen, std::memory_order_release);
    holdTerminatingSignals();
    const bool started = Pa_IsStreamStopped(stream) == 0 || Pa_StartStream(stream) == paNoError;  // 0: still running
    releaseTerminatingSignals();
    return started;
}

namespace {

// A callback in the middle of a block finishes it (it never blocks); after that none renders.
void closeRenderGate() {
    for (;;) {
        int expected = gateOpen;
        if (renderGate.compare_exchange_weak(expected, gateClosed, std::memory_order_acquire)) break;
        if (expected == gateClosed) break;
        std::this_thread::yield();
    }
}

}  // namespace

void pauseAudioDevice() {
    if (stream) closeRenderGate();
}

void abandonAudioDevice() {
    if (!stream) return;
    closeRenderGate();
    stream = nullptr;
    portAudioReady = false;
    deviceAbandoned = true;
}

void stopAudioDevice() {
    if (stream && Pa_IsStreamStopped(stream) == 0) Pa_AbortStream(stream);
}

void closeAudioDevice() {
    if (stream) {
        stopAudioDevice();
        Pa_CloseStream(stream);
        stream = nullptr;
    }
    if (portAudioReady) {
        Pa_Terminate();
        portAudioReady = false;
    }
}

bool audioDevicePlaying(uint64_t tick) {
    if (!stream || Pa_IsStreamActive(stream) != 1) return false;
    // A long gap between two checks means the whole program was paused (suspended with
    // Ctrl-Z, say), not the device alone: give the callback a fresh second to show life.
    if (tick - lastCheckTick > stallMilliseconds) lastProgressTick = tick;
    lastCheckTick = tick;
    uint32_t count = callbackCount.load(std::memory_order_acquire);
    if (count != lastSeenCount) {
        lastSeenCount = count;
        lastProgressTick = tick;
        return true;
    }
    return tick - lastProgressTick <= stallMilliseconds;
}
