// Videos by the real binary, read back with libavcodec: the container, frames and sound against a capture, failures.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
}

#include "harness.h"
#include "platform/capture/video_convert.h"
#include "xm_fixture.h"

namespace {

using namespace harness;

struct Video {
    std::string summary;  // codecs, pixel format, size, rate, frame count, sample rate and channels
    double seconds = 0;   // the container's duration
    long soundFrames = 0;
    double soundEnd = 0;       // seconds, from the sound frames' own time stamps
    double side = 0, sum = 0;  // energy of left - right and of left + right: the stereo width
    std::vector<std::vector<uint8_t>> rgb;  // the decoded frames as RGB
    std::string sound;                      // interleaved, when the codec decodes to 16 bits: as in a WAV
};

uint8_t clampByte(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

// GBR planes as they are; 4:2:0 BT.709 limited range through the standard inverse.
std::vector<uint8_t> toRgb(const AVFrame* frame) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < frame->height; ++y)
        for (int x = 0; x < frame->width; ++x) {
            auto at = [&](int plane, int px, int py) { return frame->data[plane][py * frame->linesize[plane] + px]; };
            const double luma = 1.164 * (at(0, x, y) - 16), cb = at(1, x / 2, y / 2) - 128, cr = at(2, x / 2, y / 2) - 128;
            if (frame->format == AV_PIX_FMT_GBRP)
                rgb.insert(rgb.end(), {at(2, x, y), at(0, x, y), at(1, x, y)});
            else
                rgb.insert(rgb.end(), {clampByte(luma + 1.793 * cr), clampByte(luma - 0.213 * cb - 0.533 * cr),
                                       clampByte(luma + 2.112 * cb)});
        }
    return rgb;
}

Video readVideo(const fs::path& path) {
    Video video;
    AVFormatContext* input = nullptr;
    if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return video;
    avformat_find_stream_info(input, nullptr);
    video.seconds = static_cast<double>(input->duration) / AV_TIME_BASE;
    char picture[100] = "no picture", sound[100] = "no sound";
    std::vector<AVCodecContext*> decoders(input->nb_streams, nullptr);
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVCodecParameters* in = input->streams[i]->codecpar;
        decoders[i] = avcodec_alloc_context3(avcodec_find_decoder(in->codec_id));
        avcodec_parameters_to_context(decoders[i], in);
        avcodec_open2(decoders[i], nullptr, nullptr);
        const char* name = avcodec_get_name(in->codec_id);
        const char* format = av_get_pix_fmt_name(static_cast<AVPixelFormat>(in->format));
        const AVRational rate = input->streams[i]->avg_frame_rate;
        if (in->codec_type == AVMEDIA_TYPE_VIDEO)
            std::snprintf(picture, sizeof picture, "%s %s %dx%d at %d/%d", name, format ? format : "?", in->width,
                          in->height, rate.num, rate.den);
        else if (in->codec_type == AVMEDIA_TYPE_AUDIO)
            std::snprintf(sound, sizeof sound, "%s %d Hz x %d", name, in->sample_rate, in->ch_layout.nb_channels);
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto drain = [&](unsigned index) {
        const bool picture = input->streams[index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
        while (avcodec_receive_frame(decoders[index], frame) >= 0) {
            if (picture) {
                video.rgb.push_back(toRgb(frame));
                continue;
            }
            video.soundFrames += frame->nb_samples;
            video.soundEnd = std::max(video.soundEnd, frame->pts * av_q2d(input->streams[index]->time_base) +
                                                          frame->nb_samples / 48000.0);
            const int16_t* samples = reinterpret_cast<const int16_t*>(frame->data[0]);
            if (frame->format == AV_SAMPLE_FMT_S16)
                video.sound.append(reinterpret_cast<const char*>(samples), 4 * static_cast<size_t>(frame->nb_samples));
            for (int i = 0; i < frame->nb_samples; ++i) {
                const bool planar = frame->format == AV_SAMPLE_FMT_FLTP;
                const double left = planar ? reinterpret_cast<const float*>(frame->data[0])[i] : samples[2 * i] / 32768.0;
                const double right = planar ? reinterpret_cast<const float*>(frame->data[1])[i] : samples[2 * i + 1] / 32768.0;
                video.side += (left - right) * (left - right);
                video.sum += (left + right) * (left + right);
            }
        }
    };
    while (av_read_frame(input, packet) >= 0) {
        avcodec_send_packet(decoders[packet->stream_index], packet);
        drain(packet->stream_index);
        av_packet_unref(packet);
    }
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        avcodec_send_packet(decoders[i], nullptr);
        drain(i);
        avcodec_free_context(&decoders[i]);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avformat_close_input(&input);
    video.summary = std::string(picture) + ", " + std::to_string(video.rgb.size()) + " frames, " + sound;
    return video;
}

// The shipped pictures and font, and a tune on the left only, so a channel mixed up on the way into the file shows.
fs::path scratchWithMusic(const std::string& name) {
    const fs::path folder = freshFolder(name);
    fs::create_directory(folder / "Data");
    for (const auto& entry : fs::directory_iterator(ZORBEL_SOURCE_DIR "/Data"))
        if (entry.path().filename() != "QUABTUNE.xm") fs::create_symlink(entry.path(), folder / "Data" / entry.path().filename());
    writeFile(folder / "Data/QUABTUNE.xm", xm_fixture::makeModule(0));
    return folder;
}

// From 6.5 to 8.5 s at 30 frames a second: the white screen, then the first picture at 7.25 s.
const std::string window = " --from 6.5 --to 8.5 --fps 30";
constexpr int windowFrames = 61;

// Each kind of file against a picture capture of a run of its own: the video must pick the same frames and sound.
TEST(VideoFile, HoldsWhatTheOptionsAskedForAndTheCapturedFrames) {
    const fs::path folder = scratchWithMusic("video-kinds");
    const Result capture = runZorbel(folder, "--capture out --scale 2" + window);
    ASSERT_EQ(capture.status, 0) << capture.output;
    std::vector<Image> pictures;
    for (int frame = 195; frame < 195 + windowFrames; ++frame)  // three digits each
        pictures.push_back(readPng(folder / ("out/frame-000" + std::to_string(frame) + ".png")));
    // At scale 2 every cell of the grid is a block of 2 x 2 equal pixels.
    const Image& last = pictures.back();
    ASSERT_EQ(last.rgb.size(), 160u * 200 * 3);
    int unequal = 0;
    for (size_t i = 0; i < last.rgb.size(); ++i)
        unequal += last.rgb[i] != last.rgb[((i / 3 / 160 & ~1u) * 160 + (i / 3 % 160 & ~1u)) * 3 + i % 3];
    EXPECT_EQ(unequal, 0);
    const double windowSeconds = windowFrames / 30.0;
    // The tolerance is the mean difference per colour channel from the capture; -1: not compared. Scale 8 unless told.
    const struct { const char* file; std::string options, summary; double seconds, tolerance; } cases[] = {
        // The first run also writes pictures: both outputs come from the same frames.
        {"a.mkv", "--lossless --capture both --scale 2" + window, "h264 gbrp 160x200 at 30/1, 61 frames, flac 48000 Hz x 2", windowSeconds, 0},
        {"b.webm", "--lossless --scale 2" + window, "vp9 gbrp 160x200 at 30/1, 61 frames, opus 48000 Hz x 2", windowSeconds, 0},
        {"c.mp4", "--scale 2" + window, "h264 yuv420p 160x200 at 30/1, 61 frames, aac 48000 Hz x 2", windowSeconds, 3.0},  // 4:2:0
        {"e.MP4", "--lossless --from 7 --to 7.2 --fps 25", "h264 gbrp 640x800 at 25/1, 6 frames, aac 48000 Hz x 2", 0.24, -1},
    };
    for (const auto& c : cases) {
        const Result result = runZorbel(folder, std::string("--video ") + c.file + " " + c.options);
        ASSERT_EQ(result.status, 0) << c.file << ": " << result.output;
        const Video video = readVideo(folder / c.file);
        EXPECT_EQ(video.summary, c.summary) << c.file;
        EXPECT_NEAR(video.seconds, c.seconds, 0.05) << c.file;
        // The sound covers the whole window (its last codec frame may be padded: up to 21 ms more).
        EXPECT_NEAR(video.soundFrames / 48000.0, c.seconds + 0.01, 0.011) << c.file;
        EXPECT_NEAR(video.soundEnd, c.seconds, 0.05) << c.file;
        EXPECT_NEAR(video.side / video.sum, 1.0, 0.1) << c.file << ": the right channel is not silent";
        if (c.tolerance < 0) continue;
        ASSERT_EQ(video.rgb.size(), pictures.size()) << c.file;
        for (size_t i = 0; i < pictures.size(); ++i) {
            double difference = 0;
            for (size_t j = 0; j < video.rgb[i].size(); ++j) difference += std::abs(video.rgb[i][j] - pictures[i].rgb[j]);
            ASSERT_LE(difference / video.rgb[i].size(), c.tolerance) << c.file << ": frame " << 195 + i << " differs";
        }
    }
    const std::string wavSound = readText(folder / "out/audio.wav").substr(44);  // after the header
    EXPECT_TRUE(readVideo(folder / "a.mkv").sound == wavSound) << "FLAC decodes to the WAV's samples";
    EXPECT_TRUE(readPng(folder / "both/frame-000255.png").rgb == pictures.back().rgb);
    const Result silent = runZorbel(folder, "--video f.webm --no-audio --scale 1" + window);  // no sound, and no word of it
    EXPECT_EQ(std::tuple(silent.status, silent.output, readVideo(folder / "f.webm").summary),
              std::tuple(0, "", "vp9 yuv420p 80x100 at 30/1, 61 frames, no sound"));
}

// A pair of rows shares its colour in 4:2:0: red over blue gives blue over red, not plain red.
TEST(VideoPictures, ColourOfARowPairIsTheMeanOfBothRows) {
    auto chroma = [](const std::vector<uint8_t>& top, const std::vector<uint8_t>& bottom) {
        std::vector<uint8_t> rgb = top;
        rgb.insert(rgb.end(), bottom.begin(), bottom.end());
        uint8_t luma[4], blue = 0, red = 0;
        rgbToYuv420(rgb.data(), 2, 2, VideoPlanes{{luma, &blue, &red}, {2, 1, 1}});
        return std::pair{blue, red};
    };
    const std::vector<uint8_t> red{255, 0, 0, 255, 0, 0}, blue{0, 0, 255, 0, 0, 255};
    EXPECT_EQ(chroma(red, blue), chroma(blue, red));
    EXPECT_NE(chroma(red, blue), chroma(red, red));
}

TEST(VideoFile, FailuresLeaveNothingUnderTheFinalName) {
    const struct { const char* command; int status; const char* message; } cases[] = {
        {"zorbel --video show.avi", 2, "--video"}, {"zorbel --video show", 2, "--video"},
        {"zorbel --lossless --capture out", 2, "--lossless"},
        // A folder that cannot be made is found before anything runs.
        {"zorbel --video Data/QUABTUNE.xm/show.mp4 --to 1", 2, "cannot create Data/QUABTUNE.xm"},
        {"zorbel --video show.mp4 --from 0.5 --to 0.6 --fps 1", 2, "no frame lies between 0.5 and 0.6 seconds with --fps 1"},
        // A full disk: writes past 64 kB fail with EFBIG instead of killing the program.
        {"ulimit -f 64; zorbel --video show.mp4 --to 30 --fps 30 --scale 4", 1, "File too large"},
    };
    for (const auto& c : cases) {
        const fs::path folder = scratchWithMusic("video-errors");
        const std::string program = "zorbel() { " + harness::quoted(zorbel) + " \"$@\"; }; ";
        const Result result = runShell("cd " + harness::quoted(folder) + " && " + program + "(" + c.command + ") </dev/null");
        const bool oneLine = std::count(result.output.begin(), result.output.end(), '\n') == 1;
        const bool named = result.output.find(c.message) != std::string::npos;
        const bool onlyData = std::distance(fs::directory_iterator(folder), fs::directory_iterator()) == 1;
        EXPECT_EQ(std::tuple(result.status, oneLine, named, onlyData), std::tuple(c.status, true, true, true))
            << c.command << ": " << result.output;
    }
}

// The presentation times of the decoded pictures, in seconds, in order.
std::vector<double> pictureTimes(const fs::path& path) {
    std::vector<double> times;
    AVFormatContext* input = nullptr;
    if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return times;
    avformat_find_stream_info(input, nullptr);
    const int index = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    AVCodecContext* decoder = avcodec_alloc_context3(avcodec_find_decoder(input->streams[index]->codecpar->codec_id));
    avcodec_parameters_to_context(decoder, input->streams[index]->codecpar);
    avcodec_open2(decoder, nullptr, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    const double unit = av_q2d(input->streams[index]->time_base);
    auto drain = [&] {
        while (avcodec_receive_frame(decoder, frame) >= 0) times.push_back(frame->best_effort_timestamp * unit);
    };
    while (av_read_frame(input, packet) >= 0) {
        if (packet->stream_index == index) avcodec_send_packet(decoder, packet);
        av_packet_unref(packet);
        drain();
    }
    avcodec_send_packet(decoder, nullptr);
    drain();
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&input);
    return times;
}

// Frame i of the window is shown at i / fps from the start, in every container; the sound keeps the capture's
// samples up to full scale both ways (a sample beyond +1 clipped, never wrapped to the negative end).
TEST(VideoFile, EveryPictureAtItsFramesTimeAndTheSoundClippedNotWrapped) {
    const fs::path folder = scratchWithMusic("video-times");
    writeFile(folder / "Data/QUABTUNE.xm", xm_fixture::makeLoudModule());
    for (const char* file : {"t.mp4", "t.mkv", "t.webm"}) {
        const Result run = runZorbel(folder, std::string("--video ") + file + " --from 1 --to 2 --fps 25 --scale 1");
        ASSERT_EQ(run.status, 0) << file << ": " << run.output;
        const std::vector<double> times = pictureTimes(folder / file);
        ASSERT_EQ(times.size(), 26u) << file;
        for (size_t i = 0; i < times.size(); ++i) EXPECT_NEAR(times[i], i / 25.0, 0.001) << file << ": picture " << i;
    }
    const Result run = runZorbel(folder, "--video l.mkv --lossless --capture out --from 1 --to 2 --fps 25 --scale 1");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string wav = readText(folder / "out/audio.wav").substr(44);
    std::vector<int16_t> samples(wav.size() / 2);
    std::memcpy(samples.data(), wav.data(), wav.size());
    EXPECT_GT(std::count(samples.begin(), samples.end(), 32767), 1000) << "the music is not loud enough to clip";
    EXPECT_TRUE(readVideo(folder / "l.mkv").sound == wav) << "FLAC decodes to the WAV's samples";
}

// Failures after the last picture (the container's end crossing a size limit, the temporary file gone before its
// rename) fail the run, and nothing is left under the final name.
TEST(VideoFile, FailuresAtTheVeryEndLeaveNoFile) {
    const fs::path folder = scratchWithMusic("video-late");
    const std::string options = " --from 1 --to 1.5 --fps 30 --scale 2 </dev/null";
    ASSERT_EQ(runShell("cd " + quoted(folder) + " && '" + zorbel + "' --video whole.mkv" + options).status, 0);
    const auto size = fs::file_size(folder / "whole.mkv");
    // A limit one block below the whole file: only the container's end crosses it.
    const Result limited = runShell("cd " + quoted(folder) + " && ulimit -f " + std::to_string((size - 1) / 512) + " && '" +
                                    zorbel + "' --video cut.mkv" + options);
    EXPECT_EQ(limited.status, 1) << limited.output;
    EXPECT_NE(limited.output.find("cannot write cut.mkv: File too large"), std::string::npos) << limited.output;
    const Result removed = runShell("cd " + quoted(folder) + " && { '" + zorbel + "' --video gone.mkv --from 1 --to 8 --scale 4 </dev/null & "
                                    "until ls | grep -q 'partial$'; do sleep 0.02; done; rm -f *.partial; wait $!; }");
    EXPECT_EQ(removed.status, 1) << removed.output;
    EXPECT_NE(removed.output.find("cannot write gone.mkv: No such file or directory"), std::string::npos) << removed.output;
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"Data", "whole.mkv"}));
}

TEST(VideoFile, InterruptedRunFinishesTheFileUpToTheLastFrame) {
    const fs::path folder = scratchWithMusic("video-interrupt");
    // Stop once encoding is under way; the whole show would take minutes.
    const Result result = runShell("cd " + harness::quoted(folder) + " && { " + harness::quoted(zorbel) +
                                   " --video show.mkv --scale 1 </dev/null & pid=$!; "
                                   "while ! ls | grep -q 'partial$' && kill -0 $pid; do sleep 0.1; done; sleep 1; kill -TERM $pid; wait $pid; }");
    const auto names = std::distance(fs::directory_iterator(folder), fs::directory_iterator());
    EXPECT_EQ(std::tuple(result.status, result.output.find("interrupted") != std::string::npos, names),
              std::tuple(130, true, 2)) << result.output;  // Data and show.mkv
    const Video video = readVideo(folder / "show.mkv");
    const size_t frames = video.rgb.size();
    EXPECT_TRUE(frames > 0 && frames < 15601) << frames;
    EXPECT_NEAR(video.seconds, frames / 60.0, 0.05);
    EXPECT_NEAR(video.soundFrames / 48000.0, frames / 60.0, 0.05);
}

}  // namespace
