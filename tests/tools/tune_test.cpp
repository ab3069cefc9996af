// The bass meter, and the tune's kick that makes the bass level pulse. Its bytes: data_test; its looping: golden audio.
#include "bass_meter.h"
#include "tune.h"
#include "xm_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

TEST(Tune, KickMakesTheBassLevelPulse) {
    // Theme A, from 30.72 s: kicks every 0.48 s. The level right after each kick against half a beat later.
    const BassTrace trace = measureBass(writeXm(composeTune()), 30.72, 7.68);
    ASSERT_FALSE(trace.levels.empty());
    EXPECT_LT(trace.peakSample, 1.0f) << "the mix clips";
    auto levelAt = [&](double seconds) {
        // Frame i's window ends at 1024 + 800 i samples.
        const double i = (seconds * bassSampleRate - bassWindow) / (bassSampleRate / 60.0);
        return trace.levels[static_cast<size_t>(std::max(0.0, std::ceil(i)))];
    };
    double onBeat = 0.0, between = 0.0;  // sums over the beats
    for (double t = 0.48; t + 0.48 < 7.68; t += 0.48) {
        onBeat += levelAt(t + 0.03);
        between += levelAt(t + 0.30);
    }
    EXPECT_GT(onBeat, 1.6 * between) << "on beat " << onBeat << ", between " << between;
    EXPECT_LT(*std::max_element(trace.levels.begin(), trace.levels.end()), 10.0f);
}

TEST(BassMeter, FullScaleSineAtABinCentreReadsOne) {
    auto sine = [](double cycles) {
        std::vector<float> values(bassWindow);
        for (int n = 0; n < bassWindow; ++n)
            values[n] = static_cast<float>(std::sin(6.283185307179586 * cycles * n / bassWindow));
        return values;
    };
    // Bin 10 reads 1.0; the triangle window leaks 4/(pi n)^2 into odd distances n: 0.958 more over bins 0..49.
    EXPECT_NEAR(bassLevelOf(sine(10).data()), 1.958, 0.005);
    EXPECT_LT(bassLevelOf(sine(80).data()), 0.05);  // above bin 49 (2.3 kHz) barely counts
}
