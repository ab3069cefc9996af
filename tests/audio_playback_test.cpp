// Music playback on the program's clock: failed loads, seeks, clock jumps, live mode with no device, capture.
#include "driver/demo.h"
#include "platform/audio/audio.h"
#include "platform/audio/audio_device.h"
#include "platform/capture/music_recording.h"
#include "platform/system/clock.h"
#include "xm_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <numeric>

namespace {

class AudioPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        setAudioDeviceAllowed(false);
        useVirtualClock(1000);
        setMusicMode(MusicMode::rendered);
    }
    void TearDown() override { setMusicMode(MusicMode::live); }

    static void load(uint8_t panning = 128, bool silentIntro = false) {
        // A file of each test's own: ctest runs the tests side by side.
        const std::string name = std::string("zorbel_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                 std::to_string(panning) + (silentIntro ? "i.xm" : ".xm");
        const std::string path = xm_fixture::writeTempFile(name, xm_fixture::makeModule(panning, silentIntro));
        std::string reason;
        EXPECT_TRUE(loadMusic(path.c_str(), reason)) << reason;
    }

    // Loads the module and starts it with the clock at 1000 ms.
    static void play(uint8_t panning = 128, bool silentIntro = false) {
        useVirtualClock(1000);
        load(panning, silentIntro);
        startMusic();
    }
};

// Bass level (first 50 bins) and the largest bin, read at `tick`.
std::pair<float, float> readAt(uint64_t tick) {
    setVirtualTicks(tick);
    float values[512];
    readSpectrum(values, 512);
    return {std::accumulate(values, values + 50, 0.0f), *std::max_element(values, values + 512)};
}

TEST_F(AudioPlayback, FailedLoadsAndOffModeGiveZeros) {
    load();  // a failed load must also drop this one
    auto corrupt = xm_fixture::makeModule();
    for (size_t i = 17; i < corrupt.size(); i += 3) corrupt[i] ^= 0x5A;
    for (const std::string& path : {std::string("/nonexistent/zorbel/QUABTUNE.xm"),
                                    xm_fixture::writeTempFile("zorbel_empty.xm", {}),
                                    xm_fixture::writeTempFile("zorbel_corrupt.xm", corrupt)}) {
        std::string reason;
        EXPECT_TRUE(!loadMusic(path.c_str(), reason) && !reason.empty()) << path;
        EXPECT_FALSE(startMusicRecording("/tmp/zorbel_never.wav", reason));
        seekMusic(0.5);
        startMusic();
        EXPECT_EQ(readAt(1500).second, 0.0f) << path;
        setVirtualTicks(1000);
    }
    load();
    EXPECT_EQ(readAt(1500).second, 0.0f);  // loaded, not started
    setMusicMode(MusicMode::off);
    play();
    EXPECT_EQ(readAt(2000).second, 0.0f);
}

TEST_F(AudioPlayback, SeekBeforeAndDuringPlayback) {
    load();
    seekMusic(xm_fixture::silentFromSeconds + 0.1);  // starts in the silent tail
    startMusic();
    EXPECT_LT(readAt(1100).first, 1e-3f);
    seekMusic(10 * xm_fixture::passSeconds + 0.5);  // wraps into the loop, into held notes
    EXPECT_GT(readAt(1150).first, 0.1f);
    startMusic();  // from the beginning again: the earlier seek does not carry over
    EXPECT_GT(readAt(1250).first, 0.1f);

    // Past the first pass, seeks land in the loop, which starts at the restart position.
    play(128, true);
    for (int pass = 0; pass < 4; ++pass) {
        const double loopStart = (2 + pass) * xm_fixture::passSeconds;
        seekMusic(loopStart + 0.3);
        EXPECT_GT(readAt(1300 + 100 * pass).first, 0.1f) << pass;
        seekMusic(loopStart + xm_fixture::silentFromSeconds + 0.1);
        EXPECT_LT(readAt(1350 + 100 * pass).first, 1e-3f) << pass;
    }
}

TEST_F(AudioPlayback, ClockGoingBackOrJumpingFarStaysPrompt) {
    play();
    const float before = readAt(1300).first;
    EXPECT_EQ(readAt(900).first, before);  // backwards: nothing new rendered
    // Far forward, the music goes on from where it would be by then: 1.6 s into a pass (silent), then 0.08 s.
    EXPECT_LT(readAt(1000 + 100 * 1920 + 1600).first, 1e-3f);
    EXPECT_GT(readAt(1000 + 100 * 1920 + 2000).first, 0.1f);
    auto started = std::chrono::steady_clock::now();
    readAt(1000 + 3600 * 1000);  // an hour later, as after a suspended process
    readAt(0xFFFFFFF0u);         // and past 32 bits of milliseconds, still rendering
    // Fresh rendering after the jump: a seek into the silent tail, then back into sound.
    seekMusic(xm_fixture::silentFromSeconds + 0.1);
    EXPECT_LT(readAt(0x100000100u).first, 1e-3f);
    seekMusic(0.3);
    EXPECT_GT(readAt(0x100000150u).first, 0.1f);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

TEST_F(AudioPlayback, LiveWithoutDeviceMatchesRenderedAndUsesRightChannel) {
    auto bassLevels = [] {  // of 150 frames 16 ms apart from tick 1000 on
        std::vector<float> levels;
        for (int frame = 0; frame < 150; ++frame) levels.push_back(readAt(1000 + 16 * frame).first);
        return levels;
    };
    play();
    const std::vector<float> rendered = bassLevels();

    setMusicMode(MusicMode::live);
    play();
    EXPECT_EQ(bassLevels(), rendered);
    std::string reason;
    EXPECT_FALSE(startMusicRecording("/tmp/zorbel_never.wav", reason));

    for (uint8_t panning : {0, 255}) {  // a sample panned hard left, then hard right
        play(panning);
        const float peak = readAt(1300).second;
        EXPECT_TRUE(panning == 0 ? peak < 1e-4f : peak > 0.1f) << int(panning) << ": " << peak;
    }
}

// A "no sound device" note only when music would play live and no device opened; a failed load has its own message.
TEST_F(AudioPlayback, NoDeviceIsNotedOnlyForLiveMusicThatLoaded) {
    const struct { MusicMode mode; bool loads, noted; } cases[] = {
        {MusicMode::live, true, true}, {MusicMode::live, false, false},
        {MusicMode::rendered, true, false}, {MusicMode::off, true, false},
    };
    for (const auto& [mode, loads, noted] : cases) {
        setMusicMode(mode);
        std::string reason;
        if (loads) load();
        else loadMusic("/nonexistent/QUABTUNE.xm", reason);
        EXPECT_EQ(!soundDeviceProblem().empty(), noted) << static_cast<int>(mode) << " " << loads;
        if (!noted) continue;
        // Said once: the reason in brackets does not say again that there is no device.
        const std::string notice = soundDeviceNotice(soundDeviceProblem());
        EXPECT_EQ(notice.rfind("zorbel: no sound device, playing silently (", 0), 0u) << notice;
        for (const char* said : {"no sound", "device"})
            EXPECT_EQ(notice.find(said, notice.find('(')), std::string::npos) << notice;
    }
}

// A capture renders a clock jump in full (live playback seeks past it); samples beyond full scale clip, never wrap.
TEST_F(AudioPlayback, RecordingRendersAClockJumpInFullAndClipsOvers) {
    load();
    const std::string path = ::testing::TempDir() + "zorbel_jump.wav";
    std::string reason;
    ASSERT_TRUE(startMusicRecording(path.c_str(), reason)) << reason;
    startMusic();
    readAt(1016);
    readAt(1016 + 3000);
    ASSERT_TRUE(stopMusicRecording(reason)) << reason;
    ASSERT_TRUE(keepMusicRecording(reason)) << reason;
    stopMusic();
    EXPECT_EQ(std::filesystem::file_size(path), 44u + 3016u * 48u * 4u);

    ASSERT_TRUE(openMusicRecording(path.c_str(), 48000, reason)) << reason;
    const float frames[] = {1.5f, -1.5f, 1.0f, -1.0f};
    writeMusicRecording(frames, 2);
    ASSERT_TRUE(closeMusicRecording(reason)) << reason;
    ASSERT_TRUE(keepMusicRecording(reason)) << reason;
    int16_t samples[4] = {};  // after the 44-byte header, little-endian
    std::ifstream(path, std::ios::binary).seekg(44).read(reinterpret_cast<char*>(samples), sizeof samples);
    for (int i = 0; i < 4; ++i) EXPECT_GE(i % 2 == 0 ? samples[i] : -samples[i], 32766) << i;
}

}  // namespace
