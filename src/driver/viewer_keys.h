// The keys the viewer may press during the show: q or Esc quits, space pauses and
// resumes. Nothing else reacts, and none of them changes what a frame shows.
//
// The frame loop hands over the keys typed since the last frame, one byte a key, as the
// platform's input decodes them (platform/input/viewer_input.h): Esc is the Esc key itself,
// keys that send sequences and pastes are already set apart.
#pragma once

#include <cstddef>

struct ViewerKeys {
    bool quit = false;
    bool togglePause = false;  // an odd number of spaces
};

// What a run of keys asks for.
ViewerKeys scanViewerKeys(const char* keys, size_t count);
