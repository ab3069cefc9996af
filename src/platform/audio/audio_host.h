// What each operating system's sound systems need around PortAudio.
//
// The sound device (audio_device.cpp) quiets the libraries before PortAudio starts and
// then tries the candidate output devices in order until one opens. Linux: ALSA's and
// JACK's probing errors silenced, PortAudio's default device. Windows: the default device
// of WASAPI, then of MME (which resamples what WASAPI's shared mode may refuse). Elsewhere:
// PortAudio's default device. It opens nothing itself.
#pragma once

#include <portaudio.h>

#include <vector>

void quietSoundLibraries();

// Output devices to try, best first; empty when there is none. Needs PortAudio initialised.
std::vector<PaDeviceIndex> outputDeviceCandidates();
