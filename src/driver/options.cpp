#include "driver/options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <CLI/CLI.hpp>

#include "driver/capture_window.h"
#include "driver/capture_folder.h"
#include "platform/capture/video_encoder.h"
#include "platform/system/files.h"
#include "platform/terminal/terminal_size.h"

const char helpText[] =
    "Usage: zorbel [options]\n"
    "\n"
    "Plays the Zorbel demo in this terminal (80 x 50 cells, UTF-8): press a key to\n"
    "start. During the show space pauses and resumes, q or Esc quits, Ctrl-C quits\n"
    "and Ctrl-Z suspends; nothing else reacts to the keyboard.\n"
    "\n"
    "Options:\n"
    "  --start SECONDS  start the show at SECONDS (0 to 260), the music with it\n"
    "  --no-audio       no music; the bass level stays 0\n"
    "  --data DIR       read the pictures, the font and the music from DIR\n"
    "                   (or from ZORBEL_DATA; by default Data/ here, then the\n"
    "                   one beside the program, then the installed copy)\n"
    "  --colors MODE    how the colours reach the terminal: auto (the default: the\n"
    "                   best exact way it has), truecolor, palette (the terminal's\n"
    "                   16 colours set to the show's), 256 or 16; or ZORBEL_COLORS\n"
    "  --force          play even when standard output is not a terminal; with\n"
    "                   --capture, replace an earlier capture's files in DIR\n"
    "  --capture DIR    render into DIR without a terminal, on a virtual clock:\n"
    "                   frame-NNNNNN.png, frames.csv and audio.wav\n"
    "  --fps N          capture frames per second, 1 to 1000 (default 60)\n"
    "  --from SECONDS   first second captured, 0 to 260 (default 0)\n"
    "  --to SECONDS     last second captured, up to 999 (default 260)\n"
    "  --scale N        captured pixels per grid cell, 1 to 16 (default 1, or 8\n"
    "                   for video; 8 looks like a terminal)\n"
    "  --video FILE     render like --capture into one video: .mp4 or .mkv (H.264,\n"
    "                   AAC), .webm (VP9, Opus); with --capture DIR, both\n"
    "  --lossless       video frames that decode to exactly the captured pictures\n"
    "  -h, --help       show this help\n"
    "  --version        show the version\n"
    "\n"
    "Scenes, from second: 0 fade in, 7 four pictures, 37 swaying picture,\n"
    "63 blue ripples, 96 plasma and spiked cubes, 154 star field, 210 closing\n"
    "text, 260 white until you quit.\n";

namespace {

// A number written in full: no trailing letters, and finite (no inf, no nan).
bool readNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value);
}

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// CLI11 runs these on the text before converting it and reports "--name: <what they
// return>". Its own number conversion takes inf and nan, so every number passes aNumber
// first.
const CLI::Validator aNumber(
    [](std::string& text) {
        double value = 0;
        return readNumber(text, value) ? std::string() : "'" + text + "' is not a number";
    },
    "");

// A number from low to high; `limit` says so in the option's own terms.
CLI::Validator within(double low, double high, const std::string& limit) {
    return CLI::Validator(
        [=](std::string& text) {
            double value = 0;
            readNumber(text, value);
            return value >= low && value <= high ? std::string() : limit;
        },
        "");
}

// Rewrites a whole number written as 8, 8.0 or 8e0 to "8", which the int conversion takes.
const CLI::Validator wholeScale(
    [](std::string& text) {
        double value = 0;
        if (!readNumber(text, value) || value != std::floor(value) || value < 1 || value > maxScale)
            return "must be a whole number from 1 to " + std::to_string(maxScale);
        text = std::to_string(static_cast<int>(value));
        return std::string();
    },
    "");

// A value that starts with "-" is the next option, taken as the folder because the value
// was left out (`--capture= --force`); a folder of that name can be written ./-name.
const CLI::Validator aFolder(
    [](std::string& text) { return text.empty() || text[0] == '-' ? "needs a folder" : ""; }, "");
const CLI::Validator aColorMode(
    [](std::string& text) {
        ColorChoice choice;
        return parseColorChoice(text, choice) ? "" : "must be auto, truecolor, palette, 256 or 16";
    },
    "");
const CLI::Validator aFile(
    [](std::string& text) { return text.empty() || text[0] == '-' ? "needs a file name" : ""; }, "");

// A bare flag reads as "true"; anything given with `=` is refused rather than read as
// yes or no.
const CLI::Validator noValue([](std::string& text) { return text == "true" ? "" : "takes no value"; }, "");

// An argument CLI11 matched to no option: an unknown `--name` or `--name=value`, or a
// word where none belongs.
std::string unexpected(const std::string& argument) {
    const std::string said = argument[0] == '-' ? "unknown option " + argument.substr(0, argument.find('='))
                                                : "unexpected argument '" + argument + "'";
    return said + " (see zorbel --help)";
}

// The checks between options, once CLI11 has read them all. `renderOnly` is the first
// option given that only rendering uses, or null.
std::string checkTogether(const DemoOptions& options, bool startGiven, bool colorsGiven, const char* renderOnly) {
    const bool rendering = !options.captureFolder.empty() || !options.videoFile.empty();
    if (rendering && colorsGiven) return "--colors: not with --capture or --video, whose pictures have the exact colours";
    if (!rendering && renderOnly != nullptr) return std::string(renderOnly) + " requires --capture or --video";
    if (rendering && startGiven)
        return "--start: not with --capture or --video; --from chooses where the pictures begin";
    if (options.lossless && options.videoFile.empty()) return "--lossless: needs --video";
    if (!options.videoFile.empty()) {
        const std::string problem = videoPathProblem(options.videoFile, options.lossless);
        if (!problem.empty()) return "--video: " + problem;
    }
    if (!(options.to >= options.from)) return "--to: must not be before --from (" + seconds(options.from) + ")";
    if (rendering && framesInWindow(options.from, options.to, options.framesPerSecond) <= 0)
        return "--from, --to: no frame lies between " + seconds(options.from) + " and " + seconds(options.to) +
               " seconds with --fps " + seconds(options.framesPerSecond);
    return "";
}

}  // namespace

ReadOptions readOptions(int argc, const char* const* argv) {
    ReadOptions result;
    DemoOptions& options = result.options;
    CLI::App app("", "zorbel");
    app.allow_extras();  // left in remaining(), so the first one can be named
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);  // the last one given counts
    // Help and version answer at once, even after a bad value.
    app.set_help_flag();
    app.add_flag_callback("-h,--help", [] { throw CLI::CallForHelp(); })->trigger_on_parse();
    app.set_version_flag("--version", "zorbel " ZORBEL_VERSION)->trigger_on_parse();

    const std::string showRange = "must be from 0 to " + seconds(showSeconds) + " seconds, the length of the show";
    CLI::Option* start = app.add_option("--start", options.start)
                             ->type_name("SECONDS")
                             ->check(aNumber)
                             ->check(within(0, showSeconds, showRange));
    app.add_flag("--no-audio", options.noAudio)->check(noValue);
    app.add_option("--data", options.dataFolder)->type_name("DIR")->check(aFolder);
    app.add_flag("--force", options.force)->check(noValue);
    app.add_option("--capture", options.captureFolder)->type_name("DIR")->check(aFolder);
    app.add_option("--fps", options.framesPerSecond)
        ->type_name("N")
        ->check(aNumber)
        ->check(within(minFramesPerSecond, maxFramesPerSecond,
                       "must be from " + seconds(minFramesPerSecond) + " to " + seconds(maxFramesPerSecond) +
                           " frames per second"));
    app.add_option("--from", options.from)
        ->type_name("SECONDS")
        ->check(aNumber)
        ->check(within(0, showSeconds, showRange));
    app.add_option("--to", options.to)
        ->type_name("SECONDS")
        ->check(aNumber)
        ->check(within(-HUGE_VAL, maxCaptureSeconds, "must be at most " + seconds(maxCaptureSeconds) + " seconds"));
    app.add_option("--scale", options.scale)->type_name("N")->transform(wholeScale);
    app.add_option("--video", options.videoFile)->type_name("FILE")->check(aFile);
    app.add_flag("--lossless", options.lossless)->check(noValue);
    std::string colors;
    CLI::Option* colorsOption = app.add_option("--colors", colors)->type_name("MODE")->check(aColorMode);

    try {
        app.parse(argc, argv);
        const char* renderOnly = nullptr;
        for (const char* name : {"--fps", "--from", "--to", "--scale", "--lossless"})
            if (renderOnly == nullptr && app.count(name) > 0) renderOnly = name;
        result.error = app.remaining().empty()
                           ? checkTogether(options, start->count() > 0, colorsOption->count() > 0, renderOnly)
                           : unexpected(app.remaining().front());
        // The environment chooses when the command line does not.
        const char* fromEnvironment = std::getenv("ZORBEL_COLORS");
        if (colorsOption->count() > 0) {
            parseColorChoice(colors, options.colors);
        } else if (fromEnvironment != nullptr && *fromEnvironment != '\0' && options.captureFolder.empty() &&
                   options.videoFile.empty() &&
                   !parseColorChoice(fromEnvironment, options.colors) && result.error.empty()) {
            result.error = "ZORBEL_COLORS: must be auto, truecolor, palette, 256 or 16";
        }
        // Video is looked at full screen: cells of 8 x 8 pixels unless asked otherwise.
        if (!options.videoFile.empty() && app.count("--scale") == 0) options.scale = 8;
    } catch (const CLI::CallForHelp&) {
        result.message = helpText;
    } catch (const CLI::CallForVersion& version) {
        result.message = version.what() + std::string("\n");
    } catch (const CLI::ParseError& error) {
        result.error = error.what();
    }
    return result;
}

int parseOptions(int argc, char** argv, DemoOptions& options) {
    const ReadOptions read = readOptions(argc, argv);
    if (!read.message.empty()) {
        std::fputs(read.message.c_str(), stdout);
        return 0;
    }
    std::string problem = read.error;
    const bool rendering = !read.options.captureFolder.empty() || !read.options.videoFile.empty();
    if (problem.empty() && !rendering && !read.options.force && !outputIsTerminal())
        problem = "standard output is not a terminal (use --capture DIR, or --force to play anyway)";
    if (problem.empty() && !read.options.captureFolder.empty())
        problem = prepareCaptureFolder(read.options.captureFolder, read.options.force);
    if (problem.empty() && !read.options.videoFile.empty())
        problem = prepareVideoFile(read.options.videoFile, read.options.force);
    if (!problem.empty()) {
        std::fprintf(stderr, "zorbel: %s\n", problem.c_str());
        return 2;
    }
    options = read.options;
    return -1;
}
