// WAV writing with libsndfile, into a file of the files layer.
#include "platform/capture/music_recording.h"

#include <sndfile.h>

#include "platform/system/files.h"

namespace {
SNDFILE* recordingFile = nullptr;
NewFile wav;             // open from the open until it is kept or dropped
std::string writeError;  // the first failure since the open; empty while all is well
MusicListener listener = nullptr;

// libsndfile writes through these, so every failed write is seen here, the header's at the
// close included (libsndfile's own close does not report that one).
sf_count_t fileLength(void*) { return newFileSize(wav); }
sf_count_t seekFile(sf_count_t offset, int whence, void*) { return seekNewFile(wav, offset, whence); }
sf_count_t readNothing(void*, sf_count_t, void*) { return 0; }
sf_count_t tellFile(void*) { return seekNewFile(wav, 0, SEEK_CUR); }
sf_count_t writeFile(const void* bytes, sf_count_t count, void*) {
    std::string reason;
    if (writeNewFile(wav, bytes, static_cast<size_t>(count), reason)) return count;
    if (writeError.empty()) writeError = reason;
    return 0;
}
SF_VIRTUAL_IO fileIo{fileLength, seekFile, readNothing, writeFile, tellFile};
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
    recordingFile = sf_open_virtual(&fileIo, SFM_WRITE, &info, nullptr);  // the files layer closes the file
    if (!recordingFile) {
        reason = writeError.empty() ? sf_strerror(nullptr) : writeError;
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
    if ((written != static_cast<sf_count_t>(count) || sf_error(recordingFile) != SF_ERR_NO_ERROR) && writeError.empty()) {
        const char* why = sf_strerror(recordingFile);
        writeError = why != nullptr && *why != '\0' ? why : "write failed";
    }
}

void setMusicListener(MusicListener newListener) { listener = newListener; }

bool closeMusicRecording(std::string& reason) {
    if (!recordingFile) return true;
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
