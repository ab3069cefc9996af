#include "driver/capture.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "driver/demo.h"
#include "driver/frame_state.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/console_palette.h"
#include "platform/memory_console.h"
#include "platform/png_file.h"
#include "platform/progress.h"

uint32_t captureTicks(long frame, double framesPerSecond) {
    return static_cast<uint32_t>(std::floor(static_cast<double>(frame) * 1000.0 / framesPerSecond));
}

// The demo time tickFrame will compute for a tick count, with the music started at 0.
static float demoTimeAt(uint32_t ticks) { return static_cast<float>(static_cast<double>(ticks) / 1000.0); }

bool writeConsolePicture(const std::string& path, int scale, std::string& reason) {
    const int width = consoleColumns * scale;
    const int height = 2 * consoleRows * scale;
    static std::vector<uint8_t> pixels;
    pixels.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const int gridRow = y / scale;
        for (int x = 0; x < width; ++x) {
            const int attribute = memoryConsoleState.cells[(gridRow / 2) * consoleColumns + x / scale].attribute;
            // The upper grid cell of a console cell is its background, the lower its foreground.
            const int nibble = gridRow % 2 == 0 ? (attribute >> 4) & 15 : attribute & 15;
            uint8_t* pixel = &pixels[(static_cast<size_t>(y) * width + x) * 3];
            pixel[0] = consolePalette[nibble].r;
            pixel[1] = consolePalette[nibble].g;
            pixel[2] = consolePalette[nibble].b;
        }
    }
    return writePng(path, width, height, pixels.data(), reason);
}

namespace {

struct CaptureRun {
    const DemoOptions& options;
    std::FILE* table;
    long written = 0;
    long toWrite = 0;
    bool recording = false;
    bool recordingTried = false;
};

bool insideWindow(const DemoOptions& options, float time) { return options.from <= time && time <= options.to; }

std::string framePath(const std::string& folder, long frame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06ld.png", frame);
    return folder + name;
}

// Writes the frame's table row and, inside the window, its picture.
bool recordFrame(CaptureRun& run, long frame, uint32_t ticks) {
    std::fprintf(run.table, "%ld,%u,%.9g,%.9g\n", frame, ticks, static_cast<double>(demoTime),
                 static_cast<double>(bassLevel));
    if (!insideWindow(run.options, demoTime)) return true;
    if (!run.recordingTried) {
        // The sound from this frame on belongs to the captured window.
        std::string reason;
        run.recording = startMusicRecording((run.options.captureFolder + "/audio.wav").c_str(), reason);
        if (!run.recording && !run.options.noAudio) std::fprintf(stderr, "zorbel: no audio.wav: %s\n", reason.c_str());
        run.recordingTried = true;
    }
    std::string reason;
    if (!writeConsolePicture(framePath(run.options.captureFolder, frame), run.options.scale, reason)) {
        std::fprintf(stderr, "zorbel: %s\n", reason.c_str());
        return false;
    }
    ++run.written;
    return true;
}

long lastFrame(const DemoOptions& options) {
    long frame = 0;
    while (demoTimeAt(captureTicks(frame + 1, options.framesPerSecond)) <= options.to) ++frame;
    return frame;
}

long firstWrittenFrame(const DemoOptions& options) {
    long frame = 0;
    while (demoTimeAt(captureTicks(frame, options.framesPerSecond)) < options.from) ++frame;
    return frame;
}

}  // namespace

int runCapture(const DemoOptions& options) {
    selectConsole(memoryConsole());
    useVirtualClock(0);
    setMusicMode(options.noAudio ? MusicMode::off : MusicMode::rendered);
    if (!startDemo(false)) return 1;

    const std::string tablePath = options.captureFolder + "/frames.csv";
    CaptureRun run{options, std::fopen(tablePath.c_str(), "w")};
    if (run.table == nullptr) {
        std::fprintf(stderr, "zorbel: cannot write %s\n", tablePath.c_str());
        return 1;
    }
    std::fprintf(run.table, "frame,tick_ms,demo_time,bass_level\n");

    const long last = lastFrame(options);
    run.toWrite = last - firstWrittenFrame(options) + 1;
    const auto began = std::chrono::steady_clock::now();
    bool ok = recordFrame(run, 0, 0);  // the all-blue frame of start-up
    for (long frame = 1; ok && frame <= last; ++frame) {
        const uint32_t ticks = captureTicks(frame, options.framesPerSecond);
        setVirtualTicks(ticks);
        tickFrame();
        ok = recordFrame(run, frame, ticks);
        if (frame % 30 == 0 || frame == last) {
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
            showProgress(run.written, run.toWrite, seconds > 0 ? frame / seconds : 0);
        }
    }
    endProgress();
    if (run.recording) {
        // Render the last written frame's own period, so the sound lasts as long as the pictures.
        setVirtualTicks(captureTicks(last + 1, options.framesPerSecond));
        advanceMusic();
        stopMusicRecording();
    }
    stopMusic();
    ok = std::fclose(run.table) == 0 && ok;
    return ok ? 0 : 1;
}
