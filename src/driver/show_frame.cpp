// The parts of start-up and of a frame that every front end shares: the terminal's
// (demo.cpp), the capture's and the web page's.
#include "driver/demo.h"

#include <string>

#include "display/color_grid.h"
#include "display/display_config.h"
#include "display/present.h"
#include "driver/data_files.h"
#include "driver/frame_state.h"
#include "driver/timeline.h"
#include "platform/audio/audio.h"
#include "platform/audio/spectrum.h"
#include "platform/system/clock.h"
#include "render3d/matrix.h"
#include "render3d/primitives.h"

static const char musicFile[] = "QUABTUNE.xm";

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

bool loadShow(std::string& musicWarning) {
    musicWarning.clear();
    if (!loadDataFiles()) return false;
    std::string reason;
    const std::string musicPath = dataFolder() + "/" + musicFile;
    if (!loadMusic(musicPath.c_str(), reason))
        musicWarning = "zorbel: cannot play " + musicPath + ": " + reason + "; the show runs silently";
    return true;
}

void setUpShowDisplay() {
    loadIdentity();
    clearColor = Rgb{0.0f, 0.0f, 0.0f};
    primitiveList.currentStyle = styleDefault;
    initDisplay(demoDisplayConfig());
}

const char promptLead[] = "Maximize Window And ";

void holdShow(bool held) {
    if (held) {
        holdClock();
        pauseMusic();
    } else {
        releaseClock();
        resumeMusic();
    }
}

void beginShow(double startSeconds) {
    initDisplay(demoDisplayConfig());

    if (startSeconds > 0) seekMusic(startSeconds);
    startMusic();
    // Starting later in the show moves the start back, so demoTime begins at startSeconds.
    startTime = static_cast<float>(static_cast<double>(tickCount()) / 1000.0 - startSeconds);

    clearColor = Rgb{0.0f, 0.0f, 1.0f};
    clearGrid();
    presentFrame();
}
