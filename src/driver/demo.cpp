#include "driver/demo.h"

#include <cstdio>

#include "display/color_grid.h"
#include "display/display_config.h"
#include "display/present.h"
#include "driver/data_files.h"
#include "driver/frame_state.h"
#include "driver/timeline.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/key_wait.h"
#include "platform/locale_check.h"
#include "platform/spectrum.h"
#include "render3d/matrix.h"
#include "render3d/primitives.h"

static const char musicPath[] = "Data/QUABTUNE.xm";

DisplayConfig demoDisplayConfig() {
    return DisplayConfig{60, 80, 50, "QVO_4::Zorbel", 0, 45.0f};
}

int32_t framePeriod() { return 1000 / displayConfig.frameRate; }

int32_t sleepAfterFrame(uint64_t before, uint64_t after) {
    const uint64_t took = after > before ? after - before : 0;
    return took >= static_cast<uint64_t>(framePeriod()) ? 0 : framePeriod() - static_cast<int32_t>(took);
}

static void readBassLevel() {
    static float spectrum[spectrumBinCount];
    bassLevel = 0.0f;
    readSpectrum(spectrum, spectrumBinCount);
    for (int i = 0; i < bassBins; ++i) {
        bassLevel = static_cast<float>(static_cast<double>(bassLevel) + static_cast<double>(spectrum[i]));
    }
}

void tickFrame() {
    // The previous frame's time sets the grey: black at first, white after a few seconds.
    const float level = static_cast<float>(static_cast<double>(demoTime) * 0.5);
    clearColor = Rgb{level, level, level};
    clearGrid();

    demoTime = static_cast<float>(static_cast<double>(tickCount()) / 1000.0 - static_cast<double>(startTime));

    updateLateScenes();
    updateMiddleScenes();
    updateIntroImages();

    presentFrame();
    readBassLevel();
}

bool startDemo(bool waitForViewer, double startSeconds) {
    const DisplayConfig config = demoDisplayConfig();

    if (!loadDataFiles()) return false;
    std::string reason;
    if (!loadMusic((dataFolderPrefix() + musicPath).c_str(), reason)) {
        std::printf("music: cannot play %s: %s; continuing without sound\n", musicPath, reason.c_str());
    }

    loadIdentity();
    clearColor = Rgb{0.0f, 0.0f, 0.0f};
    primitiveList.currentStyle = styleDefault;

    initDisplay(config);
    if (waitForViewer) {
        warnIfLocaleIsNotUtf8();
        std::printf("Maximize Window And ");
        std::fflush(stdout);
        waitForKey();
    }
    initDisplay(config);

    if (startSeconds > 0) seekMusic(startSeconds);
    startMusic();
    // Starting later in the show moves the start back, so demoTime begins at startSeconds.
    startTime = static_cast<float>(static_cast<double>(tickCount()) / 1000.0 - startSeconds);

    clearColor = Rgb{0.0f, 0.0f, 1.0f};
    clearGrid();
    presentFrame();
    return true;
}

[[noreturn]] void runFrameLoop() {
    for (;;) {
        const uint64_t before = tickCount();
        tickFrame();
        const uint64_t after = tickCount();
        sleepMilliseconds(sleepAfterFrame(before, after));
    }
}
