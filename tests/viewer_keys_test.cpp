// The viewer's keys: q, Esc and space react, other keys' sequences are skipped whole (the rest: tmux_show_test).
#include <string>

#include <gtest/gtest.h>

#include "driver/viewer_keys.h"

namespace {

TEST(ViewerKeys, OnlyQEscAndSpaceReactAndOtherKeysSequencesAreSkippedWhole) {
    const struct { std::string typed; bool quit; bool togglePause; } cases[] = {
        {"q", true, false},   {"\x1b", true, false},  {"\x1b\x1b", true, false}, {"\x1b[A q", true, true},
        {" ", false, true},   {"   ", false, true},   {"xQ\r\n\t", false, false},
        {"  ", false, false},  // paused and resumed within one frame
        {"\x1b[A\x1b[B", false, false},    // arrows
        {"\x1b[1;5C", false, false},       // Ctrl-right: parameters before the final byte
        {"\x1b[2q", false, false},         // a final byte that is also a key
        {"\x1bOP\x1bOq\x1b[15~", false, false},  // F1, keypad 1 in application mode, F5
        {"\x1bq", false, false},           // Alt-q
        {"\x1b[", false, false},           // a cut-off sequence is not an Esc
    };
    for (const auto& [typed, quit, togglePause] : cases) {
        const ViewerKeys keys = scanViewerKeys(typed.data(), typed.size());
        EXPECT_EQ(std::make_pair(keys.quit, keys.togglePause), std::make_pair(quit, togglePause))
            << testing::PrintToString(typed);
    }
}

}  // namespace
