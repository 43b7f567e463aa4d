#pragma once
// The video codecs an AVI can be written with, as far as this libavcodec has
// their encoders, and the interface through which a front end lets the user
// pick one.

#include <string>
#include <vector>

namespace pelko {

struct VideoCodecInfo {
    std::string fourcc;   // "DIB ", "DIVX", "XVID", "MJPG", "H264", "FFV1"
    std::string name;     // for the choice dialog
    std::string encoder;  // libavcodec encoder name; empty for uncompressed frames
    bool lossless = false;
    bool hasQuality = true;     // false: the quality setting changes nothing
    int defaultQuality = 75;    // 0..100
    bool hasKeyFrames = false;  // frames between key frames depend on earlier ones: the interval applies
};

// Codec choice for a writer: a four-character code (matched without regard to
// case; empty or "DIB " means uncompressed frames), a quality of 0..100 or -1
// for the codec's default, and for the codecs with key frames the most frames
// from one key frame to the next, 0 for the codec's default.
struct CompressOptions {
    std::string fourcc;
    int quality = -1;
    int keyFrameInterval = 0;
};

// Every codec above whose encoder this libavcodec provides, uncompressed first.
const std::vector<VideoCodecInfo>& availableVideoCodecs();

// The entry for a four-character code, or nullptr when it is not available.
const VideoCodecInfo* findVideoCodec(const std::string& fourcc);

// Lets the user choose the codec. The dialog starts from options and writes
// the choice back; false when the user declines.
class VideoCodecChooser {
public:
    virtual ~VideoCodecChooser() = default;
    virtual bool chooseVideoCodec(const std::vector<VideoCodecInfo>& codecs, CompressOptions& options) = 0;
};

}  // namespace pelko
