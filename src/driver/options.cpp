#include "driver/options.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "platform/files.h"
#include "platform/video_encoder.h"

namespace {

// Checks what CLI11 cannot express; returns the error line or "".
std::string validate(const DemoOptions& options) {
    if (!(options.framesPerSecond > 0 && options.framesPerSecond <= 1000)) return "--fps: must be above 0 and at most 1000";
    if (!(options.from >= 0)) return "--from: must be 0 or more seconds";
    if (!(options.to >= options.from)) return "--to: must not be before --from";
    if (!(options.start >= 0 && options.start <= 100000)) return "--start: must be 0 or more seconds";
    if (!options.videoFile.empty()) {
        const std::string problem = videoPathProblem(options.videoFile, options.lossless);
        if (!problem.empty()) return "--video: " + problem;
    }
    if (options.lossless && options.videoFile.empty()) return "--lossless: needs --video";
    if (!options.captureFolder.empty()) {
        std::string reason;
        if (!makeDirectories(options.captureFolder, reason)) return "--capture: cannot create " + options.captureFolder + ": " + reason;
    }
    return "";
}

}  // namespace

int parseOptions(int argc, char** argv, DemoOptions& options) {
    CLI::App app{"Zorbel: a real-time audio-visual demo for the text terminal.\n"
                 "Without options it plays the show in this terminal: press a key to start, Ctrl-C to quit."};
    app.set_version_flag("--version", ZORBEL_VERSION);
    app.add_option("--capture", options.captureFolder,
                   "render without a terminal on a virtual clock, writing frame-NNNNNN.png, frames.csv and audio.wav into DIR")
        ->type_name("DIR");
    app.add_option("--fps", options.framesPerSecond, "capture frame rate (default 60)")->type_name("N");
    app.add_option("--from", options.from, "first second to write when capturing (default 0)")->type_name("T");
    app.add_option("--to", options.to, "last second to write when capturing (default 260)")->type_name("T");
    app.add_option("--scale", options.scale, "captured picture pixels per grid cell, 1 to 16 (default 1; 8 looks like a terminal)")
        ->type_name("S")
        ->check(CLI::Range(1, 16));
    app.add_flag("--no-audio", options.noAudio, "no music; the bass level stays 0");
    app.add_option("--start", options.start, "start the show at T seconds, music included")->type_name("T");
    app.add_option("--video", options.videoFile,
                   "render like --capture into one video file: .mp4 or .mkv (H.264, AAC), .webm (VP9, Opus); scale 8 unless --scale")
        ->type_name("FILE");
    app.add_flag("--lossless", options.lossless, "video frames that decode to exactly the captured pictures");

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& success) {
        return app.exit(success);
    } catch (const CLI::ParseError& error) {
        std::fprintf(stderr, "zorbel: %s\n", error.what());
        return 2;
    }
    if (!options.videoFile.empty() && app.count("--scale") == 0) options.scale = 8;
    const std::string problem = validate(options);
    if (!problem.empty()) {
        std::fprintf(stderr, "zorbel: %s\n", problem.c_str());
        return 2;
    }
    return -1;
}
