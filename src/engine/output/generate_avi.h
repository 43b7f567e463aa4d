#pragma once
// Writing the frame list into one AVI file.

#include <string>
#include <vector>

#include "engine/avi/avi_result.h"
#include "engine/avi/video_codecs.h"
#include "engine/base/progress.h"
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

// What generation tells beside its result code.
struct AviGenerateReport {
    // What the window shows in message boxes, in order: the program's fixed
    // text, and on a line of its own "FILE: reason" where there is one.
    std::vector<std::string> messages;
    // "FILE: reason" of the failure that ended generation; empty on success.
    std::string failure;
    // "FILE.wav: reason" when the sound asked for was left out of the AVI.
    std::string soundDropped;
};

// Writes every frame, on a white canvas of the project's size at its place,
// each lasting the project's AVI frame time, then the project's sound when
// it has one. Returns AVIERR_OK, AVIERR_ERROR when the file could not be
// started or a frame not made (the cases that end generation for good), or
// the result code that stopped it (AVIERR_USERABORT when cancelled); callers
// that show it use AviResultText. A sound that cannot be used (missing, not
// linear PCM, no samples) is checked before the first frame and left out:
// the AVI is written without it and report.soundDropped says why. The file
// replaces an existing one only when it is complete; a failure leaves none.
AviResult GenerateAvi(const Project& project, const std::string& fileName, const AviGenerateOptions& options,
                      AviGenerateReport& report, ProgressSink& progress = noProgress());

// The command's retry rule: a result other than AVIERR_OK, AVIERR_USERABORT
// and AVIERR_ERROR (a codec or write failure) starts the AVI over.
bool endsAviAttempts(AviResult result);

// Generates again while endsAviAttempts says no, at most maxAttempts times.
// The report gathers every attempt's messages; failure and soundDropped are
// the last attempt's.
AviResult GenerateAviWithRetry(const Project& project, const std::string& fileName,
                               const AviGenerateOptions& options, AviGenerateReport& report, int maxAttempts,
                               ProgressSink& progress = noProgress());

}  // namespace pelko
