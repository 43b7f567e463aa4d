#pragma once
// Writing the frame list as an MP4 (H.264) or WebM (VP9) video through the
// video libraries, with frame times kept as timestamps and the project's
// WAV as the sound track (AAC in MP4, Opus in WebM).

#include <cstdint>
#include <string>

#include "engine/base/progress.h"
#include "engine/output/output_result.h"
#include "engine/project/project.h"

namespace pelko {

enum class VideoFormat { Mp4, WebM };

struct VideoFileOptions {
    VideoFormat format = VideoFormat::Mp4;
    int crf = 23;                   // H.264: 0..51, VP9: 0..63
    std::string preset = "medium";  // H.264 only
    std::int64_t maxBytes = 0;      // > 0: a two-pass bitrate that fits the file under this size
    std::string soundFile;          // when not empty, the sound track in place of the project's
    bool withoutSound = false;      // no sound track, whatever the project and soundFile say
};

// Writes every frame on a white canvas of the project's size (odd sizes
// padded by repeating the last row or column), each frame at its own time.
// Failures are worded as generateGifFile's; a failure leaves no file. With
// maxBytes, result.budget says the bit rate chosen and the mean PSNR of the
// file against the frames; when even the lowest setting does not fit,
// nothing is written and the failure (OverBudget) names the smallest size
// reached. A sound that cannot be used is left out and named, as the AVI's.
OutputResult generateVideoFile(const Project& project, const std::string& path,
                               const VideoFileOptions& options, ProgressSink& progress = noProgress());

}  // namespace pelko
