// Cost of the per-frame spectrum read: the window copy from the ring plus the FFT, and
// the same with the 16 ms of decoding that clock-driven playback adds to each frame.
#include "../tests/xm_fixture.h"
#include "platform/audio/audio.h"
#include "platform/audio/audio_device.h"
#include "platform/audio/music_engine.h"
#include "platform/audio/spectrum.h"
#include "platform/system/clock.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

void spectrumRead(benchmark::State& state) {
    std::vector<float> block(2 * 800);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<float>(std::sin(0.01 * i));
    outputRing.push(block.data() + 1, 800, 2);
    outputRing.push(block.data() + 1, 800, 2);
    float samples[spectrumWindowSize];
    float values[spectrumBinCount];
    initSpectrum();
    for (auto _ : state) {
        outputRing.latest(samples, spectrumWindowSize);
        computeSpectrum(samples, values, spectrumBinCount);
        benchmark::DoNotOptimize(values);
    }
}
BENCHMARK(spectrumRead);

void renderedFrame(benchmark::State& state) {
    setAudioDeviceAllowed(false);
    setMusicMode(MusicMode::rendered);
    std::string reason;
    auto path = xm_fixture::writeTempFile("zorbel_bench.xm", xm_fixture::makeModule());
    if (!loadMusic(path.c_str(), reason)) {
        state.SkipWithError(reason.c_str());
        return;
    }
    useVirtualClock(0);
    startMusic();
    uint32_t tick = 0;
    float values[spectrumBinCount];
    for (auto _ : state) {
        tick += 16;
        setVirtualTicks(tick);
        readSpectrum(values, spectrumBinCount);
        benchmark::DoNotOptimize(values);
    }
    stopMusic();
}
BENCHMARK(renderedFrame);

}  // namespace
