// The music decoder: the loaded module, the rendering of it, and the two clocks that
// can drive that rendering.
//
// `renderMusic` is the one place where audio is produced. It is called by exactly one
// thread at a time: the sound device's callback while the device plays, otherwise the
// main thread through `renderUpToTick`, which renders exactly 48 frames per elapsed
// millisecond of the program's clock. Everything rendered goes to the output ring
// (right channel) for the spectrum, and to the WAV recording when one is open.
// This module opens no device and computes no spectrum.
#pragma once

#include "platform/audio/sample_ring.h"

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int musicSampleRate = 48000;
constexpr int musicFramesPerMillisecond = musicSampleRate / 1000;

// Right channel of every rendered frame, in order; read by the spectrum.
extern SampleRing outputRing;

// Reads and checks the module file; on failure gives a short reason and keeps nothing.
bool loadModuleFile(const char* path, std::string& reason);
bool moduleLoaded();
void unloadModule();

// Rebuilds the decoder from the loaded bytes, looping for ever, positioned at
// `startSeconds`, and empties the output ring, so that every start renders the same
// samples. Only while nothing renders.
void restartModule(double startSeconds);

// Renders `frames` frames of interleaved stereo float into `out` (zeros when no module
// is loaded). Applies a pending seek first. Allocates nothing and never blocks.
void renderMusic(float* out, std::size_t frames);

// Asks the rendering thread to move the music to `seconds` before its next render.
// Lock-free; callable from any thread while another renders.
void requestMusicSeek(double seconds);

// Clock-driven rendering, main thread only. `followClockFrom` sets the tick that
// corresponds to the frames already rendered; `renderUpToTick` renders the frames of
// the milliseconds since then. Ticks going backwards render nothing; a gap of more
// than a second (a suspended process) is skipped by seeking, unless recording.
void followClockFrom(uint64_t tick);
void renderUpToTick(uint64_t tick);
