// PortAudio output on the first candidate device that opens (audio_host.h).
#include "platform/audio_device.h"

#include "platform/audio_host.h"
#include "platform/music_engine.h"

#include <portaudio.h>

#include <atomic>
#include <vector>

namespace {

constexpr uint32_t stallMilliseconds = 1000;

bool deviceAllowed = true;
bool portAudioReady = false;
PaStream* stream = nullptr;
std::atomic<uint32_t> callbackCount{0};
uint32_t lastSeenCount = 0;
uint32_t lastProgressTick = 0;
uint32_t lastCheckTick = 0;

int outputCallback(const void*, void* output, unsigned long frames,
                   const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void*) {
    renderMusic(static_cast<float*>(output), frames);
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
    quietSoundLibraries();
    PaError error = Pa_Initialize();
    if (error != paNoError) {
        reason = Pa_GetErrorText(error);
        return false;
    }
    portAudioReady = true;

    const std::vector<PaDeviceIndex> devices = outputDeviceCandidates();
    reason = "no sound output device";
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

bool startAudioDevice(uint32_t tick) {
    if (!stream) return false;
    lastSeenCount = callbackCount.load(std::memory_order_acquire);
    lastProgressTick = tick;
    lastCheckTick = tick;
    return Pa_StartStream(stream) == paNoError;
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

bool audioDevicePlaying(uint32_t tick) {
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
