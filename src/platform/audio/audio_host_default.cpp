#include "platform/audio/audio_host.h"

void quietSoundLibraries() {}

std::vector<PaDeviceIndex> outputDeviceCandidates() {
    const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
    if (device == paNoDevice) return {};
    return {device};
}
