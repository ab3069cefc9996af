#include "driver/options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "driver/capture_folder.h"
#include "platform/files.h"
#include "platform/terminal_size.h"

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
    "                   installed copy)\n"
    "  --force          play even when standard output is not a terminal; with\n"
    "                   --capture, replace an earlier capture's files in DIR\n"
    "  --capture DIR    render into DIR without a terminal, on a virtual clock:\n"
    "                   frame-NNNNNN.png, frames.csv and audio.wav\n"
    "  --fps N          capture frames per second, 1 to 1000 (default 60)\n"
    "  --from SECONDS   first second captured, 0 to 260 (default 0)\n"
    "  --to SECONDS     last second captured, up to 999 (default 260)\n"
    "  --scale N        captured pixels per grid cell, 1 to 16 (default 1;\n"
    "                   8 looks like a terminal)\n"
    "  -h, --help       show this help\n"
    "  --version        show the version\n"
    "\n"
    "Scenes, from second: 0 fade in, 7 four pictures, 37 swaying picture,\n"
    "63 blue ripples, 96 plasma and spiked cubes, 154 star field, 210 closing\n"
    "text, 260 white until you quit.\n";

namespace {

enum class Kind { flag, text, number, wholeNumber };

struct OptionSpec {
    const char* name;
    Kind kind;
    bool captureOnly;
};

const OptionSpec optionSpecs[] = {
    {"--start", Kind::number, false},  {"--no-audio", Kind::flag, false}, {"--data", Kind::text, false},
    {"--force", Kind::flag, false},    {"--capture", Kind::text, false},  {"--fps", Kind::number, true},
    {"--from", Kind::number, true},    {"--to", Kind::number, true},      {"--scale", Kind::wholeNumber, true},
};

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

// Stores one option's value; returns the error or "".
std::string store(const OptionSpec& spec, const std::string& value, DemoOptions& options) {
    const std::string name = spec.name;
    if (spec.kind == Kind::text) {
        if (value.empty()) return name + ": needs a folder";
        (name == "--data" ? options.dataFolder : options.captureFolder) = value;
        return "";
    }
    double number = 0;
    if (!readNumber(value, number)) return name + ": '" + value + "' is not a number";
    if (name == "--start") options.start = number;
    if (name == "--fps") options.framesPerSecond = number;
    if (name == "--from") options.from = number;
    if (name == "--to") options.to = number;
    if (name == "--scale") {
        if (number != std::floor(number) || number < 1 || number > maxScale)
            return "--scale: must be a whole number from 1 to " + std::to_string(maxScale);
        options.scale = static_cast<int>(number);
    }
    return "";
}

// The ranges, once every option is read.
std::string checkRanges(const DemoOptions& options) {
    if (!(options.start >= 0 && options.start <= showSeconds))
        return "--start: must be from 0 to " + seconds(showSeconds) + " seconds, the length of the show";
    if (!(options.framesPerSecond >= minFramesPerSecond && options.framesPerSecond <= maxFramesPerSecond))
        return "--fps: must be from " + seconds(minFramesPerSecond) + " to " + seconds(maxFramesPerSecond) +
               " frames per second";
    if (!(options.from >= 0 && options.from <= showSeconds))
        return "--from: must be from 0 to " + seconds(showSeconds) + " seconds, the length of the show";
    if (!(options.to <= maxCaptureSeconds)) return "--to: must be at most " + seconds(maxCaptureSeconds) + " seconds";
    if (!(options.to >= options.from)) return "--to: must not be before --from (" + seconds(options.from) + ")";
    return "";
}

const OptionSpec* findSpec(const std::string& name) {
    for (const OptionSpec& spec : optionSpecs)
        if (name == spec.name) return &spec;
    return nullptr;
}

}  // namespace

ReadOptions readOptions(int argc, const char* const* argv) {
    ReadOptions result;
    DemoOptions& options = result.options;
    const OptionSpec* captureOnlyGiven = nullptr;
    bool startGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            result.message = helpText;
            return result;
        }
        if (argument == "--version") {
            result.message = "zorbel " ZORBEL_VERSION "\n";
            return result;
        }
        std::string value;
        bool valueAttached = false;
        const size_t equals = argument.find('=');
        if (argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = argument.substr(equals + 1);
            argument.resize(equals);
            valueAttached = true;
        }
        const OptionSpec* spec = findSpec(argument);
        if (spec == nullptr) {
            result.error = argument.rfind("-", 0) == 0 ? "unknown option " + argument + " (see zorbel --help)"
                                                        : "unexpected argument '" + argument + "' (see zorbel --help)";
            return result;
        }
        if (spec->kind == Kind::flag) {
            if (valueAttached) {
                result.error = argument + ": takes no value";
                return result;
            }
            (argument == "--force" ? options.force : options.noAudio) = true;
            continue;
        }
        if (!valueAttached) {
            if (i + 1 >= argc) {
                result.error = argument + ": needs a value";
                return result;
            }
            value = argv[++i];
        }
        result.error = store(*spec, value, options);
        if (!result.error.empty()) return result;
        if (spec->captureOnly) captureOnlyGiven = spec;
        startGiven = startGiven || argument == "--start";
    }
    const bool capturing = !options.captureFolder.empty();
    if (!capturing && captureOnlyGiven != nullptr) {
        result.error = std::string(captureOnlyGiven->name) + ": only with --capture DIR";
    } else if (capturing && startGiven) {
        result.error = "--start: not with --capture; --from chooses where the pictures begin";
    } else {
        result.error = checkRanges(options);
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
    if (problem.empty() && read.options.captureFolder.empty() && !read.options.force && !outputIsTerminal())
        problem = "standard output is not a terminal (use --capture DIR, or --force to play anyway)";
    if (problem.empty() && !read.options.captureFolder.empty())
        problem = prepareCaptureFolder(read.options.captureFolder, read.options.force);
    if (!problem.empty()) {
        std::fprintf(stderr, "zorbel: %s\n", problem.c_str());
        return 2;
    }
    options = read.options;
    return -1;
}
