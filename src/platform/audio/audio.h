// Music playback and the spectrum of what is playing.
//
// The driver picks the mode, checks the module while it loads its data (`loadMusic`),
// starts playback after the key press (`startMusic`) and reads a spectrum once per frame
// (`readSpectrum`), all on the main thread. With no music, or with audio turned off,
// every spectrum read gives zeros. Nothing here prints anything: failures come back as
// a reason for the caller to show.
//
// One engine serves every mode. In live mode the sound device's callback renders the
// music; when no device opens, or the device stops while playing, the main thread
// renders on the program's clock (`tickCount`) instead, 48 frames per millisecond, just
// before each spectrum read. Rendered mode always does the latter and never opens a
// device, so a capture on the virtual clock hears and sees the same samples every run.
#pragma once

#include <cstddef>
#include <string>

enum class MusicMode {
    off,       // no music: nothing is opened, every spectrum read gives zeros
    live,      // the sound device; the frame loop's clock when there is none
    rendered,  // no device: decoded on the program's clock (capture)
};

// Stops any playback; call before loadMusic. The default is live.
void setMusicMode(MusicMode mode);

// Opens and checks the module (and, in live mode, the sound device). On failure says
// why and the demo goes on silently. In off mode it opens nothing and returns true.
bool loadMusic(const char* path, std::string& reason);

// After a loadMusic in live mode with a module: why no sound device could be opened
// (the music then plays silently on the clock); "" when one is open or none was wanted.
const std::string& soundDeviceProblem();

// Starts looping playback from the beginning (or from the position given to seekMusic
// before it), at the program's clock now.
void startMusic();

// The viewer's pause: the sound device stops where it is and goes on from there. Music
// driven by the clock needs nothing, since the held clock holds it too.
void pauseMusic();
void resumeMusic();

// Moves the music to `seconds` of playing time (past the end it wraps into the loop).
// Before startMusic it sets where playback will start; while playing, the move happens
// before the next rendered block, without blocking the device's callback.
void seekMusic(double seconds);

// Clock-driven modes: renders the music up to the program's clock now. readSpectrum does
// this itself; a capture calls it to finish the sound of its last frame.
void advanceMusic();

// Writes `count` (512) spectrum magnitudes of the 1024 most recent output samples of the
// right channel. A full-scale sine centred on a bin reads 1.0 there.
void readSpectrum(float* values, int count);

// Stops playback, finishes any recording and releases the device; safe at any time,
// more than once.
void stopMusic();

// Rendered mode: from now on every rendered frame is also written to a new file that will
// become `wavPath` (48 kHz, 16-bit stereo). Fails with a reason in the other modes, without music, or when the
// file cannot be created.
bool startMusicRecording(const char* wavPath, std::string& reason);
// Finishes the recording and stops any listener; false, with a reason, when the file could
// not be written whole. The file keeps its temporary name until the caller keeps it
// (music_recording.h).
bool stopMusicRecording(std::string& reason);

// Rendered mode: from now on every rendered block of interleaved stereo frames is also
// handed to `listener`, on the rendering thread. Fails like startMusicRecording.
bool listenToMusic(void (*listener)(const float* frames, std::size_t count), std::string& reason);
