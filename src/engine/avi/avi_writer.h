#pragma once
// AviWriter: writes one AVI file with one video stream whose frames all last
// the same time, in the codec chosen once before the first frame (uncompressed
// frames when none is chosen), and optionally one PCM sound stream.
//
// Calling order: OpenAviWriter; optionally ChooseVideoCodec before the first
// frame; WriteVideoFrame once per frame; WriteWavSound any number of times;
// CloseAviWriter. Every operation returns a result code (avi_result.h).
// After the first failure of the file or codec layer the writer is failed and
// every later operation returns AVIERR_ERROR; argument errors (BADHANDLE,
// BADPARAM, BADFLAGS, BADSIZE, BADFORMAT) leave it usable.
//
// The file is written into an unnamed temporary file beside the target
// (OutputFile) and put in place of the target only by a successful
// CloseAviWriter, so a failure never leaves a partial file in place of a good
// one, and a killed process leaves nothing. A writer destroyed without
// CloseAviWriter, or one that failed while writing video, leaves no file.
// A writer that failed only on its sound (the WAV file could not be opened or
// written) still closes into a valid AVI without that sound.
//
// Memory stays at about one frame whatever the length: frames are encoded and
// written one at a time, without interleaving buffers. Sound written after the
// first frame goes straight into the file when its format was known when the
// first frame was written (passed to OpenAviWriter, or an earlier
// WriteWavSound); otherwise it is held in a temporary file and CloseAviWriter
// copies the video into a new file beside it, a second pass over the video.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "engine/avi/avi_result.h"
#include "engine/avi/video_codecs.h"
#include "engine/avi/wav.h"
#include "engine/image/picture.h"

namespace pelko {

class AviWriter;

struct AviWriterDeleter {
    void operator()(AviWriter* writer) const;  // discards an unfinished file
};
using AviWriterPtr = std::unique_ptr<AviWriter, AviWriterDeleter>;

// Source kinds of WriteWavSound.
constexpr std::uint32_t SND_MEMORY = 0x0004;
constexpr std::uint32_t SND_FILENAME = 0x20000;

// Starts an AVI file whose frames last framePeriodMs each (below 1 counts as
// 1). audioFormat, when given, fixes the sound format ahead of the sound.
// Returns nullptr when the file cannot be created, with "FILE: reason" in
// error when given.
AviWriterPtr OpenAviWriter(const std::string& fileName, std::int32_t framePeriodMs,
                           const WaveFormat* audioFormat = nullptr, std::string* error = nullptr);

// Finishes the file and puts it in place of the target. 0 when done or when
// the writer had failed (nothing is then written); AVIERR_BADHANDLE for none;
// the code of the failure when finishing the file fails, with "FILE: reason"
// in error when given.
AviResult CloseAviWriter(AviWriterPtr writer, std::string* error = nullptr);

// "FILE: reason" of the first failure of the file or codec layer (the
// system's text for a failed write, "the mpeg4 encoder: ..." for a codec),
// empty when there is none.
std::string AviWriterError(const AviWriter* writer);

// Sets the codec from the first frame's picture (its size fixes the stream's).
// options may be nullptr (uncompressed unless the chooser picks another). With
// showWindow and a chooser, the chooser is asked first; declining gives
// AVIERR_USERABORT and fails the writer. A second call gives AVIERR_COMPRESSOR.
AviResult ChooseVideoCodec(AviWriter* writer, const Picture* picture, const CompressOptions* options,
                           bool showWindow, VideoCodecChooser* chooser);

// Appends one frame. Every frame must have the size of the first
// (AVIERR_BADSIZE otherwise).
AviResult WriteVideoFrame(AviWriter* writer, const Picture* picture);

// Appends the samples of a PCM WAV file: source is a NUL-terminated file name
// for SND_FILENAME, or memorySize bytes of a WAV image for SND_MEMORY.
AviResult WriteWavSound(AviWriter* writer, const void* source, std::uint32_t kind,
                        std::size_t memorySize = 0);
inline AviResult WriteWavSound(AviWriter* writer, const std::string& fileName)
{
    return WriteWavSound(writer, fileName.c_str(), SND_FILENAME);
}
inline AviResult WriteWavSound(AviWriter* writer, std::span<const std::uint8_t> image)
{
    return WriteWavSound(writer, image.data() ? image.data() : reinterpret_cast<const std::uint8_t*>(""),
                         SND_MEMORY, image.size());
}

// Size in bytes of one uncompressed frame: rows of 3 bytes per pixel padded to
// a multiple of 4 bytes.
std::uint32_t dibImageSize(int width, int height);

}  // namespace pelko
