// The viewer's keys during the show, the prompt's size line, and the held clock that
// pauses the show without changing a frame.
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "driver/viewer_keys.h"
#include "platform/system/clock.h"
#include "platform/input/key_wait.h"

namespace {

TEST(ViewerKeys, OnlyQEscAndSpaceReactAndOtherKeysSequencesAreSkippedWhole) {
    const struct { std::string typed; bool quit; bool togglePause; } cases[] = {
        {"q", true, false},   {"\x1b", true, false},  {"\x1b\x1b", true, false}, {"\x1b[A q", true, true},
        {" ", false, true},   {"   ", false, true},
        {"  ", false, false},  // paused and resumed within one frame
        {"xQ\r\n\t", false, false},
        {"\x1b[A\x1b[B", false, false},    // arrows
        {"\x1b[1;5C", false, false},       // Ctrl-right: parameters before the final byte
        {"\x1bOP\x1b[15~", false, false},  // F1 and F5
        {"\x1bq", false, false},           // Alt-q
        {"\x1b[", false, false},           // a cut-off sequence is not an Esc
    };
    for (const auto& [typed, quit, togglePause] : cases) {
        const ViewerKeys keys = scanViewerKeys(typed.data(), typed.size());
        EXPECT_EQ(std::make_pair(keys.quit, keys.togglePause), std::make_pair(quit, togglePause))
            << testing::PrintToString(typed);
    }
}

TEST(WindowSizeNote, SaysTheNeededAndTheCurrentSizeOnlyWhenTooSmall) {
    const struct { int rows, columns; const char* note; } cases[] = {
        {24, 80, "This window is 80 x 24; the show needs 80 x 50."},
        {50, 79, "This window is 79 x 50; the show needs 80 x 50."},
        {50, 80, ""}, {61, 200, ""},
    };
    for (const auto& [rows, columns, note] : cases) EXPECT_EQ(windowSizeNote(rows, columns), note) << rows << " x " << columns;
}

TEST(HeldClock, StandsStillWhileHeldAndGoesOnWithoutAJump) {
    holdClock();
    const uint32_t held = tickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    holdClock();  // a second hold changes nothing
    EXPECT_EQ(tickCount(), held);
    releaseClock();
    const uint32_t after = tickCount();
    EXPECT_LT(after - held, 60u) << "the held time is not skipped over";
    releaseClock();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_GE(tickCount() - after, 25u) << "the clock runs again";
}

}  // namespace
