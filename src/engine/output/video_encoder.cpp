#include "engine/output/video_encoder.h"

#include <cstring>

namespace pelko {
namespace {

std::string avText(int err)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    video().av_strerror(err, text, sizeof text);
    return text;
}

// Repeats the last column and row of a picture of width x height into the
// even sides of frame's luma plane (the chroma planes already cover them).
void padLuma(AVFrame* frame, int width, int height)
{
    std::uint8_t* y = frame->data[0];
    const int stride = frame->linesize[0];
    if (width < frame->width)
        for (int row = 0; row < height; ++row) y[row * stride + width] = y[row * stride + width - 1];
    if (height < frame->height)
        std::memcpy(y + height * stride, y + (height - 1) * stride, std::size_t(frame->width));
}

}  // namespace

VideoEncoder::~VideoEncoder()
{
    if (enc_)
        enc_->stats_in = nullptr;  // ours, not the library's
    video().avcodec_free_context(&enc_);
    video().sws_freeContext(sws_);
    video().av_frame_free(&frame_);
    video().av_packet_free(&pkt_);
}

bool VideoEncoder::fail(const std::string& what, int err)
{
    if (error_.empty())
        error_ = what + (err ? ": " + avText(err) : std::string());
    return false;
}

bool VideoEncoder::open(const VideoEncoderSettings& s)
{
    const VideoLibrary& av = video();
    const bool h264 = s.format == VideoFormat::Mp4;
    name_ = h264 ? "libx264" : "libvpx-vp9";
    const AVCodec* codec = av.avcodec_find_encoder_by_name(name_.c_str());
    if (!codec)
        return fail("the " + name_ + " encoder is not available", 0);
    enc_ = av.avcodec_alloc_context3(codec);
    pkt_ = av.av_packet_alloc();
    frame_ = av.av_frame_alloc();
    if (!enc_ || !pkt_ || !frame_)
        return fail("the " + name_ + " encoder", AVERROR(ENOMEM));
    width_ = s.width;
    height_ = s.height;
    enc_->width = (s.width + 1) & ~1;
    enc_->height = (s.height + 1) & ~1;
    enc_->pix_fmt = AV_PIX_FMT_YUV420P;
    enc_->time_base = AVRational{1, 1000};
    if (s.frameTimeMs > 0) {
        enc_->framerate = AVRational{1000, s.frameTimeMs};
        // VP9's rate control takes the first frame's length as this many
        // ticks (then the times between frames).
        if (!h264)
            enc_->ticks_per_frame = s.frameTimeMs;
    }
    // The pictures are turned into limited-range BT.601 YUV; say so, so that
    // players turn them back the same way.
    enc_->colorspace = AVCOL_SPC_SMPTE170M;
    enc_->color_primaries = AVCOL_PRI_SMPTE170M;
    enc_->color_trc = AVCOL_TRC_SMPTE170M;
    enc_->color_range = AVCOL_RANGE_MPEG;
    enc_->thread_count = 0;  // one per core, as the ffmpeg command line asks
    if (s.globalHeader)
        enc_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (s.bitRate > 0) {
        enc_->bit_rate = s.bitRate;
    } else {
        enc_->bit_rate = 0;  // quality alone (VP9's constant quality needs it)
        if (h264)
            av.av_opt_set_double(enc_->priv_data, "crf", s.crf, 0);
        else
            av.av_opt_set_int(enc_->priv_data, "crf", s.crf, 0);
    }
    if (h264)
        av.av_opt_set(enc_->priv_data, "preset", s.preset.c_str(), 0);
    if (s.pass == 1)
        enc_->flags |= AV_CODEC_FLAG_PASS1;
    if (s.pass == 2) {
        enc_->flags |= AV_CODEC_FLAG_PASS2;
        if (!h264) {
            statsIn_ = s.statsIn;
            enc_->stats_in = statsIn_.data();
        }
    }
    if (h264 && s.pass)
        av.av_opt_set(enc_->priv_data, "stats", s.statsFile.c_str(), 0);
    int err = av.avcodec_open2(enc_, codec, nullptr);
    if (err < 0)
        return fail("the " + name_ + " encoder", err);

    frame_->format = enc_->pix_fmt;
    frame_->width = enc_->width;
    frame_->height = enc_->height;
    if ((err = av.av_frame_get_buffer(frame_, 0)) < 0)
        return fail("the " + name_ + " encoder", err);
    // From red-green-blue rows, as the ffmpeg command line converts its
    // pictures: blue-green-red ones would take a quick path that keeps less
    // of the colour, and the video would come out larger.
    sws_ = av.sws_getContext(width_, height_, AV_PIX_FMT_RGB24, width_, height_, AV_PIX_FMT_YUV420P,
                             SWS_BICUBIC, nullptr, nullptr, nullptr);
    rgb_.resize(std::size_t(width_) * 3 * std::size_t(height_));
    if (!sws_)
        return fail("the picture conversion", AVERROR(ENOMEM));
    return true;
}

bool VideoEncoder::drain(const PacketSink& sink)
{
    const VideoLibrary& av = video();
    for (;;) {
        const int err = av.avcodec_receive_packet(enc_, pkt_);
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return true;
        if (err < 0)
            return fail("the " + name_ + " encoder", err);
        // Each packet lasts as long as its frame, the last one included.
        if (auto it = durations_.find(pkt_->pts); it != durations_.end()) {
            pkt_->duration = it->second;
            durations_.erase(it);
        }
        const bool ok = sink(pkt_);
        av.av_packet_unref(pkt_);
        if (!ok)
            return false;
    }
}

bool VideoEncoder::encode(const Picture& picture, std::int64_t ptsMs, std::int64_t durationMs,
                          const PacketSink& sink)
{
    const VideoLibrary& av = video();
    if (picture.width() != width_ || picture.height() != height_)
        return fail("the " + name_ + " encoder: a picture of another size", 0);
    int err = av.av_frame_make_writable(frame_);
    if (err < 0)
        return fail("the " + name_ + " encoder", err);
    const std::uint8_t* bgr = picture.data();
    for (std::size_t i = 0; i < rgb_.size(); i += 3) {
        rgb_[i] = bgr[i + 2];
        rgb_[i + 1] = bgr[i + 1];
        rgb_[i + 2] = bgr[i];
    }
    const std::uint8_t* src[1] = {rgb_.data()};
    const int srcStride[1] = {width_ * 3};
    av.sws_scale(sws_, src, srcStride, 0, height_, frame_->data, frame_->linesize);
    padLuma(frame_, width_, height_);
    frame_->pts = ptsMs;
    frame_->pkt_duration = durationMs;
    durations_[ptsMs] = durationMs;
    if ((err = av.avcodec_send_frame(enc_, frame_)) < 0)
        return fail("the " + name_ + " encoder", err);
    return drain(sink);
}

bool VideoEncoder::finish(const PacketSink& sink)
{
    const int err = video().avcodec_send_frame(enc_, nullptr);
    if (err < 0 && err != AVERROR_EOF)
        return fail("the " + name_ + " encoder", err);
    if (!drain(sink))
        return false;
    if (enc_->stats_out)
        stats_ = enc_->stats_out;
    return true;
}

}  // namespace pelko
