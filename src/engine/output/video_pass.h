#pragma once
// One encoding of the frame list for the MP4 and WebM outputs: every frame
// composed on a white canvas, one at a time, and handed to the video
// encoder at its own time, with the sound track encoded in step. A pass
// writes into a VideoFileWriter, or (the first pass of a two-pass encode)
// only gathers the encoder's statistics and counts the sound's bytes.
//
// Only for code that has loaded the video libraries (videoLibrary()).

#include <cstdint>
#include <string>
#include <vector>

#include "engine/avi/wav.h"
#include "engine/base/progress.h"
#include "engine/image/picture.h"
#include "engine/output/generate_video.h"
#include "engine/output/output_result.h"
#include "engine/output/video_encoder.h"
#include "engine/output/video_file_writer.h"

namespace pelko {

// What every pass of one output shares.
struct VideoJob {
    const Project& project;
    std::string path;
    VideoFileOptions options;
    std::string wav;  // the sound file, when there is a usable one
    WavLayout sound;
    // Each frame's time and how long it lasts, in milliseconds: its own
    // time, at least 1 ms so that every frame has a time of its own.
    std::vector<std::int64_t> start;
    std::vector<std::int64_t> duration;
    std::int64_t totalMs = 0;
    int frameTimeMs = 0;  // the time every frame lasts, or their mean

    VideoJob(const Project& p, std::string file, const VideoFileOptions& o);
    int frameCount() const { return int(start.size()); }
    bool withSound() const { return !wav.empty(); }
};

// Frame index on a white canvas of the project's size, as the AVI has it.
// False with the failure added to result (the frame's log line).
bool composeVideoFrame(const VideoJob& job, int index, Picture& canvas, OutputResult& result);

enum class PassEnd { Done, Failed, Cancelled };

struct PassReport {
    std::uint64_t soundBytes = 0;  // the sound packets' bytes
    std::uint64_t videoBytes = 0;  // the video packets' bytes
    std::string firstPassStats;    // VP9's statistics of a first pass
    bool encoderRefused = false;   // the video encoder did not open with the settings
};

// Runs one pass with settings (size and frame time are filled in from
// job). writer null: a first pass that writes nothing. Progress goes from
// progressFrom to progressTo percent. A failure is added to result.
PassEnd runVideoPass(const VideoJob& job, VideoEncoderSettings settings, VideoFileWriter* writer,
                     PassReport& report, OutputResult& result, ProgressSink& progress, int progressFrom,
                     int progressTo);

}  // namespace pelko
