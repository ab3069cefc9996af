// PortAudio output on the first candidate device that opens (audio_host.h).
#include "platform/audio/audio_device.h"

#include "platform/audio/audio_host.h"
#include "platform/audio/music_engine.h"
#include "platform/system/signals.h"

#include <portaudio.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr uint32_t stallMilliseconds = 1000;
// How long the sound libraries may take to set up, open or start before the device is
// given up: a stopped sound server would otherwise hold the prompt for as long as it stays
// stopped.
constexpr auto setUpBound = std::chrono::milliseconds(2000);

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

// What an open gives back, kept apart from the module's state until it is taken.
struct Opened {
    PaStream* stream = nullptr;
    bool ready = false;  // PortAudio initialised
    std::string reason;
};
void openDefaultOutput(Opened& opened);

// A set-up of the sound libraries running on a thread of its own. The thread blocks the
// terminating signals, and so do the threads the libraries start from it, so only the
// main thread ever handles one; the main thread never blocks them, and waits for the
// helper only for a bounded time. The call works only on what it captures by value
// (shared results), never on this module's state, since it may outlive every wait.
struct Helper {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
};

template <typename Call>
std::shared_ptr<Helper> startHelper(Call call) {
    auto helper = std::make_shared<Helper>();
    holdTerminatingSignals();  // only while the thread starts: it inherits the mask
    std::thread([helper, call]() mutable {
        call();
        std::lock_guard<std::mutex> lock(helper->mutex);
        helper->done = true;
        helper->finished.notify_all();
    }).detach();
    releaseTerminatingSignals();
    return helper;
}

// True once the helper has finished, waiting at most the set-up bound for it.
bool waitForHelper(Helper& helper) {
    std::unique_lock<std::mutex> lock(helper.mutex);
    return helper.finished.wait_for(lock, setUpBound, [&] { return helper.done; });
}

// Runs `call` on a helper; false, and the device given up for good, when it does not finish in time.
template <typename Call>
bool withinBound(Call call) {
    if (waitForHelper(*startHelper(call))) return true;
    deviceAbandoned = true;
    return false;
}

// An open that has not answered within the bound before the prompt: a device with a long
// period (JACK's at 8192 frames) takes several periods to open. The start waits for it once
// more, then gives it up.
std::shared_ptr<Helper> pendingOpen;
std::shared_ptr<Opened> pendingResult;

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
    const bool waitedBefore = pendingOpen != nullptr;
    if (!waitedBefore) {
        pendingResult = std::make_shared<Opened>();
        pendingOpen = startHelper([opened = pendingResult] { openDefaultOutput(*opened); });
    }
    if (!waitForHelper(*pendingOpen)) {
        reason = "it did not answer within 2 seconds";
        if (waitedBefore) {
            deviceAbandoned = true;
            pendingOpen = nullptr;
            pendingResult = nullptr;
        }
        return false;
    }
    stream = pendingResult->stream;
    portAudioReady = pendingResult->ready;
    reason = pendingResult->reason;
    pendingOpen = nullptr;
    pendingResult = nullptr;
    return stream != nullptr;
}

namespace {

void openDefaultOutput(Opened& opened) {
    PaError error = Pa_Initialize();
    if (error != paNoError) {
        opened.reason = Pa_GetErrorText(error);
        return;
    }
    opened.ready = true;

    const std::vector<PaDeviceIndex> devices = outputDeviceCandidates();
    opened.reason = "PortAudio lists none";  // the caller says "no sound device"
    for (const PaDeviceIndex device : devices) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
        if (!info) continue;
        PaStreamParameters parameters{};
        parameters.device = device;
        parameters.channelCount = 2;
        parameters.sampleFormat = paFloat32;  // interleaved, as the decoder renders it
        parameters.suggestedLatency = info->defaultLowOutputLatency;
        error = Pa_OpenStream(&opened.stream, nullptr, &parameters, musicSampleRate,
                              paFramesPerBufferUnspecified, paNoFlag, &outputCallback, nullptr);
        if (error == paNoError) return;
        opened.reason = Pa_GetErrorText(error);
        opened.stream = nullptr;
    }
    Pa_Terminate();
    opened.ready = false;
}

}  // namespace

bool startAudioDevice(uint64_t tick) {
    if (!stream) return false;
    lastSeenCount = callbackCount.load(std::memory_order_acquire);
    lastProgressTick = tick;
    lastCheckTick = tick;
    renderGate.store(gateOpen, std::memory_order_release);
    auto started = std::make_shared<std::atomic<bool>>(false);
    PaStream* const playing = stream;
    if (!withinBound([started, playing] {
            *started = Pa_IsStreamStopped(playing) == 0 || Pa_StartStream(playing) == paNoError;  // 0: still running
        })) {
        abandonAudioDevice();
        return false;
    }
    return *started;
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
