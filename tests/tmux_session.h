// A tmux server of its own (also when the tests run inside tmux) with one session running
// a plain shell and no status line, for tests that use the real program as a viewer would.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

#include "capture_run.h"
#include "vterm_screen.h"

class TmuxPane {
public:
    explicit TmuxPane(const std::string& name)
        : tmux_("env -u TMUX tmux -L zorbel-" + name + "-" + std::to_string(::getpid()) + " -f /dev/null ") {}
    ~TmuxPane() { run("kill-server"); }

    bool start(int columns, int rows) {
        const std::string size = "-x " + std::to_string(columns) + " -y " + std::to_string(rows);
        return capture_run::runShell(tmux_ + "new-session -d -s z " + size + " 'PS1=\"$ \" sh'").status == 0 &&
               run("set -g status off").empty();
    }
    std::string run(const std::string& arguments) const { return capture_run::runShell(tmux_ + arguments).output; }
    void keys(const std::string& arguments) const { run("send-keys -t z " + arguments); }
    void resize(int columns, int rows) const {
        run("resize-window -t z -x " + std::to_string(columns) + " -y " + std::to_string(rows));
    }
    std::string text() const { return run("capture-pane -p -J -t z"); }
    bool shows(const std::string& part) const { return text().find(part) != std::string::npos; }
    std::string format(const std::string& variables) const { return run("display -p -t z '" + variables + "'"); }

    // The pane as an emulator holds it, rebuilt from tmux's own copy of the screen.
    std::unique_ptr<EmulatedTerminal> screen(int rows, int columns) const {
        std::string captured = run("capture-pane -e -p -N -t z");
        if (!captured.empty() && captured.back() == '\n') captured.pop_back();
        std::string lines;
        for (char c : captured) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
        auto terminal = std::make_unique<EmulatedTerminal>(rows, columns);
        terminal->feed(lines);
        return terminal;
    }

private:
    std::string tmux_;
};

// Polls `check` for up to `seconds`; true as soon as it holds.
inline bool eventually(double seconds, const std::function<bool()>& check) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        if (check()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}
