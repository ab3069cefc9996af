#include "platform/capture/video_encoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include "platform/capture/video_convert.h"
#include "platform/system/files.h"

namespace {

struct Container {
    const char* muxer;
    const char* picture;
    const char* losslessPicture;
    const char* sound;
    const char* losslessSound;
};

// What each extension holds. WebM allows only Opus or Vorbis sound, and FLAC in MP4 is
// still experimental in these libraries, so only Matroska keeps the sound lossless.
bool containerFor(const std::string& path, Container& container) {
    const size_t dot = path.find_last_of('.');
    std::string extension = dot == std::string::npos || path.find('/', dot) != std::string::npos ? "" : path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    if (extension == ".mp4") container = {"mp4", "libx264", "libx264rgb", "aac", "aac"};
    else if (extension == ".mkv") container = {"matroska", "libx264", "libx264rgb", "aac", "flac"};
    else if (extension == ".webm") container = {"webm", "libvpx-vp9", "libvpx-vp9", "libopus", "libopus"};
    else return false;
    return true;
}

std::string errorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

struct Track {
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
};

struct Encoder {
    std::string finalPath;
    NewFile file;           // the muxer writes here through `output->pb`, and nowhere else
    std::string fileError;  // why the last write to it failed
    AVFormatContext* output = nullptr;
    AVPacket* packet = nullptr;
    Track picture, sound;
    int64_t picturesSent = 0;
    int64_t soundSent = 0;  // stereo frames
    std::vector<float> pendingSound;  // interleaved, less than one codec frame
};

Encoder encoder;
bool encoderOpen = false;

// The reason of a failed library call: the file's own error when a write to it failed.
std::string failureText(int code) { return encoder.fileError.empty() ? errorText(code) : encoder.fileError; }

// The muxer's output: the file the files layer created, so no name the user gives is ever
// read as a URL, and no link is followed.
#if LIBAVFORMAT_VERSION_MAJOR >= 61
using PacketBytes = const uint8_t*;
#else
using PacketBytes = uint8_t*;
#endif

int writeToFile(void*, PacketBytes bytes, int count) {
    std::string reason;
    if (writeNewFile(encoder.file, bytes, static_cast<size_t>(count), reason)) return count;
    if (encoder.fileError.empty()) encoder.fileError = reason;
    return AVERROR(EIO);
}

int64_t seekInFile(void*, int64_t offset, int whence) {
    if (whence & AVSEEK_SIZE) return newFileSize(encoder.file);
    const int64_t position = seekNewFile(encoder.file, offset, whence & ~AVSEEK_FORCE);
    return position < 0 ? AVERROR(EIO) : position;
}

bool openOutput(std::string& reason) {
    if (!createNewFile(encoder.finalPath, encoder.file, reason)) return false;
    constexpr int bufferSize = 64 * 1024;
    auto* buffer = static_cast<unsigned char*>(av_malloc(bufferSize));
    if (buffer != nullptr)
        encoder.output->pb = avio_alloc_context(buffer, bufferSize, 1, nullptr, nullptr, writeToFile, seekInFile);
    if (encoder.output->pb == nullptr) {
        av_free(buffer);
        reason = "out of memory";
        return false;
    }
    // The MP4 muxer reopens the file by its name, to read it while it moves the index to
    // the front: only as a plain file.
    av_freep(&encoder.output->url);
    encoder.output->url = av_strdup(("file:" + encoder.file.temporary).c_str());
    av_freep(&encoder.output->protocol_whitelist);
    encoder.output->protocol_whitelist = av_strdup("file");
    return true;
}

// Writes what the muxer still buffers; false when that or any earlier write failed.
bool flushOutput() {
    AVIOContext* pb = encoder.output->pb;
    avio_flush(pb);
    return pb->error >= 0 && encoder.fileError.empty();
}

void freeOutput() {
    if (encoder.output == nullptr || encoder.output->pb == nullptr) return;
    av_freep(&encoder.output->pb->buffer);
    avio_context_free(&encoder.output->pb);
}

// Sends one frame (or nullptr to drain) and writes every packet that comes out.
bool sendFrame(Track& track, AVFrame* frame, std::string& reason) {
    int status = avcodec_send_frame(track.codec, frame);
    while (status >= 0) {
        status = avcodec_receive_packet(track.codec, encoder.packet);
        if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) return true;
        if (status < 0) break;
        av_packet_rescale_ts(encoder.packet, track.codec->time_base, track.stream->time_base);
        encoder.packet->stream_index = track.stream->index;
        status = av_interleaved_write_frame(encoder.output, encoder.packet);
    }
    reason = "cannot write " + encoder.finalPath + ": " + failureText(status);
    return false;
}

bool addTrack(Track& track, const AVCodec* codec, AVDictionary** settings, std::string& reason) {
    if (encoder.output->oformat->flags & AVFMT_GLOBALHEADER) track.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int status = avcodec_open2(track.codec, codec, settings);
    if (status < 0) {
        reason = std::string("cannot start the ") + codec->name + " encoder: " + errorText(status);
        return false;
    }
    track.stream = avformat_new_stream(encoder.output, nullptr);
    track.frame = av_frame_alloc();
    if (track.stream == nullptr || track.frame == nullptr ||
        avcodec_parameters_from_context(track.stream->codecpar, track.codec) < 0) {
        reason = "out of memory";
        return false;
    }
    track.stream->time_base = track.codec->time_base;
    return true;
}

bool addPicture(const AVCodec* codec, const VideoFormat& format, std::string& reason) {
    AVCodecContext* context = encoder.picture.codec = avcodec_alloc_context3(codec);
    if (context == nullptr) return false;
    const AVRational rate = av_d2q(format.framesPerSecond, 100000);
    context->width = format.width;
    context->height = format.height;
    context->time_base = av_inv_q(rate);
    context->framerate = rate;
    context->gop_size = std::max(1, static_cast<int>(std::lround(2 * format.framesPerSecond)));
    context->thread_count = 0;
    const bool vp9 = std::string(codec->name) == "libvpx-vp9";
    AVDictionary* settings = nullptr;
    if (format.lossless) {
        // Planar GBR for VP9, packed RGB for H.264: either way no colour conversion at all.
        context->pix_fmt = vp9 ? AV_PIX_FMT_GBRP : AV_PIX_FMT_RGB24;
        context->colorspace = AVCOL_SPC_RGB;
        av_dict_set(&settings, vp9 ? "lossless" : "qp", vp9 ? "1" : "0", 0);
    } else {
        context->pix_fmt = AV_PIX_FMT_YUV420P;
        context->colorspace = AVCOL_SPC_BT709;
        context->color_primaries = AVCOL_PRI_BT709;
        context->color_trc = AVCOL_TRC_BT709;
        context->color_range = AVCOL_RANGE_MPEG;
        // Flat colours in sharp blocks: a constant quality that keeps the edges clean.
        av_dict_set(&settings, "crf", vp9 ? "30" : "18", 0);
    }
    if (vp9) {
        av_dict_set(&settings, "deadline", "realtime", 0);
        av_dict_set(&settings, "cpu-used", "8", 0);
        av_dict_set(&settings, "row-mt", "1", 0);
        context->bit_rate = 0;
    } else {
        av_dict_set(&settings, "preset", "superfast", 0);
    }
    const bool added = addTrack(encoder.picture, codec, &settings, reason);
    av_dict_free(&settings);
    if (!added) return false;
    encoder.picture.stream->avg_frame_rate = rate;
    encoder.picture.stream->r_frame_rate = rate;
    AVFrame* frame = encoder.picture.frame;
    frame->format = context->pix_fmt;
    frame->width = context->width;
    frame->height = context->height;
    if (av_frame_get_buffer(frame, 0) < 0) {
        reason = "out of memory";
        return false;
    }
    return true;
}

// The sample formats written here, in order of preference.
AVSampleFormat soundFormatFor(const AVCodec* codec) {
    for (AVSampleFormat wanted : {AV_SAMPLE_FMT_FLTP, AV_SAMPLE_FMT_FLT, AV_SAMPLE_FMT_S16})
        for (const AVSampleFormat* offered = codec->sample_fmts; offered && *offered != AV_SAMPLE_FMT_NONE; ++offered)
            if (*offered == wanted) return wanted;
    return AV_SAMPLE_FMT_NONE;
}

bool addSound(const AVCodec* codec, int rate, std::string& reason) {
    AVCodecContext* context = encoder.sound.codec = avcodec_alloc_context3(codec);
    if (context == nullptr) return false;
    context->sample_fmt = soundFormatFor(codec);
    if (context->sample_fmt == AV_SAMPLE_FMT_NONE) {
        reason = std::string("no usable sample format in ") + codec->name;
        return false;
    }
    context->sample_rate = rate;
    av_channel_layout_default(&context->ch_layout, 2);
    context->time_base = AVRational{1, rate};
    context->bit_rate = std::string(codec->name) == "flac" ? 0 : 192000;
    if (!addTrack(encoder.sound, codec, nullptr, reason)) return false;
    if (context->frame_size <= 0) context->frame_size = 1024;
    return true;
}

void fillPicture(AVFrame* frame, const uint8_t* rgb) {
    const VideoPlanes planes{{frame->data[0], frame->data[1], frame->data[2]},
                             {frame->linesize[0], frame->linesize[1], frame->linesize[2]}};
    if (frame->format == AV_PIX_FMT_YUV420P) rgbToYuv420(rgb, frame->width, frame->height, planes);
    else if (frame->format == AV_PIX_FMT_GBRP) rgbToGbr(rgb, frame->width, frame->height, planes);
    else copyRgb(rgb, frame->width, frame->height, planes);
}

bool sendSound(const float* frames, int count, std::string& reason) {
    Track& track = encoder.sound;
    AVFrame* frame = track.frame;
    frame->format = track.codec->sample_fmt;
    frame->nb_samples = count;
    frame->sample_rate = track.codec->sample_rate;
    if (av_channel_layout_copy(&frame->ch_layout, &track.codec->ch_layout) < 0 || av_frame_get_buffer(frame, 0) < 0) {
        reason = "out of memory";
        return false;
    }
    for (int i = 0; i < count; ++i) {
        const float left = std::clamp(frames[2 * i], -1.0f, 1.0f), right = std::clamp(frames[2 * i + 1], -1.0f, 1.0f);
        if (frame->format == AV_SAMPLE_FMT_FLTP) {
            reinterpret_cast<float*>(frame->data[0])[i] = left;
            reinterpret_cast<float*>(frame->data[1])[i] = right;
        } else if (frame->format == AV_SAMPLE_FMT_FLT) {
            reinterpret_cast<float*>(frame->data[0])[2 * i] = left;
            reinterpret_cast<float*>(frame->data[0])[2 * i + 1] = right;
        } else {
            reinterpret_cast<int16_t*>(frame->data[0])[2 * i] = soundToShort(frames[2 * i]);
            reinterpret_cast<int16_t*>(frame->data[0])[2 * i + 1] = soundToShort(frames[2 * i + 1]);
        }
    }
    frame->pts = encoder.soundSent;
    encoder.soundSent += count;
    const bool sent = sendFrame(track, frame, reason);
    av_frame_unref(frame);
    return sent;
}

void closeEverything() {
    for (Track* track : {&encoder.picture, &encoder.sound}) {
        avcodec_free_context(&track->codec);
        av_frame_free(&track->frame);
    }
    av_packet_free(&encoder.packet);
    freeOutput();
    avformat_free_context(encoder.output);
    dropNewFile(encoder.file);  // nothing when it was kept
    encoder = Encoder{};
    encoderOpen = false;
}

}  // namespace

std::string videoPathProblem(const std::string& path, bool lossless) {
    Container container;
    if (!containerFor(path, container)) return "the file name must end in .mp4, .mkv or .webm";
    for (const char* name : {lossless ? container.losslessPicture : container.picture,
                             lossless ? container.losslessSound : container.sound})
        if (avcodec_find_encoder_by_name(name) == nullptr) return std::string("these FFmpeg libraries have no ") + name + " encoder";
    return "";
}

bool openVideoEncoder(const std::string& path, const VideoFormat& format, std::string& reason) {
    abandonVideoEncoder();
    reason = videoPathProblem(path, format.lossless);
    if (!reason.empty()) return false;
    Container container;
    containerFor(path, container);
    av_log_set_level(AV_LOG_QUIET);  // failures come back as one line of our own
    encoderOpen = true;
    encoder.finalPath = path;
    encoder.packet = av_packet_alloc();
    if (encoder.packet == nullptr || avformat_alloc_output_context2(&encoder.output, nullptr, container.muxer, nullptr) < 0) {
        reason = "out of memory";
        closeEverything();
        return false;
    }
    const AVCodec* picture = avcodec_find_encoder_by_name(format.lossless ? container.losslessPicture : container.picture);
    const AVCodec* sound = avcodec_find_encoder_by_name(format.lossless ? container.losslessSound : container.sound);
    if (!addPicture(picture, format, reason) || (format.soundRate > 0 && !addSound(sound, format.soundRate, reason))) {
        closeEverything();
        return false;
    }
    if (!openOutput(reason)) {
        reason = "cannot write " + path + ": " + reason;
        closeEverything();
        return false;
    }
    int status = 0;
    {
        AVDictionary* settings = nullptr;
        // MP4's index goes first, so a browser can start playing before it has the whole file.
        if (std::string(container.muxer) == "mp4") av_dict_set(&settings, "movflags", "+faststart", 0);
        // The sound encoder's first packet comes before 0 (its priming). MP4 keeps that in an
        // edit list; Matroska would otherwise shift every track, the first picture included, later
        // by it: keep the first picture at 0 and the priming before it.
        else av_dict_set(&settings, "avoid_negative_ts", "disabled", 0);
        status = avformat_write_header(encoder.output, &settings);
        av_dict_free(&settings);
    }
    if (status < 0 || !flushOutput()) {
        reason = "cannot write " + path + ": " + failureText(status);
        abandonVideoEncoder();
        return false;
    }
    return true;
}

bool encodeVideoFrame(const uint8_t* rgb, std::string& reason) {
    AVFrame* frame = encoder.picture.frame;
    if (av_frame_make_writable(frame) < 0) {
        reason = "out of memory";
        return false;
    }
    fillPicture(frame, rgb);
    frame->pts = encoder.picturesSent++;
    return sendFrame(encoder.picture, frame, reason);
}

bool encodeVideoSound(const float* frames, std::size_t count, std::string& reason) {
    if (encoder.sound.codec == nullptr) return true;
    std::vector<float>& pending = encoder.pendingSound;
    pending.insert(pending.end(), frames, frames + 2 * count);
    const size_t frameSize = static_cast<size_t>(encoder.sound.codec->frame_size);
    size_t used = 0;
    for (; pending.size() - used >= 2 * frameSize; used += 2 * frameSize)
        if (!sendSound(pending.data() + used, static_cast<int>(frameSize), reason)) return false;
    pending.erase(pending.begin(), pending.begin() + static_cast<ptrdiff_t>(used));
    return true;
}

bool finishVideoEncoder(std::string& reason) {
    bool ok = sendFrame(encoder.picture, nullptr, reason);
    if (ok && encoder.sound.codec != nullptr) {
        std::vector<float>& pending = encoder.pendingSound;
        if (!pending.empty()) {
            // A short last frame where the codec takes one, otherwise silence to fill it.
            const bool small = encoder.sound.codec->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
            if (!small) pending.resize(2 * static_cast<size_t>(encoder.sound.codec->frame_size), 0.0f);
            ok = sendSound(pending.data(), static_cast<int>(pending.size() / 2), reason);
        }
        ok = ok && sendFrame(encoder.sound, nullptr, reason);
    }
    if (ok) {
        const int status = av_write_trailer(encoder.output);
        ok = status >= 0 && flushOutput();
        if (!ok) reason = "cannot write " + encoder.finalPath + ": " + failureText(status);
    }
    std::string why;
    if (ok && !keepNewFile(encoder.file, why)) {
        reason = "cannot write " + encoder.finalPath + ": " + why;
        ok = false;
    }
    if (!ok) {
        abandonVideoEncoder();
        return false;
    }
    closeEverything();
    return true;
}

void abandonVideoEncoder() {
    if (encoderOpen) closeEverything();  // which removes the unfinished file
}
