#include "engine/avi/video_codecs.h"

#include <cctype>

#include "engine/avi/video_library.h"

namespace pelko {
namespace {

std::string upper(std::string s)
{
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

const std::vector<VideoCodecInfo>& availableVideoCodecs()
{
    static const std::vector<VideoCodecInfo> codecs = [] {
        const std::vector<VideoCodecInfo> all = {
            {"DIB ", "Uncompressed frames", "", true, false, 100, false},
            {"DIVX", "MPEG-4 Part 2", "mpeg4", false, true, 80, true},
            {"XVID", "MPEG-4 Part 2 (Xvid)", "libxvid", false, true, 80, true},
            {"MJPG", "Motion JPEG", "mjpeg", false, true, 80, false},
            {"H264", "H.264 (x264)", "libx264", false, true, 55, true},
            {"FFV1", "FFV1 lossless", "ffv1", true, false, 100, true},
        };
        // (without the video libraries no encoder is there, and no AVI can
        // be written; the writer says why)
        const VideoLibrary* video = videoLibrary();
        std::vector<VideoCodecInfo> found;
        for (const auto& c : all)
            if (c.encoder.empty() || (video && video->avcodec_find_encoder_by_name(c.encoder.c_str())))
                found.push_back(c);
        return found;
    }();
    return codecs;
}

const VideoCodecInfo* findVideoCodec(const std::string& fourcc)
{
    std::string key = upper(fourcc);
    if (key.empty() || key == "DIB")
        key = "DIB ";
    for (const auto& c : availableVideoCodecs())
        if (c.fourcc == key)
            return &c;
    return nullptr;
}

}  // namespace pelko
