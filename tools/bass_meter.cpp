// Bass level measurement (see bass_meter.h).
#include "bass_meter.h"

#include "file_io.h"
#include "platform/audio/spectrum.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <sstream>

float bassLevelOf(const float* samples) {
    // The demo's own spectrum, so the report and the tests see exactly what the scenes see.
    float spectrum[spectrumBinCount];
    computeSpectrum(samples, spectrum, spectrumBinCount);
    float sum = 0.0f;
    for (int k = 0; k < bassBins; ++k) sum += spectrum[k];
    return sum;
}

BassTrace measureBass(const std::vector<uint8_t>& bytes, double startSeconds, double seconds) {
    std::ostringstream quiet;
    openmpt::module mod(bytes, quiet);
    mod.set_repeat_count(-1);
    if (startSeconds > 0.0) mod.set_position_seconds(startSeconds);

    const size_t total = static_cast<size_t>(seconds * bassSampleRate);
    std::vector<float> left(total), right(total);
    size_t done = 0;
    while (done < total) {
        const size_t n = mod.read(bassSampleRate, std::min<size_t>(4096, total - done), left.data() + done,
                                  right.data() + done);
        if (n == 0) break;
        done += n;
    }
    BassTrace trace;
    double sumSquares = 0.0;
    for (size_t i = 0; i < done; ++i) {
        trace.peakSample = std::max({trace.peakSample, std::fabs(left[i]), std::fabs(right[i])});
        sumSquares += static_cast<double>(right[i]) * right[i];
    }
    trace.rms = done ? std::sqrt(sumSquares / done) : 0.0;
    // One read per 60 Hz frame: 800 samples apart.
    for (size_t end = bassWindow; end <= done; end += bassSampleRate / 60)
        trace.levels.push_back(bassLevelOf(right.data() + end - bassWindow));
    return trace;
}
