#pragma once
// The sound track of the MP4 and WebM outputs: a PCM WAV file (8, 16, 24 or
// 32 bits, any rate and channel count) encoded as AAC (MP4) or Opus (WebM,
// resampled to 48 kHz). More than two channels are mixed down to stereo.
// The samples are read and encoded piece by piece, in step with the video,
// so the file's packets interleave and memory stays small.
//
// Only for code that has loaded the video libraries (videoLibrary()).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/avi/riff.h"
#include "engine/avi/video_library.h"
#include "engine/avi/wav.h"
#include "engine/output/generate_video.h"

namespace pelko {

class SoundEncoder {
public:
    // Takes each packet made, with its times in the encoder's time base (1 /
    // sample rate); false stops the encoding with the error already worded.
    using PacketSink = std::function<bool(AVPacket*)>;

    SoundEncoder() = default;
    ~SoundEncoder();
    SoundEncoder(const SoundEncoder&) = delete;
    SoundEncoder& operator=(const SoundEncoder&) = delete;

    // Opens the WAV file whose layout ReadWavForAvi gave and the encoder of
    // the format. False with error() saying why.
    bool open(const std::string& wavFile, const WavLayout& layout, VideoFormat format, bool globalHeader);
    // Encodes the sound up to timeMs (all of it for a negative time).
    bool encodeUntil(std::int64_t timeMs, const PacketSink& sink);
    // Encodes the rest and drains the encoder.
    bool finish(const PacketSink& sink);

    const AVCodecContext* context() const { return enc_; }
    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& what, int err);
    bool readSamples(std::uint64_t frames);  // converts and resamples them into fifo_
    bool sendFrames(bool last, const PacketSink& sink);
    bool drain(const PacketSink& sink);

    std::unique_ptr<FileRiffSource> src_;
    WavLayout wav_;
    std::uint64_t framesTotal_ = 0;  // whole sample frames the file holds
    std::uint64_t framesRead_ = 0;
    AVCodecContext* enc_ = nullptr;
    SwrContext* swr_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* pkt_ = nullptr;
    std::string name_;
    std::vector<std::vector<float>> fifo_;  // resampled samples not yet encoded, per channel
    std::int64_t nextPts_ = 0;
    std::string error_;
};

}  // namespace pelko
