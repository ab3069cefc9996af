// The show in the terminal: its key prompt and its paced frame loop.
#include "driver/demo.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/display_config.h"
#include "display/present.h"
#include "driver/viewer_keys.h"
#include "platform/audio/audio.h"
#include "platform/input/key_wait.h"
#include "platform/input/viewer_input.h"
#include "platform/system/clock.h"
#include "platform/terminal/locale_check.h"

const char promptKeysNote[] = "Any key starts the show; q or Esc quits, space pauses. See zorbel --help.";

std::string soundDeviceNotice(const std::string& problem) {
    return "zorbel: no sound device, playing silently (" + problem + ")";
}

bool startDemo(bool waitForViewer, double startSeconds, ColorChoice colors) {
    // Every warning goes to standard error before the terminal is taken over, so it is
    // printed with line wrapping on and stays in the scrollback after the show; the key
    // prompt shows the same lines under the keys, where the viewer reads them before the show.
    std::vector<std::string> promptNotes{promptKeysNote};
    std::string musicWarning;
    if (!loadShow(musicWarning)) return false;
    if (!musicWarning.empty()) {
        std::fprintf(stderr, "%s\n", musicWarning.c_str());
        promptNotes.push_back(musicWarning);
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
    setUpShowDisplay();
    if (waitForViewer) {
        // Under the keys, how the colours reach this terminal.
        promptNotes.insert(promptNotes.begin() + 1, setUpTerminalColors(colors));
        // The keys that end the show end it here too, with the terminal given back.
        const std::string key = waitForKey(promptLead, promptNotes);
        if (scanViewerKeys(key.data(), key.size()).quit) {
            discardTypedInput(1000);
            stopMusic();
            std::exit(0);
        }
        takeLateTerminalAnswers();
    }
    beginShow(startSeconds);
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
    holdShow(paused);
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
