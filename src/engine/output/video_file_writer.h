#pragma once
// The container of the MP4 and WebM outputs: libavformat's mp4 (with its
// index at the front, so a browser starts playing at once) or webm muxer,
// writing into an OutputFile that takes the target's place only when
// committed. Packets of the streams are interleaved by their times.
//
// Only for code that has loaded the video libraries (videoLibrary()).

#include <cstdint>
#include <memory>
#include <string>

#include "engine/avi/video_library.h"
#include "engine/base/output_file.h"
#include "engine/output/generate_video.h"

namespace pelko {

class VideoFileWriter {
public:
    VideoFileWriter() = default;
    ~VideoFileWriter();  // an uncommitted file is discarded
    VideoFileWriter(const VideoFileWriter&) = delete;
    VideoFileWriter& operator=(const VideoFileWriter&) = delete;

    // Starts the file that is to take the place of path. False with error().
    bool open(const std::string& path, VideoFormat format);
    // Whether the encoders must keep their stream headers apart.
    bool wantsGlobalHeader() const;
    // A stream for the encoder (opened); its index, or -1 with error().
    int addStream(const AVCodecContext* encoder);
    bool writeHeader();
    // Writes a packet of stream whose times are in the encoder's time base.
    bool write(AVPacket* packet, int stream, AVRational encoderTimeBase);
    // Ends the file; it is complete but not yet in place.
    bool finish();
    // The size of the finished file, and the name under which it can be read.
    std::uint64_t size() const;
    const std::string& workPath() const { return out_->workPath(); }
    // Puts the finished file in place of path.
    bool commit();

    // "PATH: reason" of the first failure.
    const std::string& error() const { return error_; }

private:
    bool fail(int err);
    void release();

    std::string path_;
    std::unique_ptr<OutputFile> out_;
    AVFormatContext* ctx_ = nullptr;
    std::string error_;
};

}  // namespace pelko
