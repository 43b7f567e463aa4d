#pragma once
// One video encoder of the video libraries for the MP4 and WebM outputs:
// libx264 (H.264) or libvpx-vp9 (VP9), fed with the composed frames as
// pictures at their own times (milliseconds), in yuv420p. Odd sides are
// padded to even ones by repeating the last column or row. The encoder
// runs with the libraries' own threading defaults (one thread per core, as
// the ffmpeg command line leaves them).
//
// Only for code that has loaded the video libraries (videoLibrary()).

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/avi/video_library.h"
#include "engine/image/picture.h"
#include "engine/output/generate_video.h"

namespace pelko {

struct VideoEncoderSettings {
    VideoFormat format = VideoFormat::Mp4;
    int width = 0;  // the pictures' size; the encoded one is rounded up to even sides
    int height = 0;
    int crf = 23;
    std::string preset = "medium";
    std::int64_t bitRate = 0;   // > 0: this average bit rate in place of the quality setting
    int pass = 0;               // 0: one pass; 1 and 2: the passes of a two-pass bit rate encode
    std::string statsFile;      // H.264's statistics file of the two passes
    std::string statsIn;        // VP9's statistics of the first pass, for the second
    int frameTimeMs = 0;        // the time every frame lasts, or 0 when they differ
    bool globalHeader = false;  // the container wants the stream headers apart
};

class VideoEncoder {
public:
    // Takes each packet made, with its times in the encoder's time base
    // (milliseconds); false stops the encoding with the error already worded.
    using PacketSink = std::function<bool(AVPacket*)>;

    VideoEncoder() = default;
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // False with error() saying why ("the libx264 encoder: reason").
    bool open(const VideoEncoderSettings& settings);
    // Encodes picture (of the size given to open) shown at ptsMs for
    // durationMs; packets go to sink as they come.
    bool encode(const Picture& picture, std::int64_t ptsMs, std::int64_t durationMs, const PacketSink& sink);
    // Drains the encoder; after it, VP9's first pass has its statistics.
    bool finish(const PacketSink& sink);

    const AVCodecContext* context() const { return enc_; }
    // The first pass's statistics for VP9's second (empty for H.264, which
    // keeps them in its statistics file).
    const std::string& firstPassStats() const { return stats_; }
    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& what, int err);
    bool drain(const PacketSink& sink);

    AVCodecContext* enc_ = nullptr;
    SwsContext* sws_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* pkt_ = nullptr;
    int width_ = 0, height_ = 0;
    std::vector<std::uint8_t> rgb_;  // the picture's rows as red, green, blue
    std::string name_;
    std::string statsIn_;  // kept while the encoder reads it
    std::string stats_;
    std::string error_;
    std::map<std::int64_t, std::int64_t> durations_;  // of the frames handed over, by their time
};

}  // namespace pelko
