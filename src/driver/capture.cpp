#include "driver/capture.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "driver/demo.h"
#include "driver/frame_state.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/console_palette.h"
#include "platform/interrupt.h"
#include "platform/memory_console.h"
#include "platform/music_engine.h"
#include "platform/png_file.h"
#include "platform/png_writer.h"
#include "platform/progress.h"
#include "platform/video_writer.h"

uint32_t captureTicks(long frame, double framesPerSecond) {
    return static_cast<uint32_t>(std::floor(static_cast<double>(frame) * 1000.0 / framesPerSecond));
}

// The demo time tickFrame will compute for a tick count, with the music started at 0.
static float demoTimeAt(uint32_t ticks) { return static_cast<float>(static_cast<double>(ticks) / 1000.0); }

// Each grid row becomes one row of pixels, repeated `scale` times.
static void consolePixels(int scale, std::vector<uint8_t>& pixels) {
    const int width = consoleColumns * scale;
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    pixels.resize(rowBytes * 2 * consoleRows * scale);
    for (int gridRow = 0; gridRow < 2 * consoleRows; ++gridRow) {
        uint8_t* row = &pixels[rowBytes * gridRow * scale];
        for (int x = 0; x < width; ++x) {
            const int attribute = memoryConsoleState.cells[(gridRow / 2) * consoleColumns + x / scale].attribute;
            // The upper grid cell of a console cell is its background, the lower its foreground.
            const int nibble = gridRow % 2 == 0 ? (attribute >> 4) & 15 : attribute & 15;
            row[3 * x] = consolePalette[nibble].r;
            row[3 * x + 1] = consolePalette[nibble].g;
            row[3 * x + 2] = consolePalette[nibble].b;
        }
        for (int copy = 1; copy < scale; ++copy) std::copy(row, row + rowBytes, row + rowBytes * copy);
    }
}

bool writeConsolePicture(const std::string& path, int scale, std::string& reason) {
    static std::vector<uint8_t> pixels;
    consolePixels(scale, pixels);
    return writePng(path, consoleColumns * scale, 2 * consoleRows * scale, pixels.data(), reason);
}

namespace {

struct CaptureRun {
    const DemoOptions& options;
    std::FILE* table;
    long written = 0;
    long toWrite = 0;
    bool recording = false;
    bool recordingTried = false;
    bool video = false;      // frames and sound go to the video writer
    bool listening = false;  // the video writer hears the music
};

bool insideWindow(const DemoOptions& options, float time) { return options.from <= time && time <= options.to; }

std::string framePath(const std::string& folder, long frame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06ld.png", frame);
    return folder + name;
}

// Starts the video file at the window's first frame, with the music from here on.
bool startVideo(CaptureRun& run) {
    std::string reason;
    run.listening = listenToMusic(queueVideoSound, reason);
    if (!run.listening && !run.options.noAudio) std::fprintf(stderr, "zorbel: no sound in the video: %s\n", reason.c_str());
    const VideoFormat format{consoleColumns * run.options.scale, 2 * consoleRows * run.options.scale,
                             run.options.framesPerSecond, run.options.lossless, run.listening ? musicSampleRate : 0};
    run.video = startVideoWriter(run.options.videoFile, format, reason);
    if (!run.video) std::fprintf(stderr, "zorbel: %s\n", reason.c_str());
    return run.video;
}

// Hands the frame's pixels to the video and picture writers.
bool writeFrame(CaptureRun& run, long frame) {
    const int width = consoleColumns * run.options.scale, height = 2 * consoleRows * run.options.scale;
    static std::vector<uint8_t> videoOnly;  // without pictures one buffer serves every frame
    const bool pictures = !run.options.captureFolder.empty();
    std::vector<uint8_t> pixels = pictures ? sparePngBuffer() : std::move(videoOnly);
    consolePixels(run.options.scale, pixels);
    std::string reason;
    if (run.video && !queueVideoFrame(pixels.data())) {
        finishVideoWriter(reason);
        std::fprintf(stderr, "zorbel: %s\n", reason.c_str());
        run.video = false;
        return false;
    }
    if (!pictures) {
        videoOnly = std::move(pixels);
        return true;
    }
    if (!queuePng(framePath(run.options.captureFolder, frame), width, height, std::move(pixels))) {
        finishPngWriter(reason);
        std::fprintf(stderr, "zorbel: %s\n", reason.c_str());
        return false;
    }
    return true;
}

// Writes the frame's table row and, inside the window, its picture.
bool recordFrame(CaptureRun& run, long frame, uint32_t ticks) {
    if (run.table != nullptr)
        std::fprintf(run.table, "%ld,%u,%.9g,%.9g\n", frame, ticks, static_cast<double>(demoTime),
                     static_cast<double>(bassLevel));
    if (!insideWindow(run.options, demoTime)) return true;
    if (!run.recordingTried && !run.options.videoFile.empty() && !startVideo(run)) return false;
    if (!run.recordingTried && !run.options.captureFolder.empty()) {
        // The sound from this frame on belongs to the captured window.
        std::string reason;
        run.recording = startMusicRecording((run.options.captureFolder + "/audio.wav").c_str(), reason);
        if (!run.recording && !run.options.noAudio) std::fprintf(stderr, "zorbel: no audio.wav: %s\n", reason.c_str());
    }
    run.recordingTried = true;
    if (!writeFrame(run, frame)) return false;
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

    CaptureRun run{options, nullptr};
    if (!options.captureFolder.empty()) {
        const std::string tablePath = options.captureFolder + "/frames.csv";
        run.table = std::fopen(tablePath.c_str(), "w");
        if (run.table == nullptr) {
            std::fprintf(stderr, "zorbel: cannot write %s\n", tablePath.c_str());
            return 1;
        }
        std::fprintf(run.table, "frame,tick_ms,demo_time,bass_level\n");
        startPngWriter();
    }
    // A video is finished up to the last frame on Ctrl-C instead of being cut off.
    if (!options.videoFile.empty()) watchInterrupts();

    const long last = lastFrame(options);
    run.toWrite = last - firstWrittenFrame(options) + 1;
    auto began = std::chrono::steady_clock::now();  // of the written window, for the speed
    bool ok = recordFrame(run, 0, 0);  // the all-blue frame of start-up
    long frame = 0;
    while (ok && frame < last && !interruptRequested()) {
        ++frame;
        const uint32_t ticks = captureTicks(frame, options.framesPerSecond);
        setVirtualTicks(ticks);
        tickFrame();
        const long writtenBefore = run.written;
        ok = recordFrame(run, frame, ticks);
        if (writtenBefore == 0 && run.written == 1) began = std::chrono::steady_clock::now();
        if (frame % 30 == 0 || frame == last) {
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
            showProgress(run.written, run.toWrite, seconds, options.framesPerSecond);
        }
    }
    endProgress();
    if (run.recording || run.listening) {
        // Render the last written frame's own period, so the sound lasts as long as the pictures.
        setVirtualTicks(captureTicks(frame + 1, options.framesPerSecond));
        advanceMusic();
        stopMusicRecording();
    }
    stopMusic();
    std::string reason;
    if (!finishPngWriter(reason)) {
        std::fprintf(stderr, "zorbel: %s\n", reason.c_str());
        ok = false;
    }
    if (run.video && !ok) abandonVideoWriter();
    if (run.video && ok && !finishVideoWriter(reason)) {
        std::fprintf(stderr, "zorbel: %s\n", reason.c_str());
        ok = false;
    }
    if (run.table != nullptr) ok = std::fclose(run.table) == 0 && ok;
    if (ok && interruptRequested() && run.written == 0) {
        std::fprintf(stderr, "zorbel: interrupted before the first frame: %s not written\n", options.videoFile.c_str());
        return 1;
    }
    if (ok && interruptRequested()) {
        // 130, as a shell reports Ctrl-C: the files hold the frames up to here and are complete.
        std::fprintf(stderr, "zorbel: interrupted: %s ends at %.3f s (frame %ld)\n", options.videoFile.c_str(),
                     static_cast<double>(demoTime), frame);
        return 130;
    }
    return ok ? 0 : 1;
}
