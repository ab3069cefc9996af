// Deadlines for the tests that fork a child: a child that hangs is killed and fails the
// test, instead of hanging the test binary.
#pragma once

#include <cerrno>
#include <chrono>
#include <csignal>
#include <string>

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace child_wait {

constexpr double defaultSeconds = 30;

// waitpid with a deadline (`options` as for waitpid, e.g. WUNTRACED). On timeout the
// child is killed and reaped, the test fails, and the result is false.
inline bool waitFor(pid_t child, int& status, int options = 0, double seconds = defaultSeconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        const pid_t done = ::waitpid(child, &status, options | WNOHANG);
        if (done == child) return true;
        if (done < 0 && errno != EINTR) {
            ADD_FAILURE() << "waitpid failed for child " << child;
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) break;
        ::usleep(5000);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    ADD_FAILURE() << "child " << child << " killed after " << seconds << " s";
    return false;
}

// Reads `fd` until every writer has closed it. On timeout the child is killed (which
// closes its end) and the test fails; what was read so far is returned.
inline std::string readUntilClosed(int fd, pid_t child, double seconds = defaultSeconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::string output;
    char buffer[256];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            ::kill(child, SIGKILL);
            ADD_FAILURE() << "child " << child << " still writing after " << seconds << " s; killed";
            return output;
        }
        pollfd reader{fd, POLLIN, 0};
        const int ready = ::poll(&reader, 1, static_cast<int>(left.count()));
        if (ready <= 0) continue;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return output;
        output.append(buffer, static_cast<size_t>(n));
    }
}

}  // namespace child_wait
