#include "driver/viewer_keys.h"

ViewerKeys scanViewerKeys(const char* keys, size_t count) {
    ViewerKeys result;
    for (size_t i = 0; i < count; ++i) {
        if (keys[i] == '\x1b' || keys[i] == 'q') result.quit = true;
        if (keys[i] == ' ') result.togglePause = !result.togglePause;
    }
    return result;
}
