// Triangle-windowed FFT magnitudes with FFTW (single precision, plan made once).
#include "platform/audio/spectrum.h"

#include <fftw3.h>

#include <cmath>

namespace {

constexpr int windowSize = spectrumWindowSize;

float* fftInput = nullptr;              // windowSize real samples
fftwf_complex* fftOutput = nullptr;     // windowSize / 2 + 1 bins
fftwf_plan fftPlan = nullptr;
float triangleWindow[windowSize];

}  // namespace

void initSpectrum() {
    if (fftPlan) return;
    fftInput = fftwf_alloc_real(windowSize);
    fftOutput = fftwf_alloc_complex(windowSize / 2 + 1);
    // ESTIMATE: no timing runs at start-up, and the plan does not depend on the machine's load.
    fftPlan = fftwf_plan_dft_r2c_1d(windowSize, fftInput, fftOutput, FFTW_ESTIMATE);
    // w[n] = 1 - |2n/N - 1|: 0 at n = 0, 1 at the centre, and it sums to exactly N/2.
    for (int n = 0; n < windowSize; ++n)
        triangleWindow[n] = 1.0f - std::fabs(2.0f * n / windowSize - 1.0f);
}

void computeSpectrum(const float* samples, float* values, int count) {
    initSpectrum();
    for (int n = 0; n < windowSize; ++n) fftInput[n] = samples[n] * triangleWindow[n];
    fftwf_execute(fftPlan);

    // A sine of amplitude A at bin k gives |X[k]| = A/2 * sum(w) = A * N/4, hence 4/N.
    // A constant c gives |X[0]| = c * N/2, hence 2/N for bin 0.
    const float sineScale = 4.0f / windowSize;
    const float constantScale = 2.0f / windowSize;
    for (int k = 0; k < count; ++k) {
        if (k >= spectrumBinCount) {
            values[k] = 0.0f;
            continue;
        }
        // hypotf as glibc computes it, with no library call: both squares are exact in
        // double, the sum and the root rounded once each, then to float. Other C libraries'
        // hypotf (the web build's) round differently in the last bit now and then.
        const double re = fftOutput[k][0], im = fftOutput[k][1];
        const float magnitude = static_cast<float>(std::sqrt(re * re + im * im));
        values[k] = magnitude * (k == 0 ? constantScale : sineScale);
    }
}
