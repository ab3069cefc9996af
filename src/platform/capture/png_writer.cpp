#include "platform/capture/png_writer.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/capture/bounded_queue.h"
#include "platform/capture/png_file.h"
#include "platform/system/signals.h"

namespace {

struct Picture {
    std::string path;
    int width, height;
    std::vector<uint8_t> rgb;
};

std::unique_ptr<BoundedQueue<Picture>> queue;
std::vector<std::thread> workers;
std::atomic<bool> failed{false};
std::mutex mutex;  // guards failure and spare
std::string failure;
std::vector<std::vector<uint8_t>> spare;

void writeQueued() {
    while (std::optional<Picture> picture = queue->pop()) {
        std::string reason;
        // A hurried stop skips the pictures still queued: the clean-up must be quick.
        if (!failed && !stopHurried() && !writePng(picture->path, picture->width, picture->height, picture->rgb.data(), reason)) {
            std::lock_guard<std::mutex> lock(mutex);
            if (!failed) failure = reason;
            failed = true;
            queue->close();
        }
        std::lock_guard<std::mutex> lock(mutex);
        spare.push_back(std::move(picture->rgb));
    }
}

}  // namespace

void startPngWriter() {
    failed = false;
    failure.clear();
    // Compression is the slow part: one writer per core, and a queue two pictures deep each.
    const unsigned count = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    queue = std::make_unique<BoundedQueue<Picture>>(2 * count);
    for (unsigned i = 0; i < count; ++i) workers.emplace_back(writeQueued);
}

bool queuePng(std::string path, int width, int height, std::vector<uint8_t> rgb) {
    if (!queue || failed) return false;
    return queue->push(Picture{std::move(path), width, height, std::move(rgb)});
}

bool finishPngWriter(std::string& reason) {
    if (!queue) return true;
    queue->close();
    for (std::thread& worker : workers) worker.join();
    workers.clear();
    queue.reset();
    spare.clear();
    if (failed) reason = failure;
    return !failed;
}

std::vector<uint8_t> sparePngBuffer() {
    std::lock_guard<std::mutex> lock(mutex);
    if (spare.empty()) return {};
    std::vector<uint8_t> buffer = std::move(spare.back());
    spare.pop_back();
    return buffer;
}
