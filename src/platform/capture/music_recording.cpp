// WAV writing with libsndfile, into a file of the files layer.
#include "platform/capture/music_recording.h"

#include <sndfile.h>

#include "platform/system/files.h"

namespace {
SNDFILE* recordingFile = nullptr;
NewFile wav;             // open from the open until it is kept or dropped
std::string writeError;  // the first failure since the open; empty while all is well
MusicListener listener = nullptr;
}

bool openMusicRecording(const char* wavPath, int sampleRate, std::string& reason) {
    abandonMusicRecording();
    dropMusicRecording();
    writeError.clear();
    if (!createNewFile(wavPath, wav, reason)) return false;
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    recordingFile = sf_open_fd(wav.descriptor, SFM_WRITE, &info, SF_FALSE);  // the files layer closes it
    if (!recordingFile) {
        reason = sf_strerror(nullptr);
        dropNewFile(wav);
        return false;
    }
    // Without clipping, libsndfile wraps samples beyond ±1 around to the other sign.
    sf_command(recordingFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // Keep the header's sizes current, so an interrupted capture still leaves a valid file.
    sf_command(recordingFile, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
    return true;
}

bool musicRecording() { return recordingFile != nullptr || listener != nullptr; }

void writeMusicRecording(const float* frames, std::size_t count) {
    if (listener) listener(frames, count);
    if (!recordingFile || !writeError.empty()) return;
    const sf_count_t written = sf_writef_float(recordingFile, frames, static_cast<sf_count_t>(count));
    // The header rewritten after each block fails without shortening the count: ask for the error too.
    if (written != static_cast<sf_count_t>(count) || sf_error(recordingFile) != SF_ERR_NO_ERROR) {
        const char* why = sf_strerror(recordingFile);
        writeError = why != nullptr && *why != '\0' ? why : "write failed";
    }
}

void setMusicListener(MusicListener newListener) { listener = newListener; }

bool closeMusicRecording(std::string& reason) {
    if (!recordingFile) return true;
    sf_command(recordingFile, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    if (writeError.empty() && sf_error(recordingFile) != SF_ERR_NO_ERROR) writeError = sf_strerror(recordingFile);
    const int closeError = sf_close(recordingFile);
    recordingFile = nullptr;
    if (writeError.empty() && closeError != 0) writeError = sf_error_number(closeError);
    reason = writeError;
    writeError.clear();
    if (!reason.empty()) dropNewFile(wav);
    return reason.empty();
}

void abandonMusicRecording() {
    if (!recordingFile) return;
    sf_close(recordingFile);
    recordingFile = nullptr;
    writeError.clear();
    dropNewFile(wav);
}

bool keepMusicRecording(std::string& reason) {
    if (wav.descriptor < 0) {
        reason = "not recorded";
        return false;
    }
    return keepNewFile(wav, reason);
}

void dropMusicRecording() {
    abandonMusicRecording();
    dropNewFile(wav);
}
