// Runs shell commands for the fault tests, each under a deadline: a hung program is killed
// with its whole process group and reported, never waited for.
#pragma once

#include <chrono>
#include <csignal>
#include <thread>
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

template <typename Check>
bool eventually(double seconds, Check check) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (check()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return check();
}

// A tmux server of its own with one 80 x 50 session running sh (with job control).
class Tmux {
public:
    explicit Tmux(const std::string& name)
        : tmux_("env -u TMUX tmux -L zorbel-" + name + "-" + std::to_string(::getpid()) + " -f /dev/null ") {}
    ~Tmux() { run("kill-server"); }
    bool start() { return runCommand(tmux_ + "new-session -d -s z -x 80 -y 50 'PS1=\"$ \" sh'", 10).status == 0; }
    std::string run(const std::string& arguments) const { return runCommand(tmux_ + arguments, 10).output; }
    void keys(const std::string& keys) const { run("send-keys -t z " + keys); }
    std::string pane() const { return run("capture-pane -p -e -t z"); }
    // "cursor shown, alternate screen on" as two digits, "1 0\n" when the shell has it.
    std::string modes() const { return run("display -p -t z '#{cursor_flag} #{alternate_on}'"); }

private:
    std::string tmux_;
};

}  // namespace fault_run
