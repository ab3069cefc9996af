// The sound device: a PortAudio output at 48 kHz, float stereo.
//
// The audio module opens it when music loads in live mode, starts it with the music and
// checks every frame that it still plays. Its callback pulls frames from the music
// engine (`renderMusic`) without allocating or locking. Which devices it tries, and the
// quieting of noisy sound libraries, depend on the operating system (audio_host.h).
// It does not decode anything, and it prints nothing.
#pragma once

#include <cstdint>
#include <string>

// Tests turn the device off so that live mode takes its no-device path on any machine.
void setAudioDeviceAllowed(bool allowed);

// Initialises PortAudio and opens the default output, not yet playing. The libraries run
// on a thread of their own that blocks the terminating signals, and this waits for them at
// most 2 s. An open that has not answered by then (a stopped sound server, or a device
// with a long period, which takes several periods to open) fails for now but goes on; the
// next call waits for it once more and then gives the device up for good.
bool openAudioDevice(std::string& reason);
// Starts the callbacks, or lets a paused stream render again; `tick` is the program's clock
// now (for the stall check). Bounded like the open: a start that hangs gives the device up.
bool startAudioDevice(uint64_t tick);
// Pauses the music but keeps the stream running on silence: some outputs (the ALSA plugin
// for JACK) repeat their last block for as long as a stream is stopped, a loud buzz.
void pauseAudioDevice();
// Stops the callbacks; when it returns no callback runs any more.
void stopAudioDevice();
// Stops, closes the stream and releases PortAudio; safe when nothing is open.
void closeAudioDevice();
// For a device that stopped or stalled: makes sure no callback renders any more (one in
// the middle of a block finishes it first) and then leaves the stream and the library as
// they are, for good. Closing them could block on a stalled sound server or abort on a
// vanished one, and must never hold up the frame loop.
void abandonAudioDevice();

// False once the stream has stopped by itself or its callback has not run for a
// second: the device is gone and playback must fall back to the clock.
bool audioDevicePlaying(uint64_t tick);
