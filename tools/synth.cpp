// Sample synthesis (see synth.h).
//
// Tonal samples are sums of harmonics over a cycle of N frames; N = 64 needs relative
// note 12 and N = 128 relative note 24 for C-4 to sound at about 261.6 Hz. Detuned
// voices complete K - 1 or K + 1 cycles where the main voice completes K, so the
// loop of K cycles repeats seamlessly.
#include "synth.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr double twoPi = 6.283185307179586;

// A small LCG; values in -1..1. Private so that nothing else can shift the sequence.
struct Noise {
    uint32_t state;
    double next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
    }
};

std::vector<int16_t> toFrames(const std::vector<double>& v, double peak) {
    double maxAbs = 1e-9;
    for (double x : v) maxAbs = std::max(maxAbs, std::fabs(x));
    std::vector<int16_t> out(v.size());
    for (size_t i = 0; i < v.size(); ++i)
        out[i] = static_cast<int16_t>(std::lround(v[i] / maxAbs * peak * 32767.0));
    return out;
}

XmSample drumSample(const char* name, const std::vector<double>& v, double peak) {
    XmSample s;
    s.name = name;
    s.frames = toFrames(v, peak);
    s.relativeNote = 29;
    s.finetune = -24;
    return s;
}

// Fades the last `n` frames to zero so that a one-shot ends without a click.
void fadeTail(std::vector<double>& v, size_t n) {
    for (size_t i = 0; i < n && i < v.size(); ++i) v[v.size() - 1 - i] *= static_cast<double>(i) / n;
}

// Additive tonal sample: `cycle` frames per period, `attackCycles` cycles during which the
// harmonic amplitudes follow amp(h, t) with t going 0..1, then a loop of `loopCycles`
// cycles at amp(h, 1). `detune` adds voices at (loopCycles +- 1) / loopCycles of the pitch.
XmSample tonal(const char* name, int cycle, int attackCycles, int loopCycles, bool detune,
               const std::function<double(int, double)>& amp, int harmonics) {
    const int attack = cycle * attackCycles;
    const int loop = cycle * loopCycles;
    std::vector<double> v(static_cast<size_t>(attack + loop));
    const double ratios[3] = {1.0, (loopCycles - 1.0) / loopCycles, (loopCycles + 1.0) / loopCycles};
    const int voices = detune ? 3 : 1;
    for (size_t i = 0; i < v.size(); ++i) {
        const double t = std::min(1.0, static_cast<double>(i) / std::max(1, attack));
        double sum = 0.0;
        for (int h = 1; h <= harmonics; ++h) {
            const double a = amp(h, t);
            if (a == 0.0) continue;
            for (int k = 0; k < voices; ++k) {
                // Fixed per-voice phase offsets keep the three voices from starting in step.
                const double phase = twoPi * h * ratios[k] * static_cast<double>(i) / cycle + 1.7 * k * h;
                sum += a * std::sin(phase) * (k == 0 ? 1.0 : 0.8);
            }
        }
        v[i] = sum;
    }
    XmSample s;
    s.name = name;
    s.frames = toFrames(v, 0.9);
    s.loopStart = static_cast<uint32_t>(attack);
    s.loopLength = static_cast<uint32_t>(loop);
    s.relativeNote = static_cast<int8_t>(cycle == 128 ? 24 : 12);
    return s;
}

}  // namespace

XmSample makeKick() {
    // The punch layer: a sine falling from about 170 Hz to 48 Hz, driven into a near square
    // so that its harmonics fill the low spectrum, with a short click on top.
    const size_t n = static_cast<size_t>(0.3 * drumRate);
    std::vector<double> v(n);
    Noise noise{12345u};
    double phase = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / drumRate;
        phase += twoPi * (48.0 + 125.0 * std::exp(-t / 0.035)) / drumRate;
        const double body = std::tanh(6.0 * std::sin(phase)) / std::tanh(6.0);
        // Held for 60 ms, then a quick fall: the beat reads as one solid thump.
        const double env = (t < 0.06 ? 1.0 : std::exp(-(t - 0.06) / 0.09)) * std::min(1.0, t / 0.0015);
        v[i] = body * env + noise.next() * std::exp(-t / 0.003) * 0.4;
    }
    fadeTail(v, 400);
    return drumSample("kick", v, 0.98);
}

XmSample makeKickSub() {
    // The sub layer: the punch's own sweep as a clean sine, in phase with it so the two
    // add up, ringing on after the punch has stopped.
    const size_t n = static_cast<size_t>(0.42 * drumRate);
    std::vector<double> v(n);
    double phase = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / drumRate;
        phase += twoPi * (48.0 + 125.0 * std::exp(-t / 0.035)) / drumRate;
        v[i] = std::tanh(1.5 * std::sin(phase)) * std::exp(-t / 0.2) * std::min(1.0, t / 0.002);
    }
    fadeTail(v, 600);
    return drumSample("kick sub", v, 0.98);
}

XmSample makeKickBody() {
    // The body layer: a burst of noise kept below about 2 kHz, the thump of the beater.
    const size_t n = static_cast<size_t>(0.12 * drumRate);
    std::vector<double> v(n);
    Noise noise{999u};
    double low1 = 0.0, low2 = 0.0;
    const double k = 1.0 - std::exp(-twoPi * 1500.0 / drumRate);
    for (size_t i = 0; i < n; ++i) {
        const double t = i / drumRate;
        low1 += k * (noise.next() - low1);
        low2 += k * (low1 - low2);
        v[i] = low2 * std::exp(-t / 0.03) * std::min(1.0, t / 0.001);
    }
    fadeTail(v, 300);
    return drumSample("kick body", v, 0.98);
}

XmSample makeSnare() {
    const size_t n = static_cast<size_t>(0.26 * drumRate);
    std::vector<double> v(n);
    Noise noise{777u};
    double previous = 0.0, phase = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / drumRate;
        phase += twoPi * (190.0 + 60.0 * std::exp(-t / 0.01)) / drumRate;
        const double tone = std::sin(phase) * std::exp(-t / 0.05);
        const double white = noise.next();
        const double bright = white - 0.6 * previous;  // tilt the noise upward
        previous = white;
        v[i] = 0.55 * tone + 0.7 * bright * std::exp(-t / 0.085);
    }
    fadeTail(v, 300);
    return drumSample("snare", v, 0.9);
}

XmSample makeHat(bool open) {
    const size_t n = static_cast<size_t>((open ? 0.3 : 0.07) * drumRate);
    std::vector<double> v(n);
    Noise noise{open ? 4242u : 2424u};
    double p1 = 0.0, p2 = 0.0;
    const double decay = open ? 0.09 : 0.018;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / drumRate;
        const double white = noise.next();
        // Second difference: a steep high-pass, so the hats stay out of the low spectrum.
        v[i] = (white - 2.0 * p1 + p2) * std::exp(-t / decay);
        p2 = p1;
        p1 = white;
    }
    fadeTail(v, 200);
    return drumSample(open ? "open hat" : "closed hat", v, 0.8);
}

XmSample makeBass() {
    // Saw plus a sub sine; the upper harmonics die away over the first cycles.
    return tonal("bass", 128, 24, 1, false, [](int h, double t) {
        const double cutoff = 22.0 - 16.0 * t;
        const double saw = 1.0 / h * (h <= cutoff ? 1.0 : std::exp(-(h - cutoff) * 0.6));
        return (h == 1 ? 0.6 : 0.0) + saw;
    }, 40);
}

XmSample makePluck() {
    // Pulse of 25 % duty: harmonics sin(pi h / 4) / h, mellowing after the attack.
    return tonal("pluck", 64, 16, 1, false, [](int h, double t) {
        const double pulse = std::fabs(std::sin(3.141592653589793 * h / 4.0)) / h;
        return pulse * std::exp(-h * (0.05 + 0.12 * t));
    }, 24);
}

XmSample makeLead() {
    return tonal("lead", 64, 0, 128, true, [](int h, double) {
        return 1.0 / h * std::exp(-h * 0.09);
    }, 20);
}

XmSample makePad() {
    return tonal("pad", 64, 0, 128, true, [](int h, double) {
        return 1.0 / (h * h) + (h <= 6 ? 0.25 / h : 0.0);
    }, 12);
}
