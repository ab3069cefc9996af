#include "platform/input/viewer_input.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {
bool inputEnded = false;  // end of file or an error: stop asking
}  // namespace

size_t readTypedInput(char* buffer, size_t capacity) {
    if (inputEnded || capacity == 0) return 0;
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (::poll(&input, 1, 0) <= 0) return 0;
    if ((input.revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) == 0) return 0;
    const ssize_t count = ::read(STDIN_FILENO, buffer, capacity);
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) return 0;
    if (count <= 0) {
        inputEnded = true;
        return 0;
    }
    return static_cast<size_t>(count);
}
