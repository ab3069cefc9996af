#include "driver/browser_show.h"

#include <cstdio>
#include <string>

#include "display/display_config.h"
#include "driver/capture_window.h"
#include "driver/demo.h"
#include "driver/frame_state.h"
#include "platform/audio/audio.h"
#include "platform/input/key_wait.h"
#include "platform/system/clock.h"
#include "platform/terminal/console_palette.h"
#include "platform/terminal/memory_console.h"

namespace {

constexpr int pictureWidth = consoleColumns, pictureHeight = 2 * consoleRows;
constexpr double stillFramesPerSecond = 60;

uint8_t picture[pictureWidth * pictureHeight];
uint8_t palette[16 * 3];
std::string checksumText, promptText;
bool paused = false;
uint64_t lastFrameStart = 0;

// Data and music for a show on `mode`'s music, shown on the off-screen console. The data
// folder is found as always: in a page, Data/ of the working directory "/" is the packed data.
bool loadFor(MusicMode mode) {
    selectConsole(memoryConsole());
    setMusicMode(mode);
    std::string musicWarning;
    if (!loadShow(musicWarning)) return false;
    if (!musicWarning.empty()) std::fprintf(stderr, "%s\n", musicWarning.c_str());
    setUpShowDisplay();
    return true;
}

// The upper grid cell of a console cell is its background, the lower its foreground.
void takePicture() {
    for (int y = 0; y < pictureHeight; ++y)
        for (int x = 0; x < pictureWidth; ++x) {
            const int attribute = memoryConsoleState.cells[(y / 2) * consoleColumns + x].attribute;
            picture[y * pictureWidth + x] = static_cast<uint8_t>(y % 2 == 0 ? (attribute >> 4) & 15 : attribute & 15);
        }
}

uint64_t fnv1a(const void* bytes, size_t size, uint64_t hash) {
    for (size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<const uint8_t*>(bytes)[i]) * 0x100000001b3ull;
    return hash;
}

}  // namespace

int zorbel_load() { return loadFor(MusicMode::live) ? 1 : 0; }

void zorbel_begin() {
    paused = false;
    beginShow(0);
    lastFrameStart = tickCount();
    takePicture();
}

int zorbel_frame() {
    if (paused) return 0;
    const uint64_t now = tickCount();
    if (now - lastFrameStart < static_cast<uint64_t>(framePeriod())) return 0;
    lastFrameStart = now;
    tickFrame();
    takePicture();
    return 1;
}

void zorbel_toggle_pause() {
    paused = !paused;
    holdShow(paused);
}

int zorbel_paused() { return paused ? 1 : 0; }

int zorbel_virtual_start(int withMusic) {
    useVirtualClock(0);
    if (!loadFor(withMusic ? MusicMode::rendered : MusicMode::off)) return 0;
    beginShow(0);
    takePicture();
    return 1;
}

void zorbel_virtual_frame(long frame, double framesPerSecond) {
    setVirtualTicks(captureTicks(frame, framesPerSecond));
    tickFrame();
    takePicture();
}

int zorbel_still(double seconds) {
    if (!zorbel_virtual_start(1)) return 0;
    const long last = lastCaptureFrame(seconds, stillFramesPerSecond);
    for (long frame = 1; frame <= last; ++frame) zorbel_virtual_frame(frame, stillFramesPerSecond);
    stopMusic();
    return 1;
}

const uint8_t* zorbel_picture() { return picture; }

const uint8_t* zorbel_palette() {
    for (int i = 0; i < 16; ++i) {
        palette[3 * i] = consolePalette[i].r;
        palette[3 * i + 1] = consolePalette[i].g;
        palette[3 * i + 2] = consolePalette[i].b;
    }
    return palette;
}

const char* zorbel_picture_checksum() {
    const int32_t size[2] = {pictureWidth, pictureHeight};
    uint64_t hash = fnv1a(size, sizeof size, 0xcbf29ce484222325ull);
    for (uint8_t index : picture) {
        const uint8_t rgb[3] = {consolePalette[index].r, consolePalette[index].g, consolePalette[index].b};
        hash = fnv1a(rgb, sizeof rgb, hash);
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    checksumText = text;
    return checksumText.c_str();
}

double zorbel_demo_time() { return demoTime; }
double zorbel_bass_level() { return bassLevel; }

const char* zorbel_prompt_line() {
    promptText = promptLine(promptLead);
    return promptText.c_str();
}

const char* zorbel_title() { return demoDisplayConfig().title; }
