// The sound server killed or stopped while the show (in tmux) or the music plays; jackd and tmux missing fail, not skip.
#include <cstdlib>

#include <gtest/gtest.h>

#include "harness.h"
#include "platform/audio/audio.h"
#include "xm_fixture.h"

namespace {

using namespace harness;

// A JACK server with the dummy driver, and a home folder whose ALSA default device goes to it through a tap that
// keeps what is played in a file. A killed server's entry in JACK's machine-wide name table is only reclaimed by
// one of that name: so a fixed few names are tried.
struct DummySoundServer {
    explicit DummySoundServer(int period = 512) : home(freshFolder("fault-sound")), played(home / "played.raw") {
        std::ofstream(home / ".asoundrc") << "pcm.!default { type plug slave.pcm { type file file " << played
                                          << " format raw slave.pcm { type jack playback_ports {"
                                             " 0 system:playback_1 1 system:playback_2 } } } }\n";
        for (int slot = 0; slot < 4 && !up(); ++slot) {
            stop();
            name = "zorbel-fault-" + std::to_string(slot);
            if (!ports().empty()) continue;  // another run's server has this name
            removeSemaphores();
            const std::string command = "JACK_NO_AUDIO_RESERVATION=1 exec jackd --no-realtime -n " + name +
                                        " -d dummy -r 48000 -p " + std::to_string(period) + " >/dev/null 2>&1";
            int unread = -1;  // jackd's output goes to /dev/null
            pid = forkPiped([&] { execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr)); }, true, unread);
            close(unread);
            eventually(5, [&] { return up() || waitpid(pid, nullptr, WNOHANG) == pid; });
        }
    }
    ~DummySoundServer() { stop(); }
    std::string ports() const { return runShell("jack_lsp -s '" + name + "' 2>/dev/null", 10).output; }
    bool up() const { return pid > 0 && ports().find("system:playback_1") != std::string::npos; }
    // What the show plays from now on: "silence", "sound", or "nothing played". The tap sees what is handed to
    // JACK, which takes it at the server's pace (384,000 bytes a second of 32-bit stereo) or slower on a busy
    // machine: so it waits, up to a generous deadline, for half a second of it, and judges the newer half by its
    // content, not by how much came.
    std::string record() const {
        const size_t start = readText(played).size(), wanted = 384000 / 2;
        std::string bytes;
        eventually(20, [&] { return (bytes = readText(played).substr(start)).size() >= wanted; });
        if (bytes.size() < wanted) return "nothing played (" + std::to_string(bytes.size()) + " bytes)";
        const auto newer = bytes.end() - wanted / 2;
        return std::all_of(newer, bytes.end(), [](char byte) { return byte == 0; }) ? "silence" : "sound";
    }
    void stop() {
        if (pid <= 0) return;
        kill(pid, SIGCONT);
        kill(pid, SIGTERM);  // unregisters its name
        if (!eventually(3, [&] { return waitpid(pid, nullptr, WNOHANG) != 0; })) {  // a stopped jackd may not end
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        pid = -1;
        removeSemaphores();
    }
    // JACK keeps a semaphore per client in /dev/shm under the server's name, and reopens one it finds with the
    // count it was left at: one left by a killed server or client can stall the clients of the next server of
    // that name. The names are reused (each new name takes a place in JACK's registry of servers).
    void removeSemaphores() const { runShell("rm -f /dev/shm/jack_sem.*_'" + name + "'_*", 10); }

    const fs::path home, played;
    std::string name;
    pid_t pid = -1;
};

// The sound libraries' threads block the signals that restore the terminal: no restore on a real-time thread.
void expectOnlyTheMainThreadTakesTerminatingSignals(const Tmux& tmux) {
    const std::string pid = runShell("printf %s \"$(pgrep -P " + tmux.format("#{pane_pid}") + ")\"", 60).output;
    ASSERT_FALSE(pid.empty());
    const unsigned long long wanted = 1ULL << (SIGINT - 1) | 1ULL << (SIGTERM - 1) | 1ULL << (SIGUSR1 - 1);
    int otherThreads = 0;
    for (const auto& task : fs::directory_iterator("/proc/" + pid + "/task")) {
        if (task.path().filename() == pid) continue;
        ++otherThreads;
        const std::string status = readText(task.path() / "status");
        const unsigned long long blocked = std::stoull(status.substr(status.find("SigBlk:") + 7), nullptr, 16);
        EXPECT_EQ(blocked & wanted, wanted) << task.path();
    }
    EXPECT_GT(otherThreads, 0) << "no sound thread to look at";
}

TEST(FaultSound, TheShowGoesOnWhenTheSoundServerIsKilledOrStopped) {
    ASSERT_EQ(runShell("command -v jackd && command -v jack_lsp && tmux -V", 60).status, 0)
        << "jackd (jackd2) and tmux are needed for this test (the CI installs them)";
    for (const int fault : {SIGKILL, SIGSTOP}) {
        SCOPED_TRACE(strsignal(fault));
        DummySoundServer server;
        ASSERT_TRUE(server.up()) << "the dummy JACK server did not start";
        Tmux tmux("fault-sound");
        ASSERT_TRUE(tmux.start());
        tmux.keys("'cd " ZORBEL_SOURCE_DIR " && HOME=" + quoted(server.home) + " JACK_DEFAULT_SERVER=" + server.name +
                  " LANG=C.UTF-8 " + zorbel + " --start 100' Enter");
        // The device opens before the key prompt: once it shows on the server, a key starts the show.
        ASSERT_TRUE(eventually(10, [&] { return server.ports().find("zorbel") != std::string::npos; }))
            << "the show did not open the dummy server's device";
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        tmux.keys("x");
        std::this_thread::sleep_for(std::chrono::seconds(1));
        if (fault == SIGKILL) {
            expectOnlyTheMainThreadTakesTerminatingSignals(tmux);
            EXPECT_EQ(server.record(), "sound") << runShell("jack_lsp -c -s '" + server.name + "'", 10).output;
            tmux.keys("Space");  // paused: silence on a running stream (stopped, the JACK plugin repeated its last block)
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            EXPECT_EQ(server.record(), "silence");
            tmux.keys("Space");
            EXPECT_EQ(server.record(), "sound") << "no music after the pause";
        }

        kill(server.pid, fault);
        std::this_thread::sleep_for(std::chrono::seconds(3));  // the device is given up after one second
        EXPECT_EQ(tmux.modes(), "0 1\n");  // still the show's screen
        const std::string before = tmux.pane();
        EXPECT_TRUE(eventually(3, [&] { return tmux.pane() != before; })) << "the show froze";

        tmux.keys("C-c");
        EXPECT_TRUE(eventually(5, [&] { return tmux.modes() == "1 0\n"; }));
        tmux.keys("'echo status=$?' Enter");  // the show ended by Ctrl-C, not by a crash
        EXPECT_TRUE(eventually(5, [&] { return tmux.pane().find("status=130") != std::string::npos; })) << tmux.pane();
    }
}

// Starts the show in tmux on the server's device and presses a key once the device shows on the server.
void startShow(const Tmux& tmux, const DummySoundServer& server) {
    tmux.keys("'cd " ZORBEL_SOURCE_DIR " && HOME=" + quoted(server.home) + " JACK_DEFAULT_SERVER=" + server.name +
              " LANG=C.UTF-8 " + zorbel + " --start 100' Enter");
    ASSERT_TRUE(eventually(10, [&] { return server.ports().find("zorbel") != std::string::npos; }))
        << "the show did not open the dummy server's device";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    tmux.keys("x");
    std::this_thread::sleep_for(std::chrono::seconds(1));
}

// Suspended with Ctrl-Z and brought back with fg, the show plays its music on.
TEST(FaultSound, TheMusicGoesOnAfterASuspension) {
    DummySoundServer server;
    ASSERT_TRUE(server.up()) << "the dummy JACK server did not start";
    Tmux tmux("fault-sound-suspend");
    ASSERT_TRUE(tmux.start());
    startShow(tmux, server);
    EXPECT_EQ(server.record(), "sound");
    tmux.keys("C-z");
    EXPECT_TRUE(eventually(5, [&] { return tmux.modes() == "1 0\n"; })) << "not suspended";
    std::this_thread::sleep_for(std::chrono::seconds(2));
    tmux.keys("fg Enter");
    EXPECT_TRUE(eventually(5, [&] { return tmux.modes() == "0 1\n"; })) << "not back";
    std::this_thread::sleep_for(std::chrono::seconds(2));  // past the one-second stall limit
    EXPECT_EQ(server.record(), "sound") << "no music after fg";
    tmux.keys("q");
}

// A device with a long period (8192 frames, 170 ms) calls back seldom but steadily: it is not taken for stalled.
TEST(FaultSound, ALongDevicePeriodIsNotTakenForAStall) {
    DummySoundServer server(8192);
    ASSERT_TRUE(server.up()) << "the dummy JACK server did not start";
    Tmux tmux("fault-sound-period");
    ASSERT_TRUE(tmux.start());
    startShow(tmux, server);
    for (int second = 0; second < 4; ++second) EXPECT_EQ(server.record(), "sound") << "at " << second;
    tmux.keys("q");
}

// A sound server stopped before the start: the prompt comes on time, the show plays silently, Ctrl-C ends it.
TEST(FaultSound, AStoppedSoundServerDoesNotHoldUpTheStart) {
    DummySoundServer server;
    ASSERT_TRUE(server.up()) << "the dummy JACK server did not start";
    kill(server.pid, SIGSTOP);
    Tmux tmux("fault-sound-stopped");
    ASSERT_TRUE(tmux.start());
    const fs::path errors = server.home / "errors.txt";
    tmux.keys("'cd " ZORBEL_SOURCE_DIR " && HOME=" + quoted(server.home) + " JACK_DEFAULT_SERVER=" + server.name +
              " LANG=C.UTF-8 " + zorbel + " --start 100 2>" + quoted(errors) + "' Enter");
    EXPECT_TRUE(eventually(6, [&] { return tmux.shows("Press any key"); })) << tmux.text();
    EXPECT_NE(readText(errors).find("zorbel: no sound device, playing silently"), std::string::npos) << readText(errors);
    tmux.keys("x");
    EXPECT_TRUE(eventually(5, [&] { return tmux.modes() == "0 1\n"; }));
    const std::string before = tmux.pane();
    EXPECT_TRUE(eventually(3, [&] { return tmux.pane() != before; })) << "the show froze";
    tmux.keys("C-c");
    EXPECT_TRUE(eventually(5, [&] { return tmux.modes() == "1 0\n"; }));
    tmux.keys("'echo status=$?' Enter");
    EXPECT_TRUE(eventually(5, [&] { return tmux.pane().find("status=130") != std::string::npos; })) << tmux.pane();
}

// The device renders what the spectrum hears; stalled, it is taken over by the main thread, so a seek is heard.
TEST(FaultSound, AStalledDeviceIsTakenOverByTheMainThread) {
    DummySoundServer server;
    ASSERT_TRUE(server.up()) << "the dummy JACK server did not start";
    setenv("HOME", server.home.c_str(), 1);  // not put back: ctest runs each test in a program of its own
    setenv("JACK_DEFAULT_SERVER", server.name.c_str(), 1);
    auto loudest = [] {
        float spectrum[512];
        readSpectrum(spectrum, 512);
        return *std::max_element(spectrum, spectrum + 512);
    };
    const std::string module = xm_fixture::writeTempFile("zorbel_device.xm", xm_fixture::makeModule(255));
    std::string reason;
    setMusicMode(MusicMode::live);
    ASSERT_TRUE(loadMusic(module.c_str(), reason)) << reason;
    EXPECT_EQ(soundDeviceProblem(), "");
    startMusic();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_GT(loudest(), 0.1f) << "the device played no music";

    kill(server.pid, SIGSTOP);
    for (int frame = 0; frame < 30; ++frame) {  // frames go on past the one-second stall limit
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        loudest();
    }
    seekMusic(xm_fixture::silentFromSeconds + 0.05);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_LT(loudest(), 0.01f) << "the stalled device still holds the music";
}

}  // namespace
