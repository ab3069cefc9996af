// The show over a real SSH connection whose link to the viewer is slow: what the viewer
// sees stays close to the show's time, and q takes effect at once. A local OpenSSH server
// on the loopback address with keys made here; the server-to-viewer direction limited by pv.
#include <gtest/gtest.h>

#include "harness.h"
#include "vterm_screen.h"

namespace {

using namespace harness;

const std::string data = " --data " ZORBEL_SOURCE_DIR "/Data";

// An OpenSSH server of the test's own on 127.0.0.1, stopped with the test.
struct LocalSshServer {
    LocalSshServer() : folder(freshFolder("sshd")), port(20000 + ::getpid() % 20000) {
        const std::string f = folder.string();
        const std::string config = "Port " + std::to_string(port) +
                                   "\nListenAddress 127.0.0.1\nHostKey " + f + "/host_key\nAuthorizedKeysFile " + f +
                                   "/authorized_keys\nPidFile none\nUsePAM no\nStrictModes no\n"
                                   "PermitRootLogin prohibit-password\nPasswordAuthentication no\n"
                                   "KbdInteractiveAuthentication no\nPrintMotd no\nPrintLastLog no\n";
        std::ofstream(folder / "sshd_config") << config;
        const bool keys = runShell("cd " + quoted(folder) + " && ssh-keygen -q -t ed25519 -N '' -f host_key && "
                                   "ssh-keygen -q -t ed25519 -N '' -f user_key && cp user_key.pub authorized_keys && "
                                   "mkdir -p /run/sshd", 30).status == 0;
        // In the foreground of a session of its own, so that it is ours to stop.
        server = keys ? ::fork() : -1;
        if (server == 0) {
            ::setsid();
            ::execl("/usr/sbin/sshd", "/usr/sbin/sshd", "-D", "-f", (f + "/sshd_config").c_str(), "-E", (f + "/log").c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const std::string listening = "bash -c 'exec 3<>/dev/tcp/127.0.0.1/" + std::to_string(port) + "' 2>/dev/null";
        started = server > 0 && eventually(5, [&] { return runShell(listening, 5).status == 0; });
    }
    ~LocalSshServer() {
        if (server > 0) {
            ::kill(server, SIGTERM);
            ::waitpid(server, nullptr, 0);
        }
    }

    // The ssh command that runs `remote` with a terminal, the link to the viewer limited to
    // `bytesPerSecond` (0: not limited).
    std::string command(const std::string& remote, int bytesPerSecond) const {
        std::string proxy = "bash -c 'exec 3<>/dev/tcp/127.0.0.1/%p; ";
        proxy += bytesPerSecond > 0 ? "pv -qL " + std::to_string(bytesPerSecond) + " <&3 &" : "cat <&3 &";
        proxy += " cat >&3; wait'";
        return "ssh -tt -F /dev/null -i " + (folder / "user_key").string() +
               " -o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null -o LogLevel=ERROR -o \"ProxyCommand=" +
               proxy + "\" -p " + std::to_string(port) + " root@127.0.0.1 \"" + remote + "\"";
    }

    fs::path folder;
    int port;
    pid_t server = -1;
    bool started = false;
};

// The pane as the terminal shows it: upper << 4 | lower colour of each picture cell.
std::vector<int> paneLooks(const Tmux& tmux) {
    std::string lines;
    for (char c : tmux.run("capture-pane -e -p -N -t z")) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EmulatedTerminal terminal(50, 80);
    terminal.feed(lines.substr(0, lines.size() - 2));
    std::vector<int> looks;
    for (int row = 0; row < 50; ++row)
        for (int column = 0; column < 80; ++column) looks.push_back(consoleLook(terminal, row, column));
    return looks;
}

// The nibble of a captured pixel.
int nibbleOf(const uint8_t* pixel) {
    for (int nibble = 0; nibble < 16; ++nibble) {
        const PaletteColor& c = consolePalette[nibble];
        if (pixel[0] == c.r && pixel[1] == c.g && pixel[2] == c.b) return nibble;
    }
    return -1;
}

// The show's time of the captured frame (60 a second, from `from` seconds) nearest to the pane.
double timeShown(const std::vector<int>& looks, const fs::path& capture, double from) {
    double best = -1;
    int bestMatching = -1;
    for (const auto& entry : fs::directory_iterator(capture)) {
        if (entry.path().extension() != ".png") continue;
        const Image frame = readPng(entry.path());
        int matching = 0;
        for (int row = 0; row < 50; ++row)
            for (int column = 0; column < 80; ++column) {
                const int upper = nibbleOf(&frame.rgb[3 * ((2 * row) * 80 + column)]);
                const int lower = nibbleOf(&frame.rgb[3 * ((2 * row + 1) * 80 + column)]);
                matching += looks[row * 80 + column] == (upper << 4 | lower);
            }
        if (matching > bestMatching) {
            bestMatching = matching;
            best = std::stoi(entry.path().stem().string().substr(6)) / 60.0;
        }
    }
    (void)from;
    return best;
}

class SlowLink : public ::testing::TestWithParam<int> {};

// 12 seconds of the plasma over the link, then q: the show ends on the viewer's screen
// within half a second, and what it showed then was within half a second of the show.
TEST_P(SlowLink, TheViewerStaysWithTheShowAndQuitsAtOnce) {
    ASSERT_EQ(runShell("command -v pv && test -x /usr/sbin/sshd").status, 0) << "pv and openssh-server are needed";
    LocalSshServer server;
    ASSERT_TRUE(server.started) << readText(server.folder / "log");
    Tmux tmux("slow-link");
    ASSERT_TRUE(tmux.start(80, 50));
    const std::string remote = "LANG=C.UTF-8 TERM=$TERM " + zorbel + " --no-audio --start 96" + data + "; echo show-ended";
    std::ofstream(server.folder / "view.sh") << server.command(remote, GetParam()) << "\n";
    tmux.keys("'sh " + (server.folder / "view.sh").string() + "' Enter");
    ASSERT_TRUE(eventually(20, [&] { return tmux.shows("Press any key to continue"); })) << tmux.text();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    tmux.keys("x");
    const auto started = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(12));

    const std::vector<int> looks = paneLooks(tmux);
    const double showTime = 96 + std::chrono::duration<double>(Clock::now() - started).count();
    tmux.keys("q");
    const auto quit = Clock::now();
    ASSERT_TRUE(eventually(10, [&] { return tmux.shows("show-ended"); }));
    const double quitTook = std::chrono::duration<double>(Clock::now() - quit).count();
    EXPECT_LT(quitTook, 0.5) << "q took effect on the viewer's screen after " << quitTook << " s";

    const fs::path capture = freshFolder("slow-link-capture") / "c";
    const Result made = runShell(zorbel + " --capture " + quoted(capture) + " --no-audio --scale 1 --from " +
                                 std::to_string(showTime - 3) + " --to " + std::to_string(showTime + 1) + data, 300);
    ASSERT_EQ(made.status, 0) << made.output;
    const double seen = timeShown(looks, capture, showTime - 3);
    EXPECT_NEAR(seen, showTime, 0.5) << "the viewer saw second " << seen << " at second " << showTime;
    std::printf("link %d bytes/s: q took %.2f s, the viewer saw second %.2f at %.2f\n", GetParam(), quitTook, seen, showTime);
}

// 1 Mbit/s and 512 kbit/s.
INSTANTIATE_TEST_SUITE_P(Rates, SlowLink, ::testing::Values(125000, 64000),
                         [](const auto& info) { return std::to_string(info.param * 8 / 1000) + "kbit"; });

}  // namespace
