// The keys the viewer may press during the show: q or Esc quits, space pauses and
// resumes. Nothing else reacts, and none of them changes what a frame shows.
//
// The frame loop hands over what was typed since the last frame (platform/input/viewer_input.h).
#pragma once

#include <cstddef>

struct ViewerKeys {
    bool quit = false;
    bool togglePause = false;  // an odd number of spaces
};

// What a run of typed bytes asks for. Escape sequences of other keys (arrows, function
// keys, Alt with a key) are skipped whole; only an Esc on its own quits.
ViewerKeys scanViewerKeys(const char* bytes, size_t count);
