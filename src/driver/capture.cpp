#include "driver/capture.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "driver/capture_window.h"
#include "driver/demo.h"
#include "driver/frame_state.h"
#include "platform/audio/audio.h"
#include "platform/audio/music_engine.h"
#include "platform/capture/music_recording.h"
#include "platform/capture/png_writer.h"
#include "platform/capture/progress.h"
#include "platform/capture/video_writer.h"
#include "platform/system/clock.h"
#include "platform/system/files.h"
#include "platform/system/signals.h"
#include "platform/terminal/console_palette.h"
#include "platform/terminal/memory_console.h"


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

namespace {

// frames.csv and audio.wav are written as new files (files.h) and get their own name only
// when complete, so no file that claims to be whole is ever cut short.
constexpr size_t tableBlock = 64 * 1024;  // rows are written in blocks of about this size

struct CaptureRun {
    const DemoOptions& options;
    std::string tablePath;  // the final names
    std::string soundPath;
    NewFile table;
    std::string rows;  // not yet written
    bool tableFailed = false;
    long written = 0;
    long toWrite = 0;
    bool recording = false;
    bool recordingTried = false;
    bool video = false;      // frames and sound go to the video writer
    bool listening = false;  // the video writer hears the music
};

// The window is compared in the float a frame sees as its demoTime: an option of 8.1 is the
// same float as the time of the frame at 8,100 ms, so that frame is inside, never lost to
// the double being a hair off the float.
bool insideWindow(const DemoOptions& options, float time) {
    return static_cast<float>(options.from) <= time && time <= static_cast<float>(options.to);
}

std::string framePath(const std::string& folder, long frame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06ld.png", frame);
    return folder + name;
}

// Starts the video file at the window's first frame, with the music from here on.
bool startVideo(CaptureRun& run) {
    std::string reason;
    run.listening = listenToMusic(queueVideoSound, reason);
    if (!run.listening && !run.options.noAudio) {
        endProgress();  // the message starts a line of its own
        std::fprintf(stderr, "zorbel: no sound in the video: %s\n", reason.c_str());
    }
    const VideoFormat format{consoleColumns * run.options.scale, 2 * consoleRows * run.options.scale,
                             run.options.framesPerSecond, run.options.lossless, run.listening ? musicSampleRate : 0};
    run.video = startVideoWriter(run.options.videoFile, format, reason);
    if (!run.video) {
        endProgress();  // the message starts a line of its own
        std::fprintf(stderr, "zorbel: %s\n", reason.c_str());
    }
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
        endProgress();  // the message starts a line of its own
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
        endProgress();  // the message starts a line of its own
        std::fprintf(stderr, "zorbel: %s\n", reason.c_str());
        return false;
    }
    return true;
}

// Writes the table rows gathered so far; false, with the reason on standard error, when that fails.
bool writeRows(CaptureRun& run) {
    std::string reason;
    if (run.rows.empty() || writeNewFile(run.table, run.rows.data(), run.rows.size(), reason)) {
        run.rows.clear();
        return true;
    }
    endProgress();  // the message starts a line of its own
    std::fprintf(stderr, "zorbel: cannot write %s: %s\n", run.tablePath.c_str(), reason.c_str());
    run.tableFailed = true;
    return false;
}

// Writes the frame's table row and, inside the window, its picture.
bool recordFrame(CaptureRun& run, long frame, uint64_t ticks) {
    if (run.table.descriptor >= 0) {
        char row[96];
        std::snprintf(row, sizeof row, "%ld,%llu,%.9g,%.9g\n", frame, static_cast<unsigned long long>(ticks),
                      static_cast<double>(demoTime), static_cast<double>(bassLevel));
        run.rows += row;
        if (run.rows.size() >= tableBlock && !writeRows(run)) return false;
    }
    if (!insideWindow(run.options, demoTime)) return true;
    if (!run.recordingTried && !run.options.videoFile.empty() && !startVideo(run)) return false;
    if (!run.recordingTried && !run.options.captureFolder.empty()) {
        // The sound from this frame on belongs to the captured window.
        std::string reason;
        run.recording = startMusicRecording(run.soundPath.c_str(), reason);
        // Without music there is nothing to record; music that cannot be written is a failed capture.
        if (!run.recording && !run.options.noAudio && moduleLoaded()) {
            endProgress();  // the message starts a line of its own
            std::fprintf(stderr, "zorbel: cannot write %s: %s\n", run.soundPath.c_str(), reason.c_str());
            return false;
        }
        if (!run.recording && !run.options.noAudio) {
            endProgress();
            std::fprintf(stderr, "zorbel: no audio.wav: %s\n", reason.c_str());
        }
    }
    run.recordingTried = true;
    if (!writeFrame(run, frame)) return false;
    ++run.written;
    return true;
}

}  // namespace


int runCapture(const DemoOptions& options) {
    catchStopRequests();
    selectConsole(memoryConsole());
    useVirtualClock(0);
    setMusicMode(options.noAudio ? MusicMode::off : MusicMode::rendered);
    if (!startDemo(false)) return 1;

    const bool pictures = !options.captureFolder.empty();
    CaptureRun run{options, options.captureFolder + "/frames.csv", options.captureFolder + "/audio.wav", NewFile{}, ""};
    bool ok = true;
    if (pictures) {
        std::string reason;
        if (!createNewFile(run.tablePath, run.table, reason)) {
            std::fprintf(stderr, "zorbel: cannot write %s: %s\n", run.tablePath.c_str(), reason.c_str());
            return 1;
        }
        run.rows = "frame,tick_ms,demo_time,bass_level\n";
        startPngWriter();
    }

    const long last = lastCaptureFrame(options.to, options.framesPerSecond);
    run.toWrite = framesInWindow(options.from, options.to, options.framesPerSecond);
    auto began = std::chrono::steady_clock::now();  // of the written window, for the speed
    ok = ok && recordFrame(run, 0, 0);  // the all-blue frame of start-up
    long frame = 0;
    while (ok && frame < last && !stopRequested()) {
        ++frame;
        const uint64_t ticks = captureTicks(frame, options.framesPerSecond);
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
    const bool stopped = stopRequested();
    std::string reason;
    if (run.recording || run.listening) {
        // Render the last written frame's own period, so the sound lasts as long as the pictures.
        if (ok) {
            setVirtualTicks(captureTicks(frame + 1, options.framesPerSecond));
            advanceMusic();
        }
        if (!stopMusicRecording(reason) && ok && !stopped) {
            std::fprintf(stderr, "zorbel: cannot write %s: %s\n", run.soundPath.c_str(), reason.c_str());
            ok = false;
        }
    }
    stopMusic();
    if (pictures && !finishPngWriter(reason)) {
        std::fprintf(stderr, "zorbel: %s\n", reason.c_str());
        ok = false;
    }
    // A second stop request leaves no time to finish the video: it goes with the rest.
    if (run.video && (!ok || stopHurried())) {
        abandonVideoWriter();
        run.video = false;
    }
    if (run.video && ok && !finishVideoWriter(reason)) {
        std::fprintf(stderr, "zorbel: %s\n", reason.c_str());
        ok = false;
    }
    if (pictures && ok && !stopped) ok = writeRows(run);

    if (ok && !stopped) {
        if (pictures && !keepNewFile(run.table, reason)) {
            std::fprintf(stderr, "zorbel: cannot write %s: %s\n", run.tablePath.c_str(), reason.c_str());
            ok = false;
        }
        if (ok && run.recording && !keepMusicRecording(reason)) {
            std::fprintf(stderr, "zorbel: cannot write %s: %s\n", run.soundPath.c_str(), reason.c_str());
            ok = false;
        }
        if (ok) return 0;
    }
    dropNewFile(run.table);
    dropMusicRecording();
    if (!stopped) return 1;
    if (run.video && ok) {
        // 130, as a shell reports Ctrl-C: the video is complete up to this frame.
        std::fprintf(stderr, "zorbel: interrupted: %s ends at %.3f s (frame %ld)\n", options.videoFile.c_str(),
                     static_cast<double>(demoTime), frame);
        return 130;
    }
    if (!options.videoFile.empty() && run.written == 0) {
        std::fprintf(stderr, "zorbel: interrupted before the first frame: %s not written\n", options.videoFile.c_str());
        return 1;
    }
    // Stopped again while finishing: the video was abandoned with the rest.
    if (!options.videoFile.empty()) std::fprintf(stderr, "zorbel: interrupted: %s not written\n", options.videoFile.c_str());
    if (pictures)
        std::fprintf(stderr, "zorbel: capture stopped after %ld pictures; frames.csv and audio.wav not written\n",
                     run.written);
    endByStopSignal();
}
