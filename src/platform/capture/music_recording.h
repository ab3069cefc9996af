// The WAV recording of the rendered music (48 kHz, 16-bit stereo, via libsndfile).
//
// Capture opens a recording; from then on the music engine appends every frame it
// renders, on the thread that renders (which is the main thread in capture, never the
// sound device's callback). It does not decide what is rendered or when.
#pragma once

#include <cstddef>
#include <string>

// Starts the WAV file of `sampleRate` stereo frames a second, as a new file under a
// temporary name (files.h); on failure gives a short reason.
bool openMusicRecording(const char* wavPath, int sampleRate, std::string& reason);
bool musicRecording();
// Appends `frames` interleaved stereo float frames; values beyond ±1 are clipped.
void writeMusicRecording(const float* frames, std::size_t count);
// Finishes the file, still under its temporary name; safe when none is open. False, with
// a reason, when any write since the open or the close itself failed (a full disk, a file
// size limit): the file is then incomplete and already removed.
bool closeMusicRecording(std::string& reason);
// A recording still open is closed and its file removed; a finished one is left.
void abandonMusicRecording();
// Gives a finished recording its final name; false with a reason (the file then removed).
bool keepMusicRecording(std::string& reason);
// Removes the recording's file, open or finished; safe when there is none.
void dropMusicRecording();

// Also hands every rendered block to `listener` (the video writer), with or without a WAV
// file; nullptr stops. While a listener is set the music counts as recording.
using MusicListener = void (*)(const float* frames, std::size_t count);
void setMusicListener(MusicListener listener);
