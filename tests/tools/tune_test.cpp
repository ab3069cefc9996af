// The XM writer and the composed tune, checked through libopenmpt: structure, length,
// pitch, loudness, looping, and the kick that makes the demo's bass level pulse.
#include "bass_meter.h"
#include "tune.h"
#include "xm_writer.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

struct Tune {
    XmModule module = composeTune();
    std::vector<uint8_t> bytes = writeXm(module);
};
const Tune& tune() {
    static const Tune t;
    return t;
}

double rms(const std::vector<float>& v, size_t from, size_t to) {
    double s = 0.0;
    for (size_t i = from; i < to; ++i) s += static_cast<double>(v[i]) * v[i];
    return std::sqrt(s / static_cast<double>(to - from));
}

}  // namespace

TEST(XmWriter, SineSamplePlaysAtConcertPitchAndSizesAddUp) {
    // One instrument: a looped 64-frame sine (relative note 12), note A-4 held for a while.
    XmModule m;
    m.channels = 2;
    XmSample s;
    for (int i = 0; i < 64; ++i) s.frames.push_back(static_cast<int16_t>(std::lround(20000 * std::sin(i * 6.283185307179586 / 64))));
    s.loopLength = 64;
    s.relativeNote = 12;
    m.instruments.push_back({"sine", {s}, {}, -1, 0});
    XmPattern p;
    p.rows = 16;
    p.cells.resize(32);
    p.cells[0] = {58, 1, 0, 0, 0};
    m.patterns.push_back(p);
    m.orders = {0};
    const std::vector<uint8_t> bytes = writeXm(m);
    // Header, pattern (9 + 1 packed cell of 3 bytes + 31 empty cells), instrument, sample.
    EXPECT_EQ(bytes.size(), 336u + 9 + 3 + 31 + 263 + 40 + 128);

    std::ostringstream log;
    openmpt::module mod(bytes, log);
    EXPECT_EQ(mod.get_metadata("type"), "xm");
    std::vector<float> left(48000), right(48000);
    mod.read(48000, left.size(), left.data(), right.data());
    // Zero crossings upward, with interpolation, over the second half of the note.
    double first = -1, last = -1;
    int count = 0;
    for (size_t i = 12000; i + 1 < 36000; ++i) {
        if (left[i] > 0.0f || left[i + 1] <= 0.0f) continue;
        last = i + left[i] / (left[i] - left[i + 1]);
        first = first < 0 ? last : first;
        ++count;
    }
    ASSERT_GT(count, 10);
    const double hz = (count - 1) * 48000.0 / (last - first);
    EXPECT_NEAR(hz, 440.0, 440.0 * 0.003) << "delta coding, lengths in bytes or tuning are off";
}

TEST(Tune, IsAudibleWithHeadroomAndLoopsToTheRestartOrder) {
    std::ostringstream log;
    openmpt::module mod(tune().bytes, log);
    mod.set_repeat_count(-1);
    const double duration = mod.get_duration_seconds();
    mod.set_position_seconds(duration - 2.0);
    std::vector<float> left(4 * 48000), right(4 * 48000);
    size_t done = 0;
    while (done < left.size()) {
        const size_t n = mod.read(48000, std::min<size_t>(4096, left.size() - done), left.data() + done, right.data() + done);
        ASSERT_GT(n, 0u) << "playback stopped at the end instead of looping";
        done += n;
    }
    EXPECT_EQ(mod.get_current_order(), tuneRestart);
    EXPECT_GT(rms(right, 0, 2 * 48000), 0.05);
    EXPECT_GT(rms(right, 2 * 48000 + 4800, right.size()), 0.05) << "silent after the loop";
}

TEST(Tune, KickMakesTheBassLevelPulse) {
    // Theme A, from 30.72 s: kicks every 0.48 s. The demo's level right after each kick
    // against the level half a beat later.
    const double start = 30.72;
    const BassTrace trace = measureBass(tune().bytes, start, 7.68);
    ASSERT_FALSE(trace.levels.empty());
    EXPECT_LT(trace.peakSample, 1.0f) << "the mix clips";
    auto levelAt = [&](double seconds) {
        // Frame i's window ends at 1024 + 800 i samples.
        const double i = (seconds * bassSampleRate - bassWindow) / (bassSampleRate / 60.0);
        return trace.levels[static_cast<size_t>(std::max(0.0, std::ceil(i)))];
    };
    double onBeat = 0.0, between = 0.0;
    int beats = 0;
    for (double t = 0.48; t + 0.48 < 7.68; t += 0.48, ++beats) {
        onBeat += levelAt(t + 0.03);
        between += levelAt(t + 0.30);
    }
    onBeat /= beats;
    between /= beats;
    EXPECT_GT(onBeat, 1.6 * between) << "on beat " << onBeat << ", between " << between;
    EXPECT_LT(*std::max_element(trace.levels.begin(), trace.levels.end()), 10.0f);
}

TEST(BassMeter, FullScaleSineAtABinCentreReadsOne) {
    std::vector<float> sine(bassWindow);
    for (int n = 0; n < bassWindow; ++n) sine[n] = static_cast<float>(std::sin(6.283185307179586 * 10 * n / bassWindow));
    // Bin 10 reads 1.0; the triangle window leaks 4/(pi n)^2 into bins at odd distances n,
    // which over bins 0..49 adds 0.958 more.
    EXPECT_NEAR(bassLevelOf(sine.data()), 1.958, 0.005);
    // A tone above bin 49 (2.3 kHz) barely counts.
    for (int n = 0; n < bassWindow; ++n) sine[n] = static_cast<float>(std::sin(6.283185307179586 * 80 * n / bassWindow));
    EXPECT_LT(bassLevelOf(sine.data()), 0.05);
}
