// The show in a web page: what the page's script calls, through the web build's exports.
//
// The page has its own event loop, so there is no key prompt or frame loop here: the page
// shows the prompt, calls `zorbel_load` once its files are in place, `zorbel_begin` on the
// viewer's key or click, and `zorbel_frame` from every animation frame, then draws
// `zorbel_picture` in `zorbel_palette`'s colours. `?at=T` asks for `zorbel_still` instead.
// The music plays through the sound device of the web build (audio_device_web.cpp).
// Plain C names, since the page looks them up by name.
#pragma once

#include <cstdint>

extern "C" {

// Reads the data and the music for the live show while the prompt shows; 0 when data is
// missing (the reason is on standard error, which the page logs). The sound device opens
// when the show begins, since the page makes it on the viewer's key.
int zorbel_load();

// The viewer's key or click: starts the music and the clock, and shows the first frame.
void zorbel_begin();

// One animation frame of the live show: computes a frame when a frame period has passed
// since the last one began (60 a second at most, as in the terminal; a late page skips the
// frames it missed). 1 when a new picture is ready, 0 while paused or too early.
int zorbel_frame();

// Space: holds the show's clock and the music where they are, or lets them go on.
void zorbel_toggle_pause();
int zorbel_paused();

// The frame the show draws at `seconds` on a virtual clock at 60 frames a second, every
// frame before it computed and the music decoded (not played) as in a capture, so it is
// the captured picture of that moment. 0 when data is missing.
int zorbel_still(double seconds);

// The same virtual clock one frame at a time, for tests: `zorbel_virtual_start` loads and
// starts (music decoded when `withMusic`), `zorbel_virtual_frame` computes frame `frame`
// at `framesPerSecond` (frames in increasing order). 0 when data is missing.
int zorbel_virtual_start(int withMusic);
void zorbel_virtual_frame(long frame, double framesPerSecond);

// The last frame: 80 x 100 palette indices row by row from the top, and the 16 colours
// as red, green, blue bytes.
const uint8_t* zorbel_picture();
const uint8_t* zorbel_palette();
// The FNV-1a checksum, in hex, of the picture's size (two 32-bit numbers) and its RGB
// bytes, as the tests sum a captured picture at scale 1.
const char* zorbel_picture_checksum();
double zorbel_demo_time();
double zorbel_bass_level();

// The page's own words: the terminal's prompt line and the window's title.
const char* zorbel_prompt_line();
const char* zorbel_title();
}
