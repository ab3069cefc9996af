// The ring of most recent output samples (one channel) that the spectrum reads.
//
// One producer (whoever renders the music: the sound device's callback, or the main
// thread when rendering follows the clock) pushes samples; one consumer (the main
// thread, once per frame) copies the most recent ones. Neither side allocates, locks or
// waits. It does not window, transform or scale anything: that is the spectrum's job.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

class SampleRing {
public:
    static constexpr std::size_t capacity = 16384;  // power of two, well above a frame's worth

    // Producer: appends every `stride`-th value of `source`, `count` values in all
    // (stride 2 with source + 1 takes the right channel of interleaved stereo).
    void push(const float* source, std::size_t count, std::size_t stride) {
        uint64_t end = written.load(std::memory_order_relaxed);
        for (std::size_t i = 0; i < count; ++i)
            data[(end + i) & mask].store(source[i * stride], std::memory_order_relaxed);
        written.store(end + count, std::memory_order_release);
    }

    // Consumer: copies the `count` (<= capacity / 2) most recent values, oldest first.
    // Positions before the first push read as 0. If the producer overwrote part of the
    // copy meanwhile, the copy is taken again, so the result is always a contiguous run.
    void latest(float* out, std::size_t count) const {
        for (int attempt = 0; attempt < 8; ++attempt) {
            uint64_t end = written.load(std::memory_order_acquire);
            uint64_t begin = end >= count ? end - count : 0;
            std::size_t missing = static_cast<std::size_t>(count - (end - begin));
            for (std::size_t i = 0; i < missing; ++i) out[i] = 0.0f;
            for (uint64_t k = begin; k < end; ++k)
                out[missing + (k - begin)] = data[k & mask].load(std::memory_order_relaxed);
            std::atomic_thread_fence(std::memory_order_acquire);
            // The copy is intact while the producer has not wrapped onto `begin`.
            if (written.load(std::memory_order_relaxed) - begin <= capacity) return;
        }
    }

    // Only while no producer runs (before playback starts or after it stopped).
    void reset() {
        for (auto& value : data) value.store(0.0f, std::memory_order_relaxed);
        written.store(0, std::memory_order_release);
    }

private:
    static constexpr uint64_t mask = capacity - 1;
    std::atomic<float> data[capacity] = {};
    std::atomic<uint64_t> written{0};
};
