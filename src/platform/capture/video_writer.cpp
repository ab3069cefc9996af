#include "platform/capture/video_writer.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/capture/bounded_queue.h"

namespace {

struct Block {
    std::vector<uint8_t> pixels;  // a picture, or empty for sound
    std::vector<float> sound;
};

// A few frames in flight: enough to keep the encoder busy while the frame loop renders.
constexpr std::size_t queueLength = 8;

std::unique_ptr<BoundedQueue<Block>> queue;
std::thread worker;
std::atomic<bool> failed{false};
std::string failure;  // written by the worker before it sets `failed`
size_t pictureBytes = 0;

// Picture buffers come back from the worker for reuse: no page faults for a fresh
// megabyte every frame.
std::mutex spareMutex;
std::vector<std::vector<uint8_t>> spare;

void encodeQueued() {
    while (std::optional<Block> block = queue->pop()) {
        if (failed) continue;  // drain, so the frame loop never waits on a dead writer
        std::string reason;
        const bool ok = block->pixels.empty() ? encodeVideoSound(block->sound.data(), block->sound.size() / 2, reason)
                                              : encodeVideoFrame(block->pixels.data(), reason);
        if (!ok) {
            failure = reason;
            failed = true;
            queue->close();
        }
        if (!block->pixels.empty()) {
            std::lock_guard<std::mutex> lock(spareMutex);
            spare.push_back(std::move(block->pixels));
        }
    }
}

void stopWorker() {
    if (!queue) return;
    queue->close();
    if (worker.joinable()) worker.join();
    queue.reset();
    spare.clear();
}

}  // namespace

bool startVideoWriter(const std::string& path, const VideoFormat& format, std::string& reason) {
    abandonVideoWriter();
    if (!openVideoEncoder(path, format, reason)) return false;
    failed = false;
    failure.clear();
    pictureBytes = static_cast<size_t>(format.width) * format.height * 3;
    queue = std::make_unique<BoundedQueue<Block>>(queueLength);
    worker = std::thread(encodeQueued);
    return true;
}

bool queueVideoFrame(const uint8_t* rgb) {
    if (!queue || failed) return false;
    Block block;
    {
        std::lock_guard<std::mutex> lock(spareMutex);
        if (!spare.empty()) {
            block.pixels = std::move(spare.back());
            spare.pop_back();
        }
    }
    block.pixels.assign(rgb, rgb + pictureBytes);
    return queue->push(std::move(block));
}

void queueVideoSound(const float* frames, std::size_t count) {
    if (!queue || failed || count == 0) return;
    Block block;
    block.sound.assign(frames, frames + 2 * count);
    queue->push(std::move(block));
}

bool finishVideoWriter(std::string& reason) {
    if (!queue) return true;
    stopWorker();
    if (failed) {
        reason = failure;
        abandonVideoEncoder();
        return false;
    }
    return finishVideoEncoder(reason);
}

void abandonVideoWriter() {
    if (!queue) return;
    failed = true;  // the worker skips what is left
    stopWorker();
    abandonVideoEncoder();
}
