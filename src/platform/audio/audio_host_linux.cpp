#include "platform/audio/audio_host.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

namespace {

void silentAlsaError(const char*, int, const char*, int, const char*, ...) {}
void silentJackMessage(const char*) {}

}  // namespace

void quietSoundLibraries() {
    static bool done = false;
    if (done) return;
    done = true;
    snd_lib_error_set_handler(&silentAlsaError);
    jack_set_error_function(&silentJackMessage);
    jack_set_info_function(&silentJackMessage);
}

std::vector<PaDeviceIndex> outputDeviceCandidates() {
    const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
    if (device == paNoDevice) return {};
    return {device};
}
