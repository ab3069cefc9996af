// The libopenmpt decoder and clock-driven rendering.
#include "platform/audio/music_engine.h"

#include "platform/capture/music_recording.h"
#include "platform/system/files.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <ostream>
#include <streambuf>
#include <vector>
#include <sys/stat.h>

SampleRing outputRing;

namespace {

// libopenmpt logs its warnings to a stream; these must not reach the terminal.
class DiscardingBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};
DiscardingBuffer discardingBuffer;
std::ostream silentLog(&discardingBuffer);

constexpr long maxModuleBytes = 64L * 1024 * 1024;
constexpr std::size_t chunkFrames = 1024;
constexpr uint64_t maxCatchUpFrames = musicSampleRate;  // one second

std::vector<std::uint8_t> moduleBytes;
std::unique_ptr<openmpt::module> module;
double moduleDuration = 0.0;   // one pass
double loopStartSeconds = 0.0;  // where the loop goes on after each pass

std::atomic<double> pendingSeek{-1.0};  // < 0: none
static_assert(std::atomic<double>::is_always_lock_free, "seek requests must be lock-free");

uint64_t clockTick = 0;  // tick up to which the clock-driven frames are rendered
float chunkBuffer[2 * chunkFrames];

// Maps playing time onto the song: after the first pass, playback repeats the part from
// the loop start (the module's restart position) to the end.
double wrapToSong(double seconds) {
    if (seconds < moduleDuration) return seconds < 0.0 ? 0.0 : seconds;
    double loopLength = moduleDuration - loopStartSeconds;
    if (loopLength <= 0.0) return loopStartSeconds;
    return loopStartSeconds + std::fmod(seconds - moduleDuration, loopLength);
}

// Finds where the song goes on after its end by playing across the end: the order
// reached then, at row 0, is the loop start. Uses up `decoded`'s position.
double findLoopStart(openmpt::module& decoded) {
    decoded.set_position_seconds(std::max(0.0, decoded.get_duration_seconds() - 0.01));
    float frames[2 * 480];
    for (int block = 0; block < 2; ++block) decoded.read_interleaved_stereo(musicSampleRate, 480, frames);
    return decoded.set_position_order_row(decoded.get_current_order(), 0);
}

void applyPendingSeek() {
    double seconds = pendingSeek.exchange(-1.0, std::memory_order_acq_rel);
    if (seconds < 0.0 || !module) return;
    try {
        module->set_position_seconds(wrapToSong(seconds));
    } catch (...) {
        // A failed seek leaves the music where it was.
    }
}

std::unique_ptr<openmpt::module> decodeBytes(std::string& reason) {
    try {
        auto decoded = std::make_unique<openmpt::module>(moduleBytes, silentLog);
        if (decoded->get_num_orders() <= 0 || !(decoded->get_duration_seconds() > 0.0)) {
            reason = "the module has nothing to play";
            return nullptr;
        }
        decoded->set_repeat_count(-1);
        // A seek into a held note plays that note, not silence until the next one.
        decoded->ctl_set_boolean("seek.sync_samples", true);
        return decoded;
    } catch (const std::exception& error) {
        reason = std::string("not a playable module (") + error.what() + ")";
    } catch (...) {
        reason = "not a playable module";
    }
    return nullptr;
}

}  // namespace

bool loadModuleFile(const char* path, std::string& reason) {
    unloadModule();
    // Only a regular file, opened without blocking: a FIFO would hold up the start for ever.
    std::FILE* file = openRegularFile(path, reason);
    if (!file) return false;
    // A file known to be too large is turned down before a byte of it is read.
    struct stat info;
    const bool regular = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
    if (regular && info.st_size > maxModuleBytes) {
        std::fclose(file);
        reason = "the file is too large";
        return false;
    }
    std::vector<std::uint8_t> bytes;
    if (regular) bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t block[65536];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        bytes.insert(bytes.end(), block, block + got);
        if (static_cast<long>(bytes.size()) > maxModuleBytes) break;
    }
    bool readFailed = std::ferror(file) != 0;
    std::fclose(file);
    if (readFailed) {
        reason = "read error";
        return false;
    }
    if (bytes.empty()) {
        reason = "the file is empty";
        return false;
    }
    if (static_cast<long>(bytes.size()) > maxModuleBytes) {
        reason = "the file is too large";
        return false;
    }

    moduleBytes = std::move(bytes);
    module = decodeBytes(reason);
    if (!module) {
        moduleBytes.clear();
        return false;
    }
    moduleDuration = module->get_duration_seconds();
    try {
        loopStartSeconds = findLoopStart(*module);
    } catch (...) {
        loopStartSeconds = 0.0;
    }
    return true;
}

bool moduleLoaded() { return module != nullptr; }

void unloadModule() {
    module.reset();
    moduleBytes.clear();
    moduleDuration = 0.0;
    loopStartSeconds = 0.0;
    pendingSeek.store(-1.0);
}

void restartModule(double startSeconds) {
    pendingSeek.store(-1.0);
    outputRing.reset();
    if (moduleBytes.empty()) return;
    // A fresh decoder, not a seek to 0: the mixer's state would otherwise carry over.
    std::string ignored;
    module = decodeBytes(ignored);
    if (module && startSeconds > 0.0) {
        pendingSeek.store(startSeconds);
        applyPendingSeek();
    }
}

void renderMusic(float* out, std::size_t frames) {
    applyPendingSeek();
    std::size_t done = 0;
    if (module) {
        try {
            while (done < frames) {
                std::size_t got =
                    module->read_interleaved_stereo(musicSampleRate, frames - done, out + 2 * done);
                if (got == 0) break;
                done += got;
            }
        } catch (...) {
            // A decoding error leaves silence for the rest of this block.
        }
    }
    std::fill(out + 2 * done, out + 2 * frames, 0.0f);
    outputRing.push(out + 1, frames, 2);
    if (musicRecording()) writeMusicRecording(out, frames);
}

void requestMusicSeek(double seconds) {
    pendingSeek.store(seconds < 0.0 ? 0.0 : seconds, std::memory_order_release);
}

void followClockFrom(uint64_t tick) { clockTick = tick; }

void renderUpToTick(uint64_t tick) {
    // A clock set back renders nothing; any gap forward, however long, is caught up below.
    if (tick <= clockTick) return;
    const uint64_t elapsed = tick - clockTick;
    clockTick = tick;
    uint64_t frames = elapsed * musicFramesPerMillisecond;

    if (frames > maxCatchUpFrames && !musicRecording() && module) {
        // Rendering minutes of music after a pause would freeze the frame loop; only the
        // last second can reach the spectrum, so jump over the rest.
        applyPendingSeek();
        double skipped = static_cast<double>(frames - maxCatchUpFrames) / musicSampleRate;
        requestMusicSeek(wrapToSong(module->get_position_seconds() + skipped));
        frames = maxCatchUpFrames;
    }
    while (frames > 0) {
        std::size_t chunk = static_cast<std::size_t>(std::min<uint64_t>(frames, chunkFrames));
        renderMusic(chunkBuffer, chunk);
        frames -= chunk;
    }
}
