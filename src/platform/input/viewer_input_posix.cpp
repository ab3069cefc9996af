#include "platform/input/viewer_input.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <poll.h>
#include <unistd.h>

#include "platform/input/input_decoder.h"
#include "platform/system/real_clock.h"
#include "platform/terminal/terminal_answers.h"

namespace {

InputDecoder decoder;
std::string keysWaiting;  // decoded, not yet handed out
bool inputEnded = false;  // end of file or an error: stop asking

// Reads once, at most `capacity` bytes, if input is ready within `timeoutMs`.
void readOnce(size_t capacity, int timeoutMs) {
    if (inputEnded) return;
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (::poll(&input, 1, timeoutMs) <= 0) return;
    if ((input.revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) == 0) return;
    char bytes[4096];
    const ssize_t count = ::read(STDIN_FILENO, bytes, std::min(capacity, sizeof bytes));
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (count <= 0) {
        inputEnded = true;
        return;
    }
    feedInput(decoder, bytes, static_cast<size_t>(count), realMilliseconds(), keysWaiting, noteTerminalAnswer);
}

}  // namespace

size_t readTypedInput(char* keys, size_t capacity) {
    if (capacity == 0) return 0;
    readOnce(capacity, 0);
    settleInput(decoder, realMilliseconds(), keysWaiting);
    const size_t count = std::min(capacity, keysWaiting.size());
    std::memcpy(keys, keysWaiting.data(), count);
    keysWaiting.erase(0, count);
    return count;
}

bool typedInputEnded() { return inputEnded && keysWaiting.empty(); }

bool typedInputPending() { return inputPending(decoder); }

void awaitTerminalAnswers(int timeoutMs, bool (*done)()) {
    const uint64_t deadline = realMilliseconds() + static_cast<uint64_t>(std::max(0, timeoutMs));
    for (uint64_t now = realMilliseconds(); !done() && !inputEnded && now < deadline; now = realMilliseconds()) {
        readOnce(4096, static_cast<int>(deadline - now));
    }
}

void discardTypedInput(int timeoutMs) {
    constexpr int quietMs = 50;
    const uint64_t deadline = realMilliseconds() + static_cast<uint64_t>(std::max(0, timeoutMs));
    for (uint64_t now = realMilliseconds(); !inputEnded && now < deadline; now = realMilliseconds()) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        const int wait = static_cast<int>(std::min<uint64_t>(quietMs, deadline - now));
        if (::poll(&input, 1, wait) <= 0 && !decoder.inPaste) break;
        readOnce(4096, 0);
    }
    keysWaiting.clear();
}
