// Runs shell commands for the fault tests, each under a deadline: a hung program is killed
// with its whole process group and reported, never waited for.
#pragma once

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fault_run {

struct Outcome {
    int status = -1;  // exit status, or 128 + the signal that ended it
    std::string output;  // standard output and standard error together
    bool timedOut = false;
};

inline int statusOf(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw); }

// Runs `command` with /bin/sh in a process group of its own.
inline Outcome runCommand(const std::string& command, int timeoutSeconds = 60) {
    Outcome outcome;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return outcome;
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(pipeEnds[1], STDERR_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    setpgid(child, child);
    close(pipeEnds[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            outcome.timedOut = true;
            kill(-child, SIGKILL);
            break;
        }
        pollfd readable{pipeEnds[0], POLLIN, 0};
        if (poll(&readable, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[4096];
        const ssize_t n = read(pipeEnds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        outcome.output.append(buffer, static_cast<size_t>(n));
    }
    close(pipeEnds[0]);
    int raw = 0;
    // The output closed: the shell has ended or is about to; a stuck one is killed.
    for (int waited = 0; waitpid(child, &raw, WNOHANG) == 0; ++waited) {
        if (waited == 5000) {
            outcome.timedOut = true;
            kill(-child, SIGKILL);
        }
        usleep(1000);
    }
    kill(-child, SIGKILL);  // anything the command left running in its group
    outcome.status = statusOf(raw);
    return outcome;
}

inline std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

inline const std::string zorbel = ZORBEL_BINARY_DIR "/zorbel";

}  // namespace fault_run
