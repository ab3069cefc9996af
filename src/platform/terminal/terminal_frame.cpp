#include "platform/terminal/terminal_frame.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "platform/system/real_clock.h"
#include "platform/terminal/terminal_answers.h"

#include "platform/terminal/terminal_diff.h"
#include "platform/terminal/terminal_io.h"
#include "platform/terminal/terminal_sequences.h"

namespace {

char frameBytes[maxUpdateBytes + sizeof seq::askDeviceAttributes];
TerminalScreen screen;
bool screenStarted = false;  // the size is read at the first frame and after each resize

// Pacing: each frame ends with a question whose answer says the viewer has it; while a
// frame is unanswered, the frames after it are dropped, so no more than one is ever on its
// way (a slow link would otherwise queue seconds of frames in its buffers, and the viewer
// would fall behind the music and the keys). Where answers come back within a frame
// period, as locally, every frame is sent; a link with a long round trip gets fewer
// frames, each of them current.
// An answer that never comes (a terminal that stopped answering) stops pacing from
// holding the picture for longer than answerTimeoutMs.
constexpr int maxFramesInFlight = 1;
constexpr uint64_t answerTimeoutMs = 3000;
bool pacing = false;
uint64_t answersSeen = 0;
int framesInFlight = 0;
uint64_t waitingSince = 0;

// True when the frame may be sent now.
bool viewerIsReady() {
    const uint64_t now = realMilliseconds();
    const uint64_t answers = terminalAnswers.deviceAttributes;
    if (answers != answersSeen) {
        framesInFlight = std::max<int>(0, framesInFlight - static_cast<int>(answers - answersSeen));
        answersSeen = answers;
        waitingSince = now;
    }
    if (framesInFlight < maxFramesInFlight) return true;
    if (now - waitingSince < answerTimeoutMs) return false;
    framesInFlight = 0;  // the answers were lost
    return true;
}

}  // namespace

void paceFramesByAnswers() {
    pacing = true;
    answersSeen = terminalAnswers.deviceAttributes;
    framesInFlight = 0;
}

void forgetShownFrame() { forgetScreen(screen); }

void clearTerminalScreen() {
    forgetScreen(screen);
    for (const char* part : {seq::resetColors, seq::clearScreen, seq::cursorHome})
        writeToTerminal(part, std::strlen(part));
}

void sendFrame(const CellBuffer& cells, WindowSizeReader readWindowSize) {
    static const UpdateOptions options = updateOptionsFromEnvironment();
    // A dropped frame leaves the model as the viewer has it, so the next frame sent is a
    // complete update from there.
    if (pacing && !viewerIsReady()) return;
    // The flag is taken before the size is read, so a resize during the read is not lost.
    const bool resized = takeResizeNotice();
    if (resized || !screenStarted) {
        int rows = 0, columns = 0;
        readWindowSize(rows, columns);
        if (screenStarted) resizeScreen(screen, rows, columns);
        else resetScreen(screen, rows, columns);
        screenStarted = true;
    }
    size_t count = encodeUpdate(cells, options, screen, frameBytes);
    if (count == 0) return;
    if (pacing) {
        std::memcpy(frameBytes + count, seq::askDeviceAttributes, sizeof seq::askDeviceAttributes - 1);
        count += sizeof seq::askDeviceAttributes - 1;
        if (framesInFlight++ == 0) waitingSince = realMilliseconds();
    }
    writeToTerminal(frameBytes, count);
}
