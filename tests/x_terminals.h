// Real terminal emulators on a virtual X server, for tests of what a viewer actually sees:
// an Xvfb of the test's own, terminals started on it with a command, keys typed through the
// X server, and the screen's half-cells read back from a screenshot and compared with a
// capture of the same moment.
#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "harness.h"

namespace xterms {

using namespace harness;

// An X server of its own, ended with the test.
struct VirtualDisplay {
    VirtualDisplay() {
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0) return;
        server = ::fork();
        if (server == 0) {
            ::setpgid(0, 0);
            ::close(pipeEnds[0]);
            const std::string fd = std::to_string(pipeEnds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                     "-noreset", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(pipeEnds[1]);
        std::string number;
        readUntilClosedOrLine(pipeEnds[0], number);
        ::close(pipeEnds[0]);
        if (!number.empty()) name = ":" + number;
    }
    ~VirtualDisplay() {
        if (server > 0) {
            ::kill(-server, SIGTERM);
            ::waitpid(server, nullptr, 0);
        }
    }
    static void readUntilClosedOrLine(int fd, std::string& text) {
        const auto end = deadlineIn(10);
        char c;
        while (Clock::now() < end) {
            pollfd reader{fd, POLLIN, 0};
            if (::poll(&reader, 1, 100) <= 0) continue;
            if (::read(fd, &c, 1) != 1 || c == '\n') return;
            text += c;
        }
    }
    // A shell command with this display, run under a deadline.
    Result run(const std::string& command, double seconds = 20) const {
        return runShell("export DISPLAY=" + name + "; " + command, seconds);
    }

    pid_t server = -1;
    std::string name;  // ":N"; empty when the server did not start
};

// A terminal emulator (or a multiplexer inside one) running a command, 80 x 50 cells.
struct TerminalSetup {
    std::string label;
    std::string launch;  // a shell command with %s for the command to run in it
};

// Each terminal with the same font and no inner border where it can be set, so the cells
// are whole pixels; the multiplexers run inside xterm.
inline const TerminalSetup xtermSetup{"xterm", "xterm -geometry 80x50+0+0 -fa 'DejaVu Sans Mono' -fs 8 -b 0 -e %s"};
inline const TerminalSetup urxvtSetup{"urxvt", "urxvt -geometry 80x50+0+0 -fn 'xft:DejaVu Sans Mono:pixelsize=11' -b 0 +sb -e %s"};
inline const TerminalSetup stSetup{"st", "st -g 80x50+0+0 -f 'DejaVu Sans Mono:pixelsize=11' -e %s"};
inline const TerminalSetup tmuxSetup{
    "tmux in xterm",
    "xterm -geometry 80x50+0+0 -fa 'DejaVu Sans Mono' -fs 8 -b 0 -e tmux -L zorbel-x -f /dev/null "
    "new-session 'tmux -L zorbel-x set -g status off; %s'"};
inline const TerminalSetup screenSetup{"screen in xterm",
                                       "xterm -geometry 80x50+0+0 -fa 'DejaVu Sans Mono' -fs 8 -b 0 -e screen %s"};

// Starts `setup` running `command` in the background, without COLORTERM unless `colorterm`.
inline void startTerminal(const VirtualDisplay& display, const TerminalSetup& setup, const std::string& command,
                          const std::string& colorterm = "") {
    char launch[2048];
    std::snprintf(launch, sizeof launch, setup.launch.c_str(), command.c_str());
    const std::string environment = colorterm.empty() ? "env -u COLORTERM -u TMUX -u STY" : "env -u TMUX -u STY COLORTERM=" + colorterm;
    // In a session of its own, started here rather than from a shell whose process group is
    // ended after it, which could catch the terminal before it left that group.
    const std::string shell = "export DISPLAY=" + display.name + "; exec " + environment + " " + launch +
                              " >>/tmp/zorbel-x-terminals.log 2>&1";
    if (::fork() == 0) {
        ::setsid();
        ::execl("/bin/sh", "sh", "-c", shell.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
}

// Types keys (xdotool names: "a", "space", "q", "ctrl+c") into the window under the pointer.
inline void typeKeys(const VirtualDisplay& display, const std::string& keys) {
    // Out of the window and back in, so that a terminal that just opened under the pointer has the focus.
    display.run("xdotool mousemove 1000 1000 sleep 0.05 mousemove 200 200 sleep 0.05 key " + keys);
}

// Closes every window on the display: its terminal ends, and the program in it with a hang-up.
inline void closeWindows(const VirtualDisplay& display) {
    display.run("for id in $(xwininfo -root -children | grep -oE '^ +0x[0-9a-f]+'); do xkill -id $id; done");
}

inline Image screenshot(const VirtualDisplay& display, const fs::path& file) {
    display.run("import -window root " + quoted(file));
    return readPng(file);
}

// The terminal window's size in pixels at the top left corner; 0 x 0 when there is none.
inline std::pair<int, int> windowSize(const VirtualDisplay& display) {
    const std::string size =
        display.run("xwininfo -root -children | grep -oE '[0-9]+x[0-9]+[+]0[+]0' | head -1").output;
    int width = 0, height = 0;
    std::sscanf(size.c_str(), "%dx%d", &width, &height);
    return {width, height};
}

// How many of the 80 x 100 half-cells of a screenshot show the colour of the capture's
// grid cell (a --capture picture at scale 1), within `tolerance` per channel. Each
// half-cell is read at its centre, a quarter of the cell's height from its top or bottom,
// away from the seam a font may leave; the inner border is found as the one that fits.
inline int matchingHalfCells(const Image& shot, std::pair<int, int> window, const Image& capture, int tolerance = 2) {
    if (shot.rgb.empty() || capture.width != 80 || capture.height != 100) return 0;
    int best = 0;
    for (int border = 0; border <= 10; ++border) {
        const int width = window.first - 2 * border, height = window.second - 2 * border;
        if (width <= 0 || height <= 0 || width % 80 != 0 || height % 50 != 0) continue;
        const int cellWidth = width / 80, cellHeight = height / 50;
        int matching = 0;
        for (int row = 0; row < 100; ++row) {
            for (int column = 0; column < 80; ++column) {
                const int x = border + column * cellWidth + cellWidth / 2;
                const int y = border + row / 2 * cellHeight + (row % 2 == 0 ? cellHeight / 4 : cellHeight * 3 / 4);
                if (x >= shot.width || y >= shot.height) continue;
                const uint8_t* seen = &shot.rgb[3 * (static_cast<size_t>(y) * shot.width + x)];
                const uint8_t* wanted = &capture.rgb[3 * (static_cast<size_t>(row) * 80 + column)];
                bool same = true;
                for (int channel = 0; channel < 3; ++channel) same = same && std::abs(seen[channel] - wanted[channel]) <= tolerance;
                matching += same;
            }
        }
        best = std::max(best, matching);
    }
    return best;
}

}  // namespace xterms
