#include "driver/demo.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/color_grid.h"
#include "display/display_config.h"
#include "display/present.h"
#include "driver/data_files.h"
#include "driver/frame_state.h"
#include "driver/timeline.h"
#include "driver/viewer_keys.h"
#include "platform/audio/audio.h"
#include "platform/audio/spectrum.h"
#include "platform/input/key_wait.h"
#include "platform/input/viewer_input.h"
#include "platform/system/clock.h"
#include "platform/terminal/locale_check.h"
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

const char promptKeysNote[] = "Any key starts the show; q or Esc quits, space pauses. See zorbel --help.";

std::string soundDeviceNotice(const std::string& problem) {
    return "zorbel: no sound device, playing silently (" + problem + ")";
}

bool startDemo(bool waitForViewer, double startSeconds, ColorChoice colors) {
    const DisplayConfig config = demoDisplayConfig();

    // Every warning goes to standard error before the terminal is taken over, so it is
    // printed with line wrapping on and stays in the scrollback after the show; the key
    // prompt shows the same lines under the keys, where the viewer reads them before the show.
    std::vector<std::string> promptNotes{promptKeysNote};
    if (!loadDataFiles()) return false;
    std::string reason;
    const std::string musicPath = dataFolder() + "/" + musicFile;
    if (!loadMusic(musicPath.c_str(), reason)) {
        const std::string warning = "zorbel: cannot play " + musicPath + ": " + reason + "; the show runs silently";
        std::fprintf(stderr, "%s\n", warning.c_str());
        promptNotes.push_back(warning);
    }
    if (waitForViewer) {
        if (!soundDeviceProblem().empty()) {
            const std::string notice = soundDeviceNotice(soundDeviceProblem());
            std::fprintf(stderr, "%s\n", notice.c_str());
            promptNotes.push_back(notice);
        }
        const std::string localeNote = warnIfLocaleIsNotUtf8();
        if (!localeNote.empty()) promptNotes.push_back(localeNote);
    }

    loadIdentity();
    clearColor = Rgb{0.0f, 0.0f, 0.0f};
    primitiveList.currentStyle = styleDefault;

    initDisplay(config);
    if (waitForViewer) {
        // Under the keys, how the colours reach this terminal.
        promptNotes.insert(promptNotes.begin() + 1, setUpTerminalColors(colors));
        // The keys that end the show end it here too, with the terminal given back.
        const std::string key = waitForKey("Maximize Window And ", promptNotes);
        if (scanViewerKeys(key.data(), key.size()).quit) {
            discardTypedInput(1000);
            stopMusic();
            std::exit(0);
        }
        takeLateTerminalAnswers();
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

// The viewer's keys: q or Esc ends the program (the terminal is restored on the way out);
// space holds the show's clock and the music, and the last frame stays on the screen.
static void handleViewerKeys(bool& paused) {
    // One read a frame, however much is waiting, so a flood of input cannot hold the show up.
    char typed[4096];
    const ViewerKeys keys = scanViewerKeys(typed, readTypedInput(typed, sizeof typed));
    if (keys.quit) {
        discardTypedInput(1000);
        stopMusic();
        std::exit(0);
    }
    if (!keys.togglePause) return;
    paused = !paused;
    if (paused) {
        holdClock();
        pauseMusic();
    } else {
        releaseClock();
        resumeMusic();
    }
}

[[noreturn]] void runFrameLoop() {
    bool paused = false;
    for (;;) {
        handleViewerKeys(paused);
        if (paused) {
            // The same cells again: nothing is sent unless a resize or a suspension needs a repaint.
            if (consoleOutput != nullptr) consoleOutput->writeCells(cellBuffer);
            sleepMilliseconds(framePeriod());
            continue;
        }
        const uint64_t before = tickCount();
        tickFrame();
        const uint64_t after = tickCount();
        sleepMilliseconds(sleepAfterFrame(before, after));
    }
}
