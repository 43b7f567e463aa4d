#pragma once
// "Save frame" and "Copy" without the window: the picture of a frame as the
// preview shows it, that picture as a BMP, still GIF, JPEG or PNG file with
// the export settings, and the JPEG dialog's "After".

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/export/export_settings.h"
#include "engine/image/picture.h"
#include "engine/output/output_result.h"
#include "engine/project/frame_record.h"
#include "engine/project/project.h"

namespace pelko {

// Frame index's frame image at the frame's own Width x Height, as the
// preview shows it (composed, mirrored, greyed, inverted). A frame whose
// source has gone gives what the frame cache still holds of it, or the
// white frame the preview then shows; the cache notes the problem for the
// log. Throws std::out_of_range for an index outside the list.
Picture exportPicture(const Project& project, int index);

// A still GIF of the picture: a new image with the settings' reduction,
// dither mode, bits and compression takes the picture (transparent with the
// settings' colour when their flag is set), its colour maps merged into one
// global map. Raises the GIF codec's exceptions (a picture of more than 256
// colours without reduction: "Color table overflow").
std::vector<std::uint8_t> encodeStillGif(const Picture& picture, const GifFrameSettings& settings);

// The PNG of the picture: the settings' transparent colour stored in every
// case, Adam7 when interlaced, the settings' compression level.
std::vector<std::uint8_t> encodeExportPng(const Picture& picture, const ExportSettings& settings);

// The file's bytes in format (not None) with the settings.
std::vector<std::uint8_t> encodeExport(const Picture& picture, ExportFormat format,
                                       const ExportSettings& settings);

// The JPEG dialog's "After": the picture compressed at quality and decoded
// again, and the size of that JPEG file.
struct JpegPreview {
    Picture after;
    std::size_t bytes = 0;
};
JpegPreview jpegPreview(const Picture& picture, int quality);

// Writes picture to path in the format its extension selects, through a
// temporary file that replaces path only when complete (the old file stays
// as it was on any failure). Throws std::runtime_error: "Unable to write to
// PATH: reason" when the file cannot be written or put in place, "PATH:
// reason" when the codec refuses the picture. Returns false without writing
// for an extension that selects no format.
bool saveExport(const Picture& picture, const std::string& path, const ExportSettings& settings);

// saveExport as "Save frame" and pelko-cli export call it: how it ended, its
// failure worded ("Unable to write to PATH: reason", "PATH: reason", "PATH:
// not enough memory to save the frame"). An extension of no format fails
// with nothing written.
OutputResult saveFrameFile(const Picture& picture, const std::string& path, const ExportSettings& settings);

}  // namespace pelko
