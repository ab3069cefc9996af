// Fuzzing the module loader and terminal encoder (pictures and font are plain colours): sanitized build, fixed seed.
#include <cstdlib>
#include <memory>
#include <random>

#include <gtest/gtest.h>

#include "harness.h"
#include "platform/audio/music_engine.h"
#include "platform/terminal/terminal_diff.h"
#include "xm_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Runs `round` until the time budget is spent; records how many rounds ran.
template <typename Round>
void forBudget(Round round) {
    const char* setting = std::getenv("ZORBEL_FUZZ_SECONDS");
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(setting ? std::atof(setting) : 3.0);
    int rounds = 0;
    for (; rounds == 0 || std::chrono::steady_clock::now() < end; ++rounds) round();
    ::testing::Test::RecordProperty("rounds", rounds);
}

// A few random edits: bytes flipped, set to edge values or random, the end cut or extended, a block repeated.
Bytes mutate(Bytes bytes, std::mt19937& random) {
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int edit = 0; edit < edits; ++edit) {
        const size_t at = bytes.empty() ? 0 : random() % bytes.size();
        switch (random() % 6) {
            case 0: if (!bytes.empty()) bytes[at] ^= static_cast<uint8_t>(1u << (random() % 8)); break;
            case 1: if (!bytes.empty()) bytes[at] = (random() % 2) ? 0xFF : 0x00; break;
            case 2: if (!bytes.empty()) bytes[at] = static_cast<uint8_t>(random()); break;
            case 3: bytes.resize(at); break;
            case 4: for (int i = random() % 64; i > 0; --i) bytes.push_back(static_cast<uint8_t>(random())); break;
            case 5: {
                const size_t length = std::min<size_t>(bytes.size() - at, random() % 256);
                const Bytes block(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + length));
                bytes.insert(bytes.begin() + static_cast<long>(at), block.begin(), block.end());
                break;
            }
        }
    }
    return bytes;
}

TEST(Fuzz, ModuleLoaderAndDecoder) {
    const std::string shipped = harness::readText(ZORBEL_SOURCE_DIR "/Data/QUABTUNE.xm");
    const std::vector<Bytes> seeds = {xm_fixture::makeModule(), xm_fixture::makeModule(0, true),
                                      Bytes(shipped.begin(), shipped.end())};
    const std::string path = harness::freshFolder("fuzz") / "module.xm";
    std::mt19937 random(13);
    static float block[2 * 1024];
    long loaded = 0;
    forBudget([&] {
        harness::writeFile(path, mutate(seeds[random() % seeds.size()], random));
        std::string reason;
        if (!loadModuleFile(path.c_str(), reason)) return;
        ++loaded;
        restartModule(static_cast<double>(random() % 200));
        for (int i = 0; i < 4; ++i) renderMusic(block, 1024);
    });
    unloadModule();
    EXPECT_GT(loaded, 0) << "no mutant loaded: the harness tests nothing";
}

TEST(Fuzz, TerminalEncoderStaysWithinItsBound) {
    std::mt19937 random(13);
    const auto out = std::make_unique<char[]>(maxUpdateBytes);  // exactly the promised room
    static CellBuffer cells;
    TerminalScreen screen;
    resetScreen(screen, 50, 80);
    forBudget([&] {
        const auto action = random() % 8;
        if (action == 0) resizeScreen(screen, 1 + static_cast<int>(random() % 200), 1 + static_cast<int>(random() % 300));
        if (action == 1) forgetScreen(screen);
        // Mostly small changes to the last frame, sometimes a frame of noise.
        const int changes = random() % 4 == 0 ? consoleRows * consoleColumns : static_cast<int>(random() % 200);
        for (int i = 0; i < changes; ++i) {
            CharInfo& cell = cells[random() % (consoleRows * consoleColumns)];
            cell.character = random() % 4 == 0 ? static_cast<uint16_t>(random()) : halfBlockCharacter;
            cell.attribute = static_cast<uint16_t>(random() % 3 == 0 ? random() : random() % 256);
        }
        const UpdateOptions options{random() % 2 ? ColorMode::truecolor : ColorMode::ansi16, random() % 2 == 0};
        ASSERT_LE(encodeUpdate(cells, options, screen, out.get()), maxUpdateBytes);
    });
}

}  // namespace
