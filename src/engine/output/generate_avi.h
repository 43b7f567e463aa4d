#pragma once
// Writing the frame list into one AVI file.

#include <string>
#include <vector>

#include "engine/avi/avi_result.h"
#include "engine/avi/video_codecs.h"
#include "engine/base/progress.h"
#include "engine/output/output_result.h"
#include "engine/output/output_state.h"
#include "engine/project/project.h"

namespace pelko {

struct AviGenerateOptions {
    bool showCodecWindow = true;  // ask the chooser on the first frame
    CompressOptions compress;     // the codec proposed, or used without the chooser
    VideoCodecChooser* chooser = nullptr;
    std::string soundFile;      // when not empty, the sound track in place of the project's
    bool withoutSound = false;  // no sound track, whatever the project and soundFile say
};

// Writes every frame, on a white canvas of the project's size at its place,
// each lasting the project's AVI frame time, then the project's sound when
// it has one. A sound that cannot be used (missing, not linear PCM, no
// samples) is checked before the first frame and left out: the AVI is
// written without it, result.soundDropped says why and a message box tells
// it. The file replaces an existing one only when it is complete; a failure
// leaves none. Cancelling through progress, or in the codec chooser, ends
// it cancelled; the chooser's cancel has a message box ("AVIERR_USERABORT").
// canRetry is set for a codec or writer failure: a file that cannot be
// started or a frame that cannot be made ends generation for good.
OutputResult generateAviFile(const Project& project, const std::string& fileName,
                             const AviGenerateOptions& options, ProgressSink& progress = noProgress());

// Generates again while canRetry says so, at most maxAttempts times. The
// result is the last attempt's with every attempt's message boxes.
OutputResult generateAviFileWithRetry(const Project& project, const std::string& fileName,
                                      const AviGenerateOptions& options, int maxAttempts,
                                      ProgressSink& progress = noProgress());

// The command's retry rule on a result code: a result other than AVIERR_OK,
// AVIERR_USERABORT and AVIERR_ERROR (a codec or write failure) starts the
// AVI over. (OutputResult::canRetry is its negation.)
bool endsAviAttempts(AviResult result);

}  // namespace pelko
