#include "driver/viewer_keys.h"

namespace {

constexpr char escape = '\x1b';

// The index after the escape sequence that starts at `start` (an Esc with more behind it).
size_t skipEscapeSequence(const char* bytes, size_t count, size_t start) {
    size_t i = start + 1;
    const char introducer = bytes[i++];
    if (introducer == '[') {
        // Parameters and intermediates up to the final byte, 0x40 to 0x7E.
        while (i < count && !(bytes[i] >= 0x40 && bytes[i] <= 0x7E)) ++i;
        return i < count ? i + 1 : count;
    }
    if (introducer == 'O' && i < count) return i + 1;  // SS3: one more byte
    return i;  // Alt with a key: the key belongs to the sequence
}

}  // namespace

ViewerKeys scanViewerKeys(const char* bytes, size_t count) {
    ViewerKeys keys;
    for (size_t i = 0; i < count;) {
        if (bytes[i] == escape && i + 1 < count && bytes[i + 1] != escape) {
            i = skipEscapeSequence(bytes, count, i);
            continue;
        }
        if (bytes[i] == escape || bytes[i] == 'q') keys.quit = true;
        if (bytes[i] == ' ') keys.togglePause = !keys.togglePause;
        ++i;
    }
    return keys;
}
