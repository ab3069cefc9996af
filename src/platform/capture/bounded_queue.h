// A first-in, first-out queue between threads that holds at most a fixed number of items.
//
// The video and picture writers put one between the frame loop and their worker threads:
// a full queue makes the frame loop wait, so memory stays bounded however long the show.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

template <typename Item>
class BoundedQueue {
public:
    explicit BoundedQueue(std::size_t capacity) : capacity_(capacity) {}

    // Waits while the queue is full; false (and the item dropped) once the queue is closed.
    bool push(Item item) {
        std::unique_lock<std::mutex> lock(mutex_);
        notFull_.wait(lock, [&] { return items_.size() < capacity_ || closed_; });
        if (closed_) return false;
        items_.push_back(std::move(item));
        notEmpty_.notify_one();
        return true;
    }

    // Waits for an item; nothing once the queue is closed and empty.
    std::optional<Item> pop() {
        std::unique_lock<std::mutex> lock(mutex_);
        notEmpty_.wait(lock, [&] { return !items_.empty() || closed_; });
        if (items_.empty()) return std::nullopt;
        Item item = std::move(items_.front());
        items_.pop_front();
        notFull_.notify_one();
        return item;
    }

    // No more pushes; poppers still get what is queued.
    void close() {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        notEmpty_.notify_all();
        notFull_.notify_all();
    }

private:
    std::size_t capacity_;
    std::deque<Item> items_;
    bool closed_ = false;
    std::mutex mutex_;
    std::condition_variable notFull_, notEmpty_;
};
