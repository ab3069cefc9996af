// Every escape sequence the terminal backend sends, named once.
#pragma once

namespace seq {
inline constexpr char enterAlternateScreen[] = "\x1b[?1049h";
inline constexpr char leaveAlternateScreen[] = "\x1b[?1049l";
inline constexpr char hideCursor[] = "\x1b[?25l";
inline constexpr char showCursor[] = "\x1b[?25h";
inline constexpr char autowrapOff[] = "\x1b[?7l";
inline constexpr char autowrapOn[] = "\x1b[?7h";
inline constexpr char resetColors[] = "\x1b[0m";
inline constexpr char clearScreen[] = "\x1b[2J";
inline constexpr char cursorHome[] = "\x1b[H";
inline constexpr char clearLine[] = "\x1b[2K";
inline constexpr char beginSynchronizedUpdate[] = "\x1b[?2026h";
inline constexpr char endSynchronizedUpdate[] = "\x1b[?2026l";
inline constexpr char titlePrefix[] = "\x1b]0;";  // then the title, then titleEnd
inline constexpr char titleEnd[] = "\x07";
inline constexpr char cursorToFormat[] = "\x1b[%d;%dH";  // row, column, from 1
inline constexpr char cursorToRowFormat[] = "\x1b[%dH";  // row from 1, column 1
inline constexpr char cursorForward[] = "\x1b[C";  // one column right
inline constexpr char cursorForwardFormat[] = "\x1b[%dC";  // columns right, stops at the edge
inline constexpr char colorStart[] = "\x1b[";  // then SGR parameters, then colorEnd
inline constexpr char colorEnd[] = "m";
inline constexpr char lowerHalfBlock[] = "\xe2\x96\x84";  // U+2584 in UTF-8
// Saves the window title on the terminal's title stack (CSI 22;0 t; CSI 23;0 t takes it
// back), enters the alternate screen and asks for pastes in brackets (mode 2004), so a
// paste is recognised and dropped whole: the first thing a run sends.
inline constexpr char takeOver[] = "\x1b[22;0t\x1b[?1049h\x1b[?2004h";
// Ends any synchronized update, resets colours, re-enables autowrap, shows the cursor,
// ends bracketed pastes, leaves the alternate screen and puts the saved title back:
// everything a run changed (but the palette, put back just before), in one write.
inline constexpr char restoreAll[] = "\x1b[?2026l\x1b[0m\x1b[?7h\x1b[?25h\x1b[?2004l\x1b[?1049l\x1b[23;0t";
// Takes the terminal again after a suspension: saves the title again, the alternate
// screen, no autowrap, and the hidden cursor the demo always asks for. The console sets
// its title again with the repaint that follows.
inline constexpr char resumeAll[] = "\x1b[22;0t\x1b[?1049h\x1b[?2004h\x1b[?7l\x1b[?25l";
// Asks for the device attributes, which every terminal that answers at all answers, in
// order: sent after each frame, its answer says the viewer has received that frame.
inline constexpr char askDeviceAttributes[] = "\x1b[c";
}  // namespace seq
