// Whether start-up has a "no sound device" line to print: only when music would play live
// and no device opened. No test opens a sound device.
#include <gtest/gtest.h>

#include "platform/audio/audio.h"
#include "platform/audio/audio_device.h"
#include "platform/system/clock.h"
#include "xm_fixture.h"

namespace {

TEST(SoundDeviceProblem, ReportedOnlyForLiveMusicWithoutADevice) {
    setAudioDeviceAllowed(false);
    useVirtualClock(1000);
    const std::string module = xm_fixture::writeTempFile("zorbel_device_note.xm", xm_fixture::makeModule(128, false));
    const struct { MusicMode mode; const char* path; bool noted; } cases[] = {
        {MusicMode::live, module.c_str(), true},
        {MusicMode::live, "/nonexistent/QUABTUNE.xm", false},  // the module's own message covers it
        {MusicMode::rendered, module.c_str(), false},
        {MusicMode::off, module.c_str(), false},
    };
    for (const auto& [mode, path, noted] : cases) {
        setMusicMode(mode);
        std::string reason;
        loadMusic(path, reason);
        EXPECT_EQ(!soundDeviceProblem().empty(), noted) << static_cast<int>(mode) << " " << path;
    }
    setMusicMode(MusicMode::live);
}

}  // namespace
