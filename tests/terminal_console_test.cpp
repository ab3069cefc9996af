// The terminal backend as the frame loop uses it: synchronized updates unless turned off, nothing
// sent for an unchanged frame, the terminal given back on Ctrl-Z and taken again with a repaint.
#include <csignal>
#include <cstdlib>
#include <string>
#include <tuple>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "harness.h"
#include "platform/terminal/console.h"
#include "platform/terminal/terminal_io.h"

namespace {

using harness::restoreAll;
using harness::takeOver;

const std::string halfBlock = "\xe2\x96\x84";
const std::string beginSync = "\x1b[?2026h", endSync = "\x1b[?2026l";
const std::string resumeAll = takeOver + "\x1b[?7l\x1b[?25l";  // and no autowrap, no cursor

int countOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

struct ChildOutput {
    std::string beforeStop, afterContinue;
    int status = -1;
};

// A child that writes a frame twice, stops itself, then writes it twice more; "|" ends each write.
// Every cell is a half block with different colours above and below, so each needs its glyph.
ChildOutput runChild(const char* syncSetting) {
    static const char* sync;
    sync = syncSetting;
    ChildOutput result;
    int reader = -1;
    const pid_t child = harness::forkPiped(
        [] {
            setpgid(0, 0);  // a stop signal to an orphaned group would be discarded
            alarm(10);      // never outlive the test
            if (sync) setenv("ZORBEL_SYNC", sync, 1);
            else unsetenv("ZORBEL_SYNC");
            static CellBuffer cells;
            for (int i = 0; i < consoleRows * consoleColumns; ++i)
                cells[i] = CharInfo{halfBlockCharacter, static_cast<uint16_t>((i % 7 + 1) << 4 | (i % 5 + 8))};
            for (int write = 0; write < 4; ++write) {
                if (write == 2) raise(SIGTSTP);
                terminalConsole()->writeCells(cells);
                writeToTerminal("|", 1);
            }
        },
        false, reader);
    if (harness::waitFor(child, result.status, WUNTRACED) && WIFSTOPPED(result.status)) {
        harness::readUntilClosed(reader, harness::deadlineIn(0.2), result.beforeStop);  // all the stopped child wrote
        kill(child, SIGCONT);
    }
    harness::readUntilClosed(reader, harness::deadlineIn(10), result.afterContinue);
    harness::waitFor(child, result.status);
    close(reader);
    return result;
}

// A write's bytes in brief: whether it starts with `start`, its glyphs and its sync brackets.
std::tuple<bool, int, int, int> summary(const std::string& write, const std::string& start) {
    return {write.rfind(start, 0) == 0, countOf(write, halfBlock), countOf(write, beginSync), countOf(write, endSync)};
}

TEST(TerminalConsole, SynchronizedByDefaultSilentWhenUnchangedAndRepaintsAfterCtrlZ) {
    const struct { const char* sync; int brackets; } cases[] = {{nullptr, 1}, {"1", 1}, {"0", 0}};
    for (const auto& c : cases) {
        const ChildOutput out = runChild(c.sync);
        const std::string name = c.sync ? c.sync : "unset";
        ASSERT_EQ(harness::statusOf(out.status), 0) << name;
        // Before the stop a full frame, nothing for it again, the terminal given back; after
        // continuing (the shell has drawn over the screen) the terminal taken and the frame sent whole.
        const size_t firstEnd = out.beforeStop.find('|'), thirdEnd = out.afterContinue.find('|');
        ASSERT_NE(firstEnd, std::string::npos) << name;
        const auto whole = std::make_tuple(true, consoleRows * consoleColumns, c.brackets, c.brackets);
        EXPECT_EQ(summary(out.beforeStop.substr(0, firstEnd), takeOver), whole) << name;
        EXPECT_EQ(out.beforeStop.substr(firstEnd), "||" + restoreAll) << name << ": not silent, or not given back";
        EXPECT_EQ(summary(out.afterContinue.substr(0, thirdEnd), resumeAll), whole) << name;
        EXPECT_EQ(out.afterContinue.substr(thirdEnd), "||") << name << ": the frame after the repaint was sent again";
    }
}

}  // namespace
