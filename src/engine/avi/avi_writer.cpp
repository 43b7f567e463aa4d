#include "engine/avi/avi_writer.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/avi/avi_headers.h"
#include "engine/avi/riff.h"
#include "engine/avi/video_library.h"
#include "engine/base/output_file.h"

namespace pelko {
namespace {

// Sound is written in pieces of about this size.
constexpr std::size_t kSoundPiece = 1 << 20;

AviResult fromAvError(int err, AviResult fallback)
{
    if (err == AVERROR(ENOMEM))
        return AVIERR_MEMORY;
    if (err == AVERROR(ENOSPC) || err == AVERROR(EIO) || err == AVERROR(EFBIG) || err == AVERROR(EDQUOT))
        return AVIERR_FILEWRITE;
    return fallback;
}

// The text of a libav error: the system's own for the codes that carry an
// error number.
std::string avErrorText(int err)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    video().av_strerror(err, text, sizeof text);
    return text;
}

std::uint32_t tagOf(const std::string& fourcc)
{
    char s[5] = "    ";
    for (std::size_t i = 0; i < 4 && i < fourcc.size(); ++i) s[i] = fourcc[i];
    return fourCC(s);
}

AVCodecID pcmCodec(int bits)
{
    switch (bits) {
        case 8:
            return AV_CODEC_ID_PCM_U8;
        case 16:
            return AV_CODEC_ID_PCM_S16LE;
        case 24:
            return AV_CODEC_ID_PCM_S24LE;
        default:
            return AV_CODEC_ID_PCM_S32LE;
    }
}

// Writes bytes that stay the caller's as one key packet, without copying them
// (av_write_frame keeps no reference to a packet without a buffer).
int writeBorrowed(AVFormatContext* ctx, AVPacket* pkt, int stream, const std::uint8_t* data, std::size_t n,
                  std::int64_t pts, std::int64_t duration)
{
    video().av_packet_unref(pkt);
    pkt->data = const_cast<std::uint8_t*>(data);
    pkt->size = int(n);
    pkt->pts = pkt->dts = pts;
    pkt->duration = duration;
    pkt->flags = AV_PKT_FLAG_KEY;
    pkt->stream_index = stream;
    const int err = video().av_write_frame(ctx, pkt);
    pkt->data = nullptr;
    pkt->size = 0;
    return err;
}

}  // namespace

// Encoders that refuse an odd width or height for their 4:2:0 pictures: the
// pictures they get are padded to even sizes by repeating the last column
// and row.
bool needsEvenSize(const std::string& encoder)
{
    return encoder == "libx264" || encoder == "libxvid";
}

std::uint32_t dibImageSize(int width, int height)
{
    return std::uint32_t((std::uint64_t(width) * 24 + 31) / 32 * 4 * std::uint64_t(height));
}

class AviWriter {
public:
    AviWriter(std::string target, std::int32_t period)
        : target_(std::move(target)), period_(std::max(period, 1))
    {
    }
    ~AviWriter() { release(true); }

    bool open(const WaveFormat* audioFormat);
    const std::string& error() const { return error_; }
    // Remembers text as the "FILE: reason" of the failure, unless one came first.
    void note(const std::string& text)
    {
        if (error_.empty())
            error_ = text;
    }
    AviResult chooseCodec(const Picture& picture, const CompressOptions* options, bool show,
                          VideoCodecChooser* chooser);
    AviResult writeFrame(const Picture& picture);
    AviResult writeSound(RiffSource& src);
    AviResult close();

    bool failed = false;

private:
    // Marks the writer failed; keepFile says that what is written stays valid.
    AviResult fail(AviResult code, bool keepFile = false)
    {
        failed = true;
        if (!keepFile)
            discard_ = true;
        return code;
    }
    // The same, remembering "FILE: reason" from a libav error.
    AviResult failAv(int err, AviResult fallback, const std::string& what = {})
    {
        note(err, what);
        return fail(fromAvError(err, fallback));
    }
    AviResult noteAv(int err, AviResult fallback, const std::string& what = {})
    {
        note(err, what);
        return fromAvError(err, fallback);
    }
    void note(int err, const std::string& what)
    {
        if (error_.empty())
            error_ = target_ + ": " + (what.empty() ? "" : what + ": ") + avErrorText(err);
    }

    void defineVideo(const Picture& picture);
    void padPicture(const Picture& picture);
    AviResult setCodec(const CompressOptions& options);
    AviResult startFile();
    AviResult addSoundStream(AVFormatContext* ctx);
    AviResult encode(const AVFrame* frame);
    AviResult writeSoundPiece(AVFormatContext* ctx, AVStream* stream, const std::uint8_t* data,
                              std::size_t n);
    AviResult copySpool(AVFormatContext* ctx, AVStream* stream);
    AviResult remuxWithSound();
    AviResult finish();
    void release(bool removeFiles);
    void dropSpool();

    std::string target_;
    std::unique_ptr<OutputFile> out_;  // the file being written
    std::string error_;                // "FILE: reason" of the first failure
    std::int32_t period_;
    WaveFormat audio_;
    AVFormatContext* ctx_ = nullptr;
    AVStream* videoStream_ = nullptr;
    AVStream* soundStream_ = nullptr;
    AVCodecContext* enc_ = nullptr;
    SwsContext* sws_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* pkt_ = nullptr;
    std::FILE* spool_ = nullptr;  // sound held back, in a file without a name
    std::vector<std::uint8_t> raw_;
    std::vector<std::uint8_t> padded_;  // a picture grown to the coded size
    int width_ = 0, height_ = 0;
    int codedWidth_ = 0, codedHeight_ = 0;  // the encoder's size (even where it must be)
    bool haveVideo_ = false, codecSet_ = false, uncompressed_ = false, headerWritten_ = false;
    bool discard_ = false;
    std::uint32_t nextFrame_ = 0;
    std::uint32_t nextSoundSample_ = 0;
    std::int64_t soundPts_ = 0;  // in sample frames of the sound stream
};

void AviWriterDeleter::operator()(AviWriter* writer) const
{
    delete writer;
}

bool AviWriter::open(const WaveFormat* audioFormat)
{
    if (audioFormat) {
        audio_ = *audioFormat;
        audio_.extraSize = 0;
    }
    std::string why;
    if (!videoLibrary(&why)) {
        note(why);
        return false;
    }
    out_ = std::make_unique<OutputFile>();
    if (!out_->open(target_)) {
        note(out_->error());
        return false;
    }
    int err = video().avformat_alloc_output_context2(&ctx_, nullptr, "avi", out_->workPath().c_str());
    if (err < 0 || !ctx_) {
        note(err, "");
        return false;
    }
    if ((err = video().avio_open(&ctx_->pb, out_->workPath().c_str(), AVIO_FLAG_WRITE)) < 0) {
        note(err, "");
        return false;
    }
    pkt_ = video().av_packet_alloc();
    return pkt_ != nullptr;
}

void AviWriter::release(bool removeFiles)
{
    if (ctx_) {
        if (ctx_->pb)
            video().avio_closep(&ctx_->pb);
        video().avformat_free_context(ctx_);
        ctx_ = nullptr;
    }
    video().avcodec_free_context(&enc_);
    video().sws_freeContext(sws_);
    sws_ = nullptr;
    video().av_frame_free(&frame_);
    video().av_packet_free(&pkt_);
    dropSpool();
    if (removeFiles)
        out_.reset();
}

void AviWriter::dropSpool()
{
    if (spool_) {
        std::fclose(spool_);
        spool_ = nullptr;
    }
}

void AviWriter::defineVideo(const Picture& picture)
{
    width_ = picture.width();
    height_ = picture.height();
    haveVideo_ = true;
}

// The picture into padded_, its last column and row repeated out to the
// coded size.
void AviWriter::padPicture(const Picture& picture)
{
    const std::size_t row = std::size_t(codedWidth_) * 3, used = std::size_t(width_) * 3;
    for (int y = 0; y < codedHeight_; ++y) {
        std::uint8_t* out = padded_.data() + std::size_t(y) * row;
        std::memcpy(out, picture.row(std::min(y, height_ - 1)), used);
        for (std::size_t x = used; x < row; x += 3) std::memcpy(out + x, out + used - 3, 3);
    }
}

AviResult AviWriter::chooseCodec(const Picture& picture, const CompressOptions* options, bool show,
                                 VideoCodecChooser* chooser)
{
    if (codecSet_)
        return AVIERR_COMPRESSOR;
    if (!haveVideo_)
        defineVideo(picture);
    CompressOptions chosen = options ? *options : CompressOptions{};
    if (show && chooser && !chooser->chooseVideoCodec(availableVideoCodecs(), chosen))
        return fail(AVIERR_USERABORT);
    return setCodec(chosen);
}

AviResult AviWriter::setCodec(const CompressOptions& options)
{
    const VideoCodecInfo* info = findVideoCodec(options.fourcc);
    if (!info)
        return fail(AVIERR_NOCOMPRESSOR);
    videoStream_ = video().avformat_new_stream(ctx_, nullptr);
    if (!videoStream_)
        return fail(AVIERR_MEMORY);
    videoStream_->time_base = AVRational{period_, 1000};
    codecSet_ = true;
    AVCodecParameters* par = videoStream_->codecpar;
    if (info->encoder.empty()) {
        uncompressed_ = true;
        par->codec_type = AVMEDIA_TYPE_VIDEO;
        par->codec_id = AV_CODEC_ID_RAWVIDEO;
        par->codec_tag = 0;
        par->format = AV_PIX_FMT_BGR24;
        par->bits_per_coded_sample = 24;
        par->width = width_;
        par->height = height_;
        raw_.assign(dibImageSize(width_, height_), 0);
        return AVIERR_OK;
    }

    const AVCodec* codec = video().avcodec_find_encoder_by_name(info->encoder.c_str());
    enc_ = codec ? video().avcodec_alloc_context3(codec) : nullptr;
    if (!enc_)
        return fail(AVIERR_NOCOMPRESSOR);
    const int quality = std::clamp(options.quality < 0 ? info->defaultQuality : options.quality, 0, 100);
    AVPixelFormat pixFmt = AV_PIX_FMT_YUV420P;
    codedWidth_ = width_;
    codedHeight_ = height_;
    if (needsEvenSize(info->encoder)) {
        codedWidth_ += width_ % 2;
        codedHeight_ += height_ % 2;
    }
    enc_->width = codedWidth_;
    enc_->height = codedHeight_;
    enc_->time_base = AVRational{period_, 1000};
    enc_->framerate = AVRational{1000, period_};
    enc_->max_b_frames = 0;  // AVI holds no reordered frames
    if (info->hasKeyFrames && options.keyFrameInterval > 0)
        enc_->gop_size = options.keyFrameInterval;
    enc_->thread_count = 0;
    if (info->encoder == "mpeg4" || info->encoder == "libxvid" || info->encoder == "mjpeg") {
        // Quantiser 2 (best) .. 31.
        const int q = 31 - quality * 29 / 100;
        enc_->flags |= AV_CODEC_FLAG_QSCALE;
        enc_->global_quality = FF_QP2LAMBDA * q;
        if (info->encoder == "mjpeg") {
            pixFmt = AV_PIX_FMT_YUVJ420P;
            enc_->color_range = AVCOL_RANGE_JPEG;
        }
    } else if (info->encoder == "libx264") {
        // Constant rate factor 51 (worst) .. 0.
        video().av_opt_set_double(enc_->priv_data, "crf", (100 - quality) * 0.51, 0);
    } else if (info->encoder == "ffv1") {
        pixFmt = AV_PIX_FMT_BGR0;
    }
    enc_->pix_fmt = pixFmt;
    if (ctx_->oformat->flags & AVFMT_GLOBALHEADER)
        enc_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int err = video().avcodec_open2(enc_, codec, nullptr);
    if (err < 0)
        return failAv(err, AVIERR_UNSUPPORTED, "the " + info->encoder + " encoder");
    if ((err = video().avcodec_parameters_from_context(par, enc_)) < 0)
        return failAv(err, AVIERR_INTERNAL, "the " + info->encoder + " encoder");
    par->codec_tag = tagOf(info->fourcc);

    frame_ = video().av_frame_alloc();
    sws_ = video().sws_getContext(codedWidth_, codedHeight_, AV_PIX_FMT_BGR24, codedWidth_, codedHeight_,
                                  pixFmt, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!frame_ || !sws_)
        return fail(AVIERR_MEMORY);
    if (codedWidth_ != width_ || codedHeight_ != height_)
        padded_.assign(std::size_t(codedWidth_) * 3 * std::size_t(codedHeight_), 0);
    frame_->format = pixFmt;
    frame_->width = codedWidth_;
    frame_->height = codedHeight_;
    frame_->color_range = enc_->color_range;
    if (video().av_frame_get_buffer(frame_, 0) < 0)
        return fail(AVIERR_MEMORY);
    return AVIERR_OK;
}

AviResult AviWriter::addSoundStream(AVFormatContext* ctx)
{
    AVStream* st = video().avformat_new_stream(ctx, nullptr);
    if (!st)
        return AVIERR_MEMORY;
    AVCodecParameters* par = st->codecpar;
    par->codec_type = AVMEDIA_TYPE_AUDIO;
    par->codec_id = pcmCodec(audio_.bitsPerSample);
    par->codec_tag = kWaveFormatPcm;
    par->sample_rate = int(audio_.samplesPerSec);
    par->ch_layout.order = AV_CHANNEL_ORDER_UNSPEC;
    par->ch_layout.nb_channels = audio_.channels;
    par->block_align = audio_.blockAlign;
    par->bits_per_coded_sample = audio_.bitsPerSample;
    par->bit_rate = std::int64_t(audio_.samplesPerSec) * audio_.blockAlign * 8;
    st->time_base = AVRational{1, int(audio_.samplesPerSec)};
    if (ctx == ctx_)
        soundStream_ = st;
    return AVIERR_OK;
}

AviResult AviWriter::startFile()
{
    if (headerWritten_)
        return AVIERR_OK;
    if (audio_.channels && !soundStream_) {
        if (AviResult r = addSoundStream(ctx_))
            return fail(r);
    }
    AVDictionary* opts = nullptr;
    video().av_dict_set(&opts, "flipped_raw_rgb", "1", 0);  // classic bottom-up DIB rows
    const int err = video().avformat_write_header(ctx_, &opts);
    video().av_dict_free(&opts);
    if (err < 0)
        return failAv(err, AVIERR_FILEWRITE);
    headerWritten_ = true;
    // Sound handed over before the header goes in now, ahead of any later sound.
    if (spool_ && soundStream_) {
        const AviResult r = copySpool(ctx_, soundStream_);
        dropSpool();
        if (r)
            return fail(r);
    }
    return AVIERR_OK;
}

AviResult AviWriter::encode(const AVFrame* frame)
{
    int err = video().avcodec_send_frame(enc_, frame);
    if (err < 0)
        return failAv(err, AVIERR_CANTCOMPRESS, "the encoder");
    for (;;) {
        err = video().avcodec_receive_packet(enc_, pkt_);
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return AVIERR_OK;
        if (err < 0)
            return failAv(err, AVIERR_CANTCOMPRESS, "the encoder");
        video().av_packet_rescale_ts(pkt_, enc_->time_base, videoStream_->time_base);
        pkt_->stream_index = videoStream_->index;
        err = video().av_write_frame(ctx_, pkt_);
        video().av_packet_unref(pkt_);
        if (err < 0)
            return failAv(err, AVIERR_FILEWRITE);
    }
}

AviResult AviWriter::writeFrame(const Picture& picture)
{
    if (!haveVideo_)
        defineVideo(picture);
    else if (picture.width() != width_ || picture.height() != height_)
        return AVIERR_BADSIZE;
    if (!codecSet_) {
        if (AviResult r = setCodec(CompressOptions{"DIB ", -1}))
            return r;
    }
    if (AviResult r = startFile())
        return r;

    if (uncompressed_) {
        // Bottom-up rows padded to 4 bytes; the padding stays zero.
        const std::size_t stride = raw_.size() / std::size_t(height_);
        for (int y = 0; y < height_; ++y)
            std::memcpy(raw_.data() + std::size_t(height_ - 1 - y) * stride, picture.row(y),
                        picture.stride());
        const int err =
            writeBorrowed(ctx_, pkt_, videoStream_->index, raw_.data(), raw_.size(), nextFrame_, 1);
        if (err < 0)
            return failAv(err, AVIERR_FILEWRITE);
    } else {
        int err = video().av_frame_make_writable(frame_);
        if (err < 0)
            return fail(fromAvError(err, AVIERR_MEMORY));
        const std::uint8_t* src[1] = {picture.data()};
        int srcStride[1] = {int(picture.stride())};
        if (!padded_.empty()) {
            padPicture(picture);
            src[0] = padded_.data();
            srcStride[0] = codedWidth_ * 3;
        }
        video().sws_scale(sws_, src, srcStride, 0, codedHeight_, frame_->data, frame_->linesize);
        frame_->pts = nextFrame_;
        frame_->quality = enc_->global_quality;  // the quantiser of qscale encoders
        if (AviResult r = encode(frame_))
            return r;
    }
    ++nextFrame_;
    return AVIERR_OK;
}

AviResult AviWriter::writeSoundPiece(AVFormatContext* ctx, AVStream* stream, const std::uint8_t* data,
                                     std::size_t n)
{
    const std::int64_t frames = std::int64_t(n / audio_.blockAlign);
    const int err = writeBorrowed(ctx, pkt_, stream->index, data, n, soundPts_, frames);
    if (err < 0)
        return noteAv(err, AVIERR_FILEWRITE);
    soundPts_ += frames;
    return AVIERR_OK;
}

AviResult AviWriter::writeSound(RiffSource& src)
{
    WavLayout wav;
    if (!readWavLayout(src, wav) || !isUsablePcm(wav.format))
        return AVIERR_BADFORMAT;
    if (!audio_.channels)
        audio_ = wav.format;
    else if (!audio_.sameAs(wav.format))
        return AVIERR_BADFORMAT;

    // Only whole sample frames that the file really holds.
    std::uint64_t bytes = std::min<std::uint64_t>(wav.dataSize, wav.dataAvailable);
    bytes -= bytes % audio_.blockAlign;
    // Straight into the file when its header already has the sound stream;
    // otherwise held until the header is written or the file is rebuilt.
    const bool direct = headerWritten_ && soundStream_;
    if (!direct && !spool_) {
        const int fd = openScratchFile(target_);
        spool_ = fd >= 0 ? ::fdopen(fd, "w+b") : nullptr;
        if (!spool_) {
            note(systemErrorText(target_, errno));
            if (fd >= 0)
                ::close(fd);
            return fail(AVIERR_FILEWRITE, true);
        }
    }
    // A sound that cannot be held back completely is taken out again, so the
    // file closes with the sounds before it.
    const off_t spoolStart = direct ? 0 : ftello(spool_);
    const auto spoolFailed = [&](AviResult code) {
        if (std::fflush(spool_) != 0 || ftruncate(fileno(spool_), spoolStart) != 0 ||
            fseeko(spool_, spoolStart, SEEK_SET) != 0)
            dropSpool();
        return fail(code, true);
    };
    const std::size_t piece = std::max<std::size_t>(kSoundPiece / audio_.blockAlign, 1) * audio_.blockAlign;
    std::vector<std::uint8_t> buf(std::size_t(std::min<std::uint64_t>(bytes, piece)));
    for (std::uint64_t done = 0; done < bytes;) {
        const std::size_t n = std::size_t(std::min<std::uint64_t>(bytes - done, piece));
        if (!src.read(wav.dataOffset + done, buf.data(), n))
            return direct ? fail(AVIERR_FILEREAD) : spoolFailed(AVIERR_FILEREAD);
        if (direct) {
            if (AviResult r = writeSoundPiece(ctx_, soundStream_, buf.data(), n))
                return fail(r);
        } else if (std::fwrite(buf.data(), 1, n, spool_) != n) {
            note(systemErrorText(target_, errno));
            return spoolFailed(AVIERR_FILEWRITE);
        }
        done += n;
    }
    nextSoundSample_ += std::uint32_t(bytes * 8 / audio_.bitsPerSample);
    return AVIERR_OK;
}

AviResult AviWriter::copySpool(AVFormatContext* ctx, AVStream* stream)
{
    if (!spool_)
        return AVIERR_OK;
    if (std::fflush(spool_) != 0 || std::fseek(spool_, 0, SEEK_SET) != 0)
        return AVIERR_FILEREAD;
    const std::size_t piece = std::max<std::size_t>(kSoundPiece / audio_.blockAlign, 1) * audio_.blockAlign;
    std::vector<std::uint8_t> buf(piece);
    soundPts_ = 0;
    for (;;) {
        const std::size_t n = std::fread(buf.data(), 1, piece, spool_);
        if (n == 0)
            break;
        if (AviResult r = writeSoundPiece(ctx, stream, buf.data(), n))
            return r;
    }
    return std::ferror(spool_) ? AVIERR_FILEREAD : AVIERR_OK;
}

// The sound came after the header was written without a sound stream: copy
// the finished video packet by packet into a new file that has both streams.
AviResult AviWriter::remuxWithSound()
{
    auto outFile = std::make_unique<OutputFile>();
    if (!outFile->open(target_)) {
        note(outFile->error());
        return outFile->errorCode() == ENOSPC ? AVIERR_FILEWRITE : AVIERR_FILEOPEN;
    }
    const std::string& out = outFile->workPath();
    AVFormatContext* in = nullptr;
    AVFormatContext* dst = nullptr;
    AviResult result = AVIERR_OK;
    int err = video().avformat_open_input(&in, out_->workPath().c_str(), nullptr, nullptr);
    if (err < 0)
        return noteAv(err, AVIERR_FILEREAD);
    AVStream* inVideo = in->nb_streams == 1 ? in->streams[0] : nullptr;
    AVStream* outVideo = nullptr;
    AVStream* outSound = nullptr;
    if (!inVideo || video().avformat_alloc_output_context2(&dst, nullptr, "avi", out.c_str()) < 0 ||
        !(outVideo = video().avformat_new_stream(dst, nullptr)) ||
        video().avcodec_parameters_copy(outVideo->codecpar, inVideo->codecpar) < 0) {
        result = AVIERR_INTERNAL;
    } else {
        if (uncompressed_) {
            // What the reader adds for bottom-up rows must not become part of strf.
            video().av_freep(&outVideo->codecpar->extradata);
            outVideo->codecpar->extradata_size = 0;
        }
        outVideo->time_base = AVRational{period_, 1000};
        result = addSoundStream(dst);
        outSound = result == AVIERR_OK ? dst->streams[1] : nullptr;
    }
    if (result == AVIERR_OK && (err = video().avio_open(&dst->pb, out.c_str(), AVIO_FLAG_WRITE)) < 0)
        result = noteAv(err, AVIERR_FILEWRITE);
    if (result == AVIERR_OK) {
        AVDictionary* opts = nullptr;
        video().av_dict_set(&opts, "flipped_raw_rgb", "1", 0);
        err = video().avformat_write_header(dst, &opts);
        video().av_dict_free(&opts);
        if (err < 0)
            result = noteAv(err, AVIERR_FILEWRITE);
    }
    while (result == AVIERR_OK && (err = video().av_read_frame(in, pkt_)) >= 0) {
        video().av_packet_rescale_ts(pkt_, inVideo->time_base, outVideo->time_base);
        pkt_->stream_index = 0;
        pkt_->pos = -1;
        err = video().av_write_frame(dst, pkt_);
        video().av_packet_unref(pkt_);
        if (err < 0)
            result = noteAv(err, AVIERR_FILEWRITE);
    }
    if (result == AVIERR_OK && err != AVERROR_EOF)
        result = noteAv(err, AVIERR_FILEREAD);
    if (result == AVIERR_OK)
        result = copySpool(dst, outSound);
    if (result == AVIERR_OK && (err = video().av_write_trailer(dst)) < 0)
        result = noteAv(err, AVIERR_FILEWRITE);
    if (dst) {
        if (dst->pb && (err = video().avio_closep(&dst->pb)) < 0 && result == AVIERR_OK)
            result = noteAv(err, AVIERR_FILEWRITE);
        video().avformat_free_context(dst);
    }
    video().avformat_close_input(&in);
    out_ = std::move(outFile);  // the first file goes, without a trace
    return result;
}

AviResult AviWriter::finish()
{
    if (!headerWritten_) {
        if (!haveVideo_ && !audio_.channels)
            return AVIERR_OK;  // nothing was ever handed over: no file
        if (haveVideo_ && !codecSet_) {
            if (AviResult r = setCodec(CompressOptions{"DIB ", -1}))
                return r;
        }
        if (AviResult r = startFile())
            return r;
    }
    if (enc_) {
        if (AviResult r = encode(nullptr))
            return r;
    }
    const bool rebuild = spool_ && !soundStream_;
    if (spool_ && soundStream_) {
        if (AviResult r = copySpool(ctx_, soundStream_))
            return r;
    }
    int err = video().av_write_trailer(ctx_);
    if (err < 0)
        return noteAv(err, AVIERR_FILEWRITE);
    if ((err = video().avio_closep(&ctx_->pb)) < 0)
        return noteAv(err, AVIERR_FILEWRITE);
    if (rebuild) {
        if (AviResult r = remuxWithSound())
            return r;
    }

    StreamHeaderFix fix;
    if (haveVideo_) {
        fix.setHandler = uncompressed_;
        fix.handler = fourCC("DIB ");
        fix.videoScale = std::uint32_t(period_);
        fix.videoRate = 1000;
        fix.suggestedBufferSize = dibImageSize(width_, height_);
    }
    if (audio_.channels && (soundStream_ || rebuild)) {
        fix.blockAlign = audio_.blockAlign;
        fix.samplesPerSec = audio_.samplesPerSec;
    }
    if (!fixStreamHeaders(out_->workPath(), fix)) {
        note(target_ + ": the stream headers could not be rewritten");
        return AVIERR_FILEWRITE;
    }
    if (!out_->commit()) {
        note(out_->error());
        const int code = out_->errorCode();
        return code == EROFS || code == EACCES || code == EPERM ? AVIERR_READONLY : AVIERR_FILEWRITE;
    }
    return AVIERR_OK;
}

AviResult AviWriter::close()
{
    AviResult r = AVIERR_OK;
    if (!discard_)
        r = finish();
    release(true);
    return r;
}

AviWriterPtr OpenAviWriter(const std::string& fileName, std::int32_t framePeriodMs,
                           const WaveFormat* audioFormat, std::string* error)
{
    // The encoders' progress notes are not for our users; errors still show.
    static const bool quiet = [] {
        if (const VideoLibrary* v = videoLibrary())
            v->av_log_set_level(AV_LOG_ERROR);
        return true;
    }();
    (void)quiet;
    AviWriterPtr writer(new AviWriter(fileName, framePeriodMs));
    if (audioFormat && audioFormat->channels && !isUsablePcm(*audioFormat)) {
        if (error)
            *error = "the sound format: " + pcmProblem(*audioFormat);
        return nullptr;
    }
    if (!writer->open(audioFormat && audioFormat->channels ? audioFormat : nullptr)) {
        if (error)
            *error = writer->error();
        return nullptr;
    }
    return writer;
}

AviResult CloseAviWriter(AviWriterPtr writer, std::string* error)
{
    if (!writer)
        return AVIERR_BADHANDLE;
    const AviResult r = writer->close();
    if (error)
        *error = r == AVIERR_OK ? std::string() : writer->error();
    return r;
}

std::string AviWriterError(const AviWriter* writer)
{
    return writer ? writer->error() : std::string();
}

namespace {

// The checks of a call that hands over a picture; AVIERR_OK lets it go on.
AviResult checkPictureCall(const AviWriter* writer, const Picture* picture)
{
    if (!writer)
        return AVIERR_BADHANDLE;
    if (!picture || picture->empty())
        return AVIERR_BADPARAM;
    if (writer->failed)
        return AVIERR_ERROR;
    return AVIERR_OK;
}

}  // namespace

AviResult ChooseVideoCodec(AviWriter* writer, const Picture* picture, const CompressOptions* options,
                           bool showWindow, VideoCodecChooser* chooser)
{
    if (const AviResult r = checkPictureCall(writer, picture); r != AVIERR_OK)
        return r;
    return writer->chooseCodec(*picture, options, showWindow, chooser);
}

AviResult WriteVideoFrame(AviWriter* writer, const Picture* picture)
{
    if (const AviResult r = checkPictureCall(writer, picture); r != AVIERR_OK)
        return r;
    return writer->writeFrame(*picture);
}

AviResult WriteWavSound(AviWriter* writer, const void* source, std::uint32_t kind, std::size_t memorySize)
{
    if (!writer)
        return AVIERR_BADHANDLE;
    if (kind != SND_MEMORY && kind != SND_FILENAME)
        return AVIERR_BADFLAGS;
    if (!source)
        return AVIERR_BADPARAM;
    if (writer->failed)
        return AVIERR_ERROR;
    if (kind == SND_MEMORY) {
        MemoryRiffSource src({static_cast<const std::uint8_t*>(source), memorySize});
        return writer->writeSound(src);
    }
    FileRiffSource src(static_cast<const char*>(source));
    if (!src.isOpen()) {
        writer->failed = true;  // the video written so far stays valid
        writer->note(systemErrorText(static_cast<const char*>(source), src.openError()));
        return AVIERR_FILEOPEN;
    }
    return writer->writeSound(src);
}

}  // namespace pelko
