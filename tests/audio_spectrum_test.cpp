// The spectrum's scale and window, and the sample ring under a concurrent producer.
#include "platform/audio/sample_ring.h"
#include "platform/audio/spectrum.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace {

std::vector<float> spectrumOf(double bin, double amplitude, int count = spectrumBinCount) {
    std::vector<float> samples(spectrumWindowSize), values(count, -1.0f);
    for (int n = 0; n < spectrumWindowSize; ++n)  // bin 0: a constant level
        samples[n] = static_cast<float>(amplitude * std::cos(2 * M_PI * bin * n / spectrumWindowSize + 0.3 * bin));
    computeSpectrum(samples.data(), values.data(), count);
    return values;
}

TEST(AudioSpectrum, ScaleOfEveryBinTheWindowsLeakageAndTheCount) {
    const auto constant = spectrumOf(0, -0.5);
    EXPECT_NEAR(constant[0], 0.5f, 1e-5f);
    EXPECT_NEAR(constant[1], 0.5f * 0.8106f, 1e-3f);  // the triangle window's leakage
    for (int k = 2; k < spectrumBinCount; k += 2) EXPECT_NEAR(constant[k], 0.0f, 1e-5f) << k;
    EXPECT_NEAR(spectrumOf(3, 1.0, 50)[3], 1.0f, 1e-4f);
    const auto longer = spectrumOf(3, 1.0, 600);
    for (int k = spectrumBinCount; k < 600; ++k) EXPECT_EQ(longer[k], 0.0f) << k;
    for (int bin = 1; bin < spectrumBinCount; ++bin) ASSERT_NEAR(spectrumOf(bin, 1.0)[bin], 1.0f, 1e-4f) << bin;
    EXPECT_NEAR(spectrumOf(40, 0.125)[40], 0.125f, 1e-5f);
    for (int k : {100, 101}) EXPECT_NEAR(spectrumOf(100.5, 1.0)[k], 0.81f, 0.01f) << k;  // midway: the window's leakage
}

// Padding and stride; then a producer pushes a ramp as fast as it can: each copy taken is a run that never goes back.
TEST(AudioSampleRing, PaddingStrideAndContiguousRunsWhileAProducerWrites) {
    static SampleRing ring;
    ring.reset();
    const float stereo[] = {-1, 1, -2, 2, -3, 3};
    ring.push(stereo + 1, 3, 2);
    std::vector<float> out(4);
    ring.latest(out.data(), 4);
    EXPECT_EQ(out, (std::vector<float>{0, 1, 2, 3}));

    ring.reset();
    constexpr uint32_t total = 1u << 22;  // exact in float
    std::atomic<bool> done{false};
    std::thread producer([&] {
        std::vector<float> block(700);
        for (uint32_t next = 1, size = 1; next < total; next += size) {
            size = std::min<uint32_t>(size % 600 + 37, total - next);
            for (uint32_t i = 0; i < size; ++i) block[i] = static_cast<float>(next + i);
            ring.push(block.data(), size, 1);
        }
        done = true;
    });
    std::vector<float> window(spectrumWindowSize);
    float lastNewest = 0.0f;
    bool intact = true;  // no ASSERT while the producer runs: it must be joined first
    while (!done && intact) {
        ring.latest(window.data(), window.size());
        intact = window.back() >= lastNewest;
        lastNewest = window.back();
        for (size_t i = 1; i < window.size(); ++i)
            if (window[i - 1] != 0.0f && window[i] != window[i - 1] + 1.0f) intact = false;
    }
    producer.join();
    EXPECT_TRUE(intact) << "a copy was torn or went backwards";
    ring.latest(window.data(), window.size());
    EXPECT_EQ(window.back(), static_cast<float>(total - 1));
}

}  // namespace
