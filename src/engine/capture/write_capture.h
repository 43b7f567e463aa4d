#pragma once
// Writing the captured pictures, in grab order, as one AVI or animated GIF.
//
// The AVI: every picture one frame of durationMs, no sound, in the codec
// chosen beforehand (uncompressed without a choice). The GIF: each picture
// reduced with nearest colour, quantize and 8 bits, compressed with LZW, at
// (0, 0), the first frame looping endlessly, every frame delayed durationMs
// div 10 and not transparent. The GIF is written as a stream: one frame's
// pixels at a time.
//
// A recording's pictures carry their times: in the GIF each is delayed for
// as long as it was on the screen, and in the AVI (durationMs being then the
// recording's frame period) each fills the frame periods until the next
// picture, so both files last as long as the recording did.
//
// A capture goes into the work folder under a name no file has yet (Capture,
// Capture1, ...): it is written under a temporary name there and linked under
// the first free name only when complete, so neither an existing file nor a
// file taken meanwhile is ever replaced.

#include <string>
#include <vector>

#include "engine/avi/avi_result.h"
#include "engine/avi/video_codecs.h"
#include "engine/base/progress.h"
#include "engine/capture/capture_settings.h"
#include "engine/capture/captured_pictures.h"

namespace pelko {

struct CaptureAviReport {
    // The message box texts, in order: the program's fixed text, and on a
    // line of its own "FILE: reason" where there is one.
    std::vector<std::string> messages;
};

// Writes the AVI at path (an existing file is replaced only by a complete
// one). compress: the chosen codec, or nullptr for uncompressed frames.
// AVIERR_OK; AVIERR_ERROR when the file cannot be started or a picture not
// read back; AVIERR_USERABORT when progress asked to stop; otherwise the
// codec's or writer's code (the caller may let the user choose again; see
// endsAviAttempts). A failure leaves no file.
AviResult writeCaptureAvi(const CapturedPictures& pictures, const std::string& path, int durationMs,
                          const CompressOptions* compress, CaptureAviReport& report,
                          ProgressSink& progress = noProgress());

// Writes the GIF at path as above. False when progress asked to stop
// (nothing written). Throws OutputFileError ("PATH: reason") or the codec's
// exception; a failure leaves no file.
bool writeCaptureGif(const CapturedPictures& pictures, const std::string& path, int durationMs,
                     ProgressSink& progress = noProgress());

// The codec defaults the GIF capture uses, stored as the process-wide
// GIFImageDefault... values (the user-interface thread calls it before the
// write).
void storeCaptureGifDefaults();

// ".avi" or ".gif".
const char* captureExtension(CaptureFormat format);

// The temporary name in folder under which a capture is written before it
// gets its own (a name of the kind a later write removes if this process
// dies before it is done).
std::string captureStagingPath(const std::string& folder, CaptureFormat format);

// Gives the complete file at stagedPath the first free name of folder/base
// (base, base1, base2, ... + extension) and drops the staging name. Returns
// the new path. Throws OutputFileError ("PATH: reason").
std::string claimFreeName(const std::string& stagedPath, const std::string& folder, const std::string& base,
                          const std::string& extension);

}  // namespace pelko
