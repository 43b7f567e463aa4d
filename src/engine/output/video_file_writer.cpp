#include "engine/output/video_file_writer.h"

#include <sys/stat.h>

namespace pelko {

VideoFileWriter::~VideoFileWriter()
{
    release();
}

void VideoFileWriter::release()
{
    if (ctx_) {
        if (ctx_->pb)
            video().avio_closep(&ctx_->pb);
        video().avformat_free_context(ctx_);
        ctx_ = nullptr;
    }
}

bool VideoFileWriter::fail(int err)
{
    if (error_.empty()) {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        video().av_strerror(err, text, sizeof text);
        error_ = path_ + ": " + text;
    }
    return false;
}

bool VideoFileWriter::open(const std::string& path, VideoFormat format)
{
    path_ = path;
    out_ = std::make_unique<OutputFile>();
    if (!out_->open(path)) {
        error_ = out_->error();
        return false;
    }
    const char* muxer = format == VideoFormat::Mp4 ? "mp4" : "webm";
    int err = video().avformat_alloc_output_context2(&ctx_, nullptr, muxer, out_->workPath().c_str());
    if (err < 0 || !ctx_)
        return fail(err < 0 ? err : AVERROR(ENOMEM));
    if ((err = video().avio_open(&ctx_->pb, out_->workPath().c_str(), AVIO_FLAG_WRITE)) < 0)
        return fail(err);
    return true;
}

bool VideoFileWriter::wantsGlobalHeader() const
{
    return ctx_ && (ctx_->oformat->flags & AVFMT_GLOBALHEADER);
}

int VideoFileWriter::addStream(const AVCodecContext* encoder)
{
    AVStream* st = video().avformat_new_stream(ctx_, nullptr);
    if (!st) {
        fail(AVERROR(ENOMEM));
        return -1;
    }
    const int err = video().avcodec_parameters_from_context(st->codecpar, encoder);
    if (err < 0) {
        fail(err);
        return -1;
    }
    st->time_base = encoder->time_base;
    return st->index;
}

bool VideoFileWriter::writeHeader()
{
    AVDictionary* opts = nullptr;
    if (std::string(ctx_->oformat->name) == "mp4")
        video().av_dict_set(&opts, "movflags", "+faststart", 0);
    const int err = video().avformat_write_header(ctx_, &opts);
    video().av_dict_free(&opts);
    return err < 0 ? fail(err) : true;
}

bool VideoFileWriter::write(AVPacket* packet, int stream, AVRational encoderTimeBase)
{
    video().av_packet_rescale_ts(packet, encoderTimeBase, ctx_->streams[stream]->time_base);
    packet->stream_index = stream;
    const int err = video().av_interleaved_write_frame(ctx_, packet);
    return err < 0 ? fail(err) : true;
}

bool VideoFileWriter::finish()
{
    int err = video().av_write_trailer(ctx_);
    if (err < 0)
        return fail(err);
    if ((err = video().avio_closep(&ctx_->pb)) < 0)
        return fail(err);
    return true;
}

std::uint64_t VideoFileWriter::size() const
{
    struct stat st {};
    return out_ && ::fstat(out_->fd(), &st) == 0 ? std::uint64_t(st.st_size) : 0;
}

bool VideoFileWriter::commit()
{
    release();
    if (!out_->commit()) {
        error_ = out_->error();
        return false;
    }
    return true;
}

}  // namespace pelko
