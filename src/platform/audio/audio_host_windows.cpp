#include "platform/audio/audio_host.h"

#include <algorithm>

namespace {

void addDefaultOutput(PaHostApiTypeId type, std::vector<PaDeviceIndex>& devices) {
    const PaHostApiIndex api = Pa_HostApiTypeIdToHostApiIndex(type);
    if (api < 0) return;
    const PaHostApiInfo* info = Pa_GetHostApiInfo(api);
    if (info == nullptr || info->defaultOutputDevice == paNoDevice) return;
    if (std::find(devices.begin(), devices.end(), info->defaultOutputDevice) == devices.end()) {
        devices.push_back(info->defaultOutputDevice);
    }
}

}  // namespace

void quietSoundLibraries() {}

std::vector<PaDeviceIndex> outputDeviceCandidates() {
    std::vector<PaDeviceIndex> devices;
    addDefaultOutput(paWASAPI, devices);
    addDefaultOutput(paMME, devices);
    const PaDeviceIndex fallback = Pa_GetDefaultOutputDevice();
    if (fallback != paNoDevice && std::find(devices.begin(), devices.end(), fallback) == devices.end()) {
        devices.push_back(fallback);
    }
    return devices;
}
