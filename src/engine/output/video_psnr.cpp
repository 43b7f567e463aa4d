#include "engine/output/video_psnr.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "engine/avi/video_library.h"

namespace pelko {
namespace {

std::string avText(int err)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    video().av_strerror(err, text, sizeof text);
    return text;
}

// The decoder's state, freed however the comparison ends.
struct Decoding {
    AVFormatContext* in = nullptr;
    AVCodecContext* dec = nullptr;
    AVPacket* pkt = nullptr;
    AVFrame* frame = nullptr;
    SwsContext* sws = nullptr;
    ~Decoding()
    {
        const VideoLibrary& av = video();
        av.sws_freeContext(sws);
        av.av_frame_free(&frame);
        av.av_packet_free(&pkt);
        av.avcodec_free_context(&dec);
        if (in)
            av.avformat_close_input(&in);
    }
};

double framePsnr(const Picture& a, const Picture& b)
{
    std::uint64_t sse = 0;
    const int w = std::min(a.width(), b.width());
    const int h = std::min(a.height(), b.height());
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* p = a.row(y);
        const std::uint8_t* q = b.row(y);
        for (int x = 0; x < w * 3; ++x) {
            const int d = int(p[x]) - int(q[x]);
            sse += std::uint64_t(d * d);
        }
    }
    if (sse == 0)
        return 100.0;
    const double mse = double(sse) / (double(w) * h * 3);
    return std::min(100.0, 10.0 * std::log10(255.0 * 255.0 / mse));
}

}  // namespace

double meanVideoPsnr(const std::string& file, int frameCount, const ComposedFrame& frameAt,
                     std::string& error)
{
    const VideoLibrary& av = video();
    Decoding d;
    int err = av.avformat_open_input(&d.in, file.c_str(), nullptr, nullptr);
    if (err >= 0)
        err = av.avformat_find_stream_info(d.in, nullptr);
    if (err < 0) {
        error = avText(err);
        return -1;
    }
    int stream = -1;
    for (unsigned i = 0; i < d.in->nb_streams; ++i)
        if (d.in->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
            stream = int(i);
    const AVCodec* codec =
        stream >= 0 ? av.avcodec_find_decoder(d.in->streams[stream]->codecpar->codec_id) : nullptr;
    d.dec = codec ? av.avcodec_alloc_context3(codec) : nullptr;
    d.pkt = av.av_packet_alloc();
    d.frame = av.av_frame_alloc();
    if (!d.dec || !d.pkt || !d.frame) {
        error = "no video decoder";
        return -1;
    }
    if ((err = av.avcodec_parameters_to_context(d.dec, d.in->streams[stream]->codecpar)) < 0 ||
        (err = av.avcodec_open2(d.dec, codec, nullptr)) < 0) {
        error = avText(err);
        return -1;
    }

    int index = 0;
    double sum = 0;
    Picture expected, decoded;
    // Compares every frame the decoder has ready.
    const auto compareReady = [&]() -> int {
        for (;;) {
            const int r = av.avcodec_receive_frame(d.dec, d.frame);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return 0;
            if (r < 0)
                return r;
            if (index >= frameCount)
                continue;
            if (!frameAt(index, expected))
                return AVERROR_EXIT;
            const int w = std::min(expected.width(), d.frame->width);
            const int h = std::min(expected.height(), d.frame->height);
            if (decoded.width() != w || decoded.height() != h)
                decoded = Picture(w, h);
            d.sws = d.sws ? d.sws
                          : av.sws_getContext(w, h, AVPixelFormat(d.frame->format), w, h, AV_PIX_FMT_BGR24,
                                              SWS_BICUBIC, nullptr, nullptr, nullptr);
            if (!d.sws)
                return AVERROR(ENOMEM);
            std::uint8_t* dst[1] = {decoded.data()};
            const int dstStride[1] = {int(decoded.stride())};
            av.sws_scale(d.sws, d.frame->data, d.frame->linesize, 0, h, dst, dstStride);
            sum += framePsnr(expected, decoded);
            ++index;
        }
    };
    while ((err = av.av_read_frame(d.in, d.pkt)) >= 0) {
        if (d.pkt->stream_index == stream)
            err = av.avcodec_send_packet(d.dec, d.pkt);
        av.av_packet_unref(d.pkt);
        if (err < 0 || (err = compareReady()) < 0)
            break;
    }
    if (err == AVERROR_EOF) {
        av.avcodec_send_packet(d.dec, nullptr);
        err = compareReady();
    }
    if (err < 0) {
        error = avText(err);
        return -1;
    }
    if (index == 0) {
        error = "no frame decoded";
        return -1;
    }
    return sum / index;
}

}  // namespace pelko
