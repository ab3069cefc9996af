// The command line: each bad value or pointless option is one line naming its limit; help; a used folder; no terminal.
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "driver/capture_folder.h"
#include "driver/options.h"
#include "harness.h"

namespace {

using namespace harness;

ReadOptions readLine(const std::string& line) {
    std::istringstream in("zorbel " + line);
    const std::vector<std::string> words{std::istream_iterator<std::string>(in), {}};
    std::vector<const char*> argv;
    for (const std::string& word : words) argv.push_back(word.c_str());
    return readOptions(static_cast<int>(argv.size()), argv.data());
}

TEST(Options, BadValuesAreOneLineNamingTheLimitAndValuesAtTheLimitsAreTakenInEitherSpelling) {
    const struct { const char* arguments; const char* says; } cases[] = {
        {"--bogus", "unknown option --bogus"}, {"stray", "unexpected argument 'stray'"},
        {"--start", "--start: 1 required SECONDS missing"}, {"--start 200000", "--start: must be from 0 to 260 seconds"},
        {"--start 1e-400x", "--start: '1e-400x' is not a number"}, {"--no-audio=yes", "--no-audio: takes no value"},
        {"--capture=", "--capture: 1 required DIR missing"}, {"--capture= --force", "--capture: needs a folder"},
        // Options that do nothing in the chosen mode.
        {"--fps 30", "--fps requires --capture"}, {"--from 10", "--from requires --capture"},
        {"--scale 8", "--scale requires --capture"}, {"--capture out --start 5", "--start: not with --capture"},
        // Values the frame count and the millisecond ticks could not hold.
        {"--capture out --fps 1e-300", "--fps: must be from 1 to 1000"},
        {"--capture out --to 1e308", "--to: must be at most 999 seconds"},
        {"--capture out --to inf", "--to: 'inf' is not a number"},
        {"--capture out --from -0.5", "--from: must be from 0 to 260"},
        {"--capture out --from 10 --to 5", "--to: must not be before --from (10)"},
        {"--capture out --scale 2.5", "--scale: must be a whole number from 1 to 16"},
        {"--capture out --scale 0", "--scale: must be a whole number from 1 to 16"},
        {"--capture out --scale 17", "--scale: must be a whole number from 1 to 16"},
        {"--colors 24bit", "--colors: must be auto, truecolor, palette, 256 or 16"},
        {"--capture out --colors 16", "--colors: not with --capture or --video"},
    };
    for (const auto& [arguments, says] : cases) {
        const std::string error = readLine(arguments).error;
        EXPECT_TRUE(error.find(says) == 0 && error.find('\n') == std::string::npos) << arguments << " gave: " << error;
    }

    const ReadOptions read = readLine("--capture=out --fps 1000 --from 260 --to=999 --scale 16 --data d --force --no-audio");
    const DemoOptions& o = read.options;
    EXPECT_EQ(std::tuple(read.error, o.captureFolder, o.framesPerSecond, o.from, o.to, o.scale, o.dataFolder, o.force, o.noAudio),
              std::tuple("", "out", 1000, 260, 999, 16, "d", true, true));
    for (const char* valid : {"--start 260", "--capture out --fps 1 --to 0"}) EXPECT_EQ(readLine(valid).error, "") << valid;
    EXPECT_EQ(readLine("--start 5 --start 6").options.start, 6);  // the last one counts

    // The colour method: the command line, else ZORBEL_COLORS; a bad variable is named.
    setenv("ZORBEL_COLORS", "256", 1);
    EXPECT_EQ(readLine("").options.colors, ColorChoice::cube256);
    EXPECT_EQ(readLine("--colors palette").options.colors, ColorChoice::palette);
    setenv("ZORBEL_COLORS", "rainbow", 1);
    EXPECT_EQ(readLine("").error, "ZORBEL_COLORS: must be auto, truecolor, palette, 256 or 16");
    EXPECT_EQ(readLine("--colors 16").options.colors, ColorChoice::ansi16);
    EXPECT_EQ(readLine("--capture out").error, "") << "the variable matters only in the terminal";
    unsetenv("ZORBEL_COLORS");
    EXPECT_EQ(readLine("").options.colors, ColorChoice::automatic);
}

TEST(Options, HelpFitsEightyColumnsAndNamesEveryOptionKeyAndScene) {
    for (const char* spelling : {"-h", "--help", "--fps 9999 --help"}) EXPECT_EQ(readLine(spelling).message, helpText);
    for (const char* spelling : {"--version", "--version --capture out --fps 0"})
        EXPECT_EQ(readLine(spelling).message, "zorbel 0.1.0\n");
    std::istringstream lines(helpText);
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
    for (const char* word : {"--start", "--no-audio", "--data", "--force", "--capture", "--fps", "--from", "--to",
                             "--scale", "--version", "space pauses", "q or Esc quits", "154 star field"})
        EXPECT_NE(std::string(helpText).find(word), std::string::npos) << word;
}

// Every option --help lists is explained in the man page and in the README's table of options, so none is
// added to the program without its manual.
TEST(Options, EveryOptionInTheHelpIsInTheManPageAndTheReadmeTable) {
    std::vector<std::string> names;
    std::istringstream help(helpText);
    for (std::string line; std::getline(help, line);) {
        if (line.rfind("  -", 0) != 0) continue;  // an option's line starts with two spaces and a dash
        std::istringstream words(line);
        for (std::string word; words >> word && word[0] == '-';) names.push_back(word.back() == ',' ? word.substr(0, word.size() - 1) : word);
    }
    ASSERT_GE(names.size(), 14u) << helpText;
    const std::string manual = readText(fs::path(ZORBEL_SOURCE_DIR) / "docs/zorbel.1");
    const std::string readme = readText(fs::path(ZORBEL_SOURCE_DIR) / "README.md");
    const size_t section = readme.find("\n## Options\n"), end = readme.find("\n## ", section + 1);
    ASSERT_NE(section, std::string::npos);
    std::string table;  // the section's table rows
    std::istringstream rows(readme.substr(section, end - section));
    for (std::string row; std::getline(rows, row);)
        if (row.rfind("| `-", 0) == 0) table += row + "\n";
    for (const std::string& name : names) {
        std::string roff;  // the man page writes each dash as \-
        for (char c : name) roff += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(manual.find(roff), std::string::npos) << name << " is not in docs/zorbel.1";
        EXPECT_TRUE(table.find("`" + name + " ") != std::string::npos || table.find("`" + name + "`") != std::string::npos)
            << name << " is not in README.md's table of options";
    }
}

TEST(CaptureFolder, OnlyItsOwnFileNamesCountAUsedFolderIsRefusedAndForceRemovesOnlyThose) {
    const struct { const char* name; bool owned; } cases[] = {
        {"frame-000000.png", true}, {"frames.csv", true}, {"audio.wav", true},
        // A killed run's temporary files: the final name, a six-letter tag, ".partial".
        {"frames.csv.k3Zq9a.partial", true}, {"frame-000012.png.000000.partial", true}, {"audio.wav.AAAAAA.partial", true},
        {"frame-1234567.png", false}, {"audio.wav.partial", false}, {"frames.csv.k3Zq9.partial", false},
        {"frames.csv.k3Z-9a.partial", false}, {"notes.txt.k3Zq9a.partial", false}, {"frame-00001.png", false}, {"frame-00000a.png", false}, {"frame-000001.png.bak", false},
        {"my-frame-000001.png", false}, {"notes.txt", false}, {"audio.wav~", false}, {"Frames.csv", false},
    };
    for (const auto& [name, owned] : cases) EXPECT_EQ(isCaptureFileName(name), owned) << name;

    const fs::path folder = makeScratch("used-folder");
    fs::create_directories(folder / "out/sub");
    for (const char* name : {"frame-000007.png", "frames.csv", "audio.wav", "notes.txt", "frame-7.png", "sub/frames.csv"})
        std::ofstream(folder / "out" / name) << "keep";

    Result result = runZorbel(folder, "--capture out --to 0 --no-audio");
    EXPECT_EQ(std::tuple(result.status, result.output, fs::exists(folder / "out/frame-000007.png")),
              std::tuple(2, "zorbel: --capture: out already holds a capture (3 files); add --force to replace it\n", true));

    result = runZorbel(folder, "--capture out --to 0 --no-audio --force");  // the old capture replaced by the new
    EXPECT_EQ(std::tuple(result.status, fs::exists(folder / "out/frame-000007.png"), fs::exists(folder / "out/frame-000000.png")),
              std::tuple(0, false, true)) << result.output;
    for (const char* kept : {"notes.txt", "frame-7.png", "sub/frames.csv"}) EXPECT_TRUE(fs::exists(folder / "out" / kept)) << kept;

    // Only regular files are removed: a folder or a link of a capture file's name stays, and so does its target.
    fs::create_directories(folder / "stuck/frame-000003.png");
    result = runZorbel(folder, "--capture stuck --to 0 --no-audio --force");
    EXPECT_EQ(std::tuple(result.status, result.output, fs::is_directory(folder / "stuck/frame-000003.png")),
              std::tuple(2, "zorbel: --capture: cannot remove stuck/frame-000003.png: not a regular file\n", true));
    fs::create_directories(folder / "linked");
    std::ofstream(folder / "precious") << "keep";
    fs::create_symlink("../precious", folder / "linked/frames.csv");
    result = runZorbel(folder, "--capture linked --to 0 --no-audio --force");
    EXPECT_EQ(std::tuple(result.status, readText(folder / "precious"), fs::is_symlink(folder / "linked/frames.csv")),
              std::tuple(2, "keep", true)) << result.output;
}

Result runIntoFiles(const fs::path& folder, const std::string& command, const std::string& after = "") {
    return runShell("cd " + quoted(folder) + " && (" + command + " >shown.txt 2>err.txt </dev/null " + after + ")");
}

// Output that is no terminal is refused unless forced; warnings go to standard error, the show to standard output.
TEST(TerminalMode, NoTerminalIsRefusedUnlessForcedAndWarningsGoToStandardError) {
    const fs::path folder = makeScratch("not-a-terminal");  // no music in its Data
    EXPECT_EQ(runIntoFiles(folder, harness::quoted(zorbel) + " --help").status, 0);
    const int status = runIntoFiles(folder, harness::quoted(zorbel) + " --no-audio").status;
    EXPECT_EQ(std::tuple(status, readText(folder / "err.txt"), readText(folder / "shown.txt")),
              std::tuple(2, "zorbel: standard output is not a terminal (use --capture DIR, or --force to play anyway)\n", ""));
    // Forced, it plays: the prompt's end of input starts the show, which runs until stopped.
    const Result forced = runIntoFiles(folder, "LANG=C " + harness::quoted(zorbel) + " --force", "& sleep 1; kill $!; wait $!");
    EXPECT_NE(forced.status, 2) << forced.output;
    const std::string shown = readText(folder / "shown.txt"), err = readText(folder / "err.txt");
    EXPECT_NE(shown.find("Maximize Window And Press any key"), std::string::npos);
    // The warnings are on standard error, and on the screen only under the prompt.
    EXPECT_GT(shown.find("zorbel:"), shown.find("Press any key")) << shown;
    for (const char* warning : {"zorbel: the locale is not UTF-8", "zorbel: cannot play"})
        EXPECT_NE(err.find(warning), std::string::npos) << err;
    // The missing-data line too is the show's (the folders tried go to standard error).
    fs::remove(folder / "Data/font.raw");
    runIntoFiles(folder, "LANG=C " + harness::quoted(zorbel) + " --force --data Data");
    EXPECT_EQ(readText(folder / "shown.txt"), "Error Failed To Load Data/font.raw\n");
    // With music to play, the sound libraries look for a device (here a JACK server that is not there):
    // their own complaints must not reach the screen, before the show or during it.
    runIntoFiles(folder, "LANG=C.UTF-8 JACK_DEFAULT_SERVER=zorbel-none " + harness::quoted(zorbel) + " --force --data " +
                             quoted(fs::path(ZORBEL_SOURCE_DIR) / "Data"), "& sleep 1; kill $!; wait $!");
    std::istringstream lines(readText(folder / "err.txt"));
    for (std::string line; std::getline(lines, line);) EXPECT_EQ(line.rfind("zorbel: ", 0), 0u) << line;
}

}  // namespace
