// Bass level measurement (see bass_meter.h).
#include "bass_meter.h"

#include "file_io.h"

#include <fftw3.h>
#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <complex>
#include <sstream>

namespace {

// One reusable FFTW plan; FFTW's planner is not re-entrant, the tools are single-threaded.
struct Fft {
    float* in;
    fftwf_complex* out;
    fftwf_plan plan;
    float window[bassWindow];
    Fft() {
        in = fftwf_alloc_real(bassWindow);
        out = fftwf_alloc_complex(bassWindow / 2 + 1);
        plan = fftwf_plan_dft_r2c_1d(bassWindow, in, out, FFTW_ESTIMATE);
        // Triangle: 0 at both ends, 1 in the middle, summing to N/2.
        for (int n = 0; n < bassWindow; ++n)
            window[n] = 1.0f - std::fabs(static_cast<float>(n - bassWindow / 2) / (bassWindow / 2));
    }
    ~Fft() {
        fftwf_destroy_plan(plan);
        fftwf_free(in);
        fftwf_free(out);
    }
};

}  // namespace

float bassLevelOf(const float* samples) {
    static Fft fft;
    for (int n = 0; n < bassWindow; ++n) fft.in[n] = samples[n] * fft.window[n];
    fftwf_execute(fft.plan);
    float sum = 0.0f;
    for (int k = 0; k < bassBins; ++k) {
        const float magnitude = std::hypot(fft.out[k][0], fft.out[k][1]) * 4.0f / bassWindow;
        sum += magnitude;
    }
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
