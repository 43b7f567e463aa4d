#include "engine/output/sound_encoder.h"

#include <algorithm>
#include <cerrno>

#include "engine/base/output_file.h"

namespace pelko {
namespace {

// Sample frames read from the file at a time.
constexpr std::uint64_t kReadPiece = 1 << 15;

std::string avText(int err)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    video().av_strerror(err, text, sizeof text);
    return text;
}

// One little-endian PCM sample as a float in -1..1.
float sampleAt(const std::uint8_t* p, int bits)
{
    switch (bits) {
        case 8:
            return float(int(p[0]) - 128) / 128.0f;
        case 16:
            return float(std::int16_t(std::uint16_t(p[0] | p[1] << 8))) / 32768.0f;
        case 24:
            return float(std::int32_t(std::uint32_t(p[0] << 8 | p[1] << 16 | p[2] << 24)) >> 8) / 8388608.0f;
        default:
            return float(std::int32_t(std::uint32_t(p[0] | p[1] << 8 | p[2] << 16) | std::uint32_t(p[3])
                                                                                         << 24)) /
                   2147483648.0f;
    }
}

// AAC's sample rates; another rate is resampled to 48 kHz.
int aacRate(int rate)
{
    static const int rates[] = {96000, 88200, 64000, 48000, 44100, 32000,
                                24000, 22050, 16000, 12000, 11025, 8000};
    return std::find(std::begin(rates), std::end(rates), rate) != std::end(rates) ? rate : 48000;
}

}  // namespace

SoundEncoder::~SoundEncoder()
{
    video().avcodec_free_context(&enc_);
    video().swr_free(&swr_);
    video().av_frame_free(&frame_);
    video().av_packet_free(&pkt_);
}

bool SoundEncoder::fail(const std::string& what, int err)
{
    if (error_.empty())
        error_ = what + (err ? ": " + avText(err) : std::string());
    return false;
}

bool SoundEncoder::open(const std::string& wavFile, const WavLayout& layout, VideoFormat format,
                        bool globalHeader)
{
    const VideoLibrary& av = video();
    wav_ = layout;
    src_ = std::make_unique<FileRiffSource>(wavFile);
    if (!src_->isOpen())
        return fail(systemErrorText(wavFile, src_->openError()), 0);
    framesTotal_ = std::min<std::uint64_t>(wav_.dataSize, wav_.dataAvailable) / wav_.format.blockAlign;

    const bool aac = format == VideoFormat::Mp4;
    name_ = aac ? "aac" : "libopus";
    const AVCodec* codec = av.avcodec_find_encoder_by_name(name_.c_str());
    if (!codec)
        return fail("the " + name_ + " encoder is not available", 0);
    enc_ = av.avcodec_alloc_context3(codec);
    pkt_ = av.av_packet_alloc();
    frame_ = av.av_frame_alloc();
    if (!enc_ || !pkt_ || !frame_)
        return fail("the " + name_ + " encoder", AVERROR(ENOMEM));
    const int inRate = int(wav_.format.samplesPerSec);
    const int inChannels = wav_.format.channels;
    const int channels = std::min(inChannels, 2);
    const int rate = aac ? aacRate(inRate) : 48000;
    enc_->sample_fmt = aac ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_FLT;
    enc_->sample_rate = rate;
    av.av_channel_layout_default(&enc_->ch_layout, channels);
    enc_->bit_rate = (aac ? 64000 : 48000) * channels;
    enc_->time_base = AVRational{1, rate};
    if (globalHeader)
        enc_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int err = av.avcodec_open2(enc_, codec, nullptr);
    if (err < 0)
        return fail("the " + name_ + " encoder", err);

    AVChannelLayout inLayout{};
    av.av_channel_layout_default(&inLayout, inChannels);
    err = av.swr_alloc_set_opts2(&swr_, &enc_->ch_layout, AV_SAMPLE_FMT_FLTP, rate, &inLayout,
                                 AV_SAMPLE_FMT_FLT, inRate, 0, nullptr);
    if (err < 0 || (err = av.swr_init(swr_)) < 0)
        return fail("the sound conversion", err);

    frame_->format = enc_->sample_fmt;
    frame_->nb_samples = enc_->frame_size > 0 ? enc_->frame_size : 1024;
    frame_->sample_rate = rate;
    av.av_channel_layout_default(&frame_->ch_layout, channels);
    if ((err = av.av_frame_get_buffer(frame_, 0)) < 0)
        return fail("the " + name_ + " encoder", err);
    fifo_.assign(std::size_t(channels), {});
    // Opus's first packet would start before the video by the encoder's
    // delay, and WebM would move the video along with it: the sound starts
    // that much later instead.
    if (!aac)
        nextPts_ = enc_->initial_padding;
    return true;
}

bool SoundEncoder::readSamples(std::uint64_t frames)
{
    const VideoLibrary& av = video();
    const int channels = wav_.format.channels;
    const int bits = wav_.format.bitsPerSample;
    const int bytesPerSample = bits / 8;
    std::vector<std::uint8_t> raw;
    std::vector<float> in;
    std::vector<std::vector<float>> out(fifo_.size());
    while (frames > 0) {
        const std::uint64_t n = std::min(frames, kReadPiece);
        raw.resize(std::size_t(n * wav_.format.blockAlign));
        if (!src_->read(wav_.dataOffset + framesRead_ * wav_.format.blockAlign, raw.data(), raw.size()))
            return fail("the sound file cannot be read", 0);
        in.resize(std::size_t(n) * std::size_t(channels));
        for (std::size_t f = 0; f < n; ++f)
            for (int c = 0; c < channels; ++c)
                in[f * std::size_t(channels) + std::size_t(c)] =
                    sampleAt(raw.data() + f * wav_.format.blockAlign + std::size_t(c * bytesPerSample), bits);
        const int room = av.swr_get_out_samples(swr_, int(n));
        std::vector<std::uint8_t*> planes;
        for (auto& o : out) {
            o.resize(std::size_t(std::max(room, 0)));
            planes.push_back(reinterpret_cast<std::uint8_t*>(o.data()));
        }
        const std::uint8_t* inPlanes[1] = {reinterpret_cast<const std::uint8_t*>(in.data())};
        const int made = av.swr_convert(swr_, planes.data(), room, inPlanes, int(n));
        if (made < 0)
            return fail("the sound conversion", made);
        for (std::size_t c = 0; c < out.size(); ++c)
            fifo_[c].insert(fifo_[c].end(), out[c].begin(), out[c].begin() + made);
        framesRead_ += n;
        frames -= n;
    }
    return true;
}

bool SoundEncoder::drain(const PacketSink& sink)
{
    for (;;) {
        const int err = video().avcodec_receive_packet(enc_, pkt_);
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return true;
        if (err < 0)
            return fail("the " + name_ + " encoder", err);
        const bool ok = sink(pkt_);
        video().av_packet_unref(pkt_);
        if (!ok)
            return false;
    }
}

bool SoundEncoder::sendFrames(bool last, const PacketSink& sink)
{
    const VideoLibrary& av = video();
    const std::size_t frameSize = std::size_t(enc_->frame_size > 0 ? enc_->frame_size : 1024);
    std::size_t used = 0;
    const std::size_t have = fifo_[0].size();
    while (have - used >= frameSize || (last && have > used)) {
        const std::size_t n = std::min(frameSize, have - used);
        int err = av.av_frame_make_writable(frame_);
        if (err < 0)
            return fail("the " + name_ + " encoder", err);
        frame_->nb_samples = int(n);
        if (enc_->sample_fmt == AV_SAMPLE_FMT_FLTP) {
            for (std::size_t c = 0; c < fifo_.size(); ++c)
                std::copy_n(fifo_[c].begin() + std::ptrdiff_t(used), n,
                            reinterpret_cast<float*>(frame_->data[c]));
        } else {
            float* dst = reinterpret_cast<float*>(frame_->data[0]);
            for (std::size_t i = 0; i < n; ++i)
                for (std::size_t c = 0; c < fifo_.size(); ++c) *dst++ = fifo_[c][used + i];
        }
        frame_->pts = nextPts_;
        nextPts_ += std::int64_t(n);
        used += n;
        if ((err = av.avcodec_send_frame(enc_, frame_)) < 0)
            return fail("the " + name_ + " encoder", err);
        if (!drain(sink))
            return false;
    }
    for (auto& c : fifo_) c.erase(c.begin(), c.begin() + std::ptrdiff_t(used));
    return true;
}

bool SoundEncoder::encodeUntil(std::int64_t timeMs, const PacketSink& sink)
{
    std::uint64_t until = framesTotal_;
    if (timeMs >= 0)
        until = std::min<std::uint64_t>(until, std::uint64_t(timeMs) * wav_.format.samplesPerSec / 1000);
    if (until > framesRead_ && !readSamples(until - framesRead_))
        return false;
    return sendFrames(false, sink);
}

bool SoundEncoder::finish(const PacketSink& sink)
{
    if (!encodeUntil(-1, sink))
        return false;
    // What the resampler still holds.
    const VideoLibrary& av = video();
    const int room = av.swr_get_out_samples(swr_, 0);
    if (room > 0) {
        std::vector<std::vector<float>> out(fifo_.size(), std::vector<float>(std::size_t(room)));
        std::vector<std::uint8_t*> planes;
        for (auto& o : out) planes.push_back(reinterpret_cast<std::uint8_t*>(o.data()));
        const int made = av.swr_convert(swr_, planes.data(), room, nullptr, 0);
        if (made < 0)
            return fail("the sound conversion", made);
        for (std::size_t c = 0; c < out.size(); ++c)
            fifo_[c].insert(fifo_[c].end(), out[c].begin(), out[c].begin() + made);
    }
    if (!sendFrames(true, sink))
        return false;
    const int err = av.avcodec_send_frame(enc_, nullptr);
    if (err < 0 && err != AVERROR_EOF)
        return fail("the " + name_ + " encoder", err);
    return drain(sink);
}

}  // namespace pelko
