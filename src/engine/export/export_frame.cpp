#include "engine/export/export_frame.h"

#include <new>
#include <stdexcept>

#include "engine/base/output_file.h"
#include "engine/export/bmp_bits.h"
#include "engine/gif_options/still_gif.h"
#include "engine/image/jpeg_codec.h"
#include "engine/image/png_picture.h"
#include "engine/output/output_target.h"
#include "engine/project/composition.h"
#include "engine/project/frame_cache.h"

namespace pelko {

Picture exportPicture(const Project& project, int index)
{
    if (index < 0 || index >= project.frames.count())
        throw std::out_of_range("no frame " + std::to_string(index + 1) + " in the project (it has " +
                                std::to_string(project.frames.count()) + ")");
    const FramePicture image = frameImage(project, index, false);
    return previewPicture(project.frames[std::size_t(index)], image.get());
}

std::vector<std::uint8_t> encodeStillGif(const Picture& picture, const GifFrameSettings& settings)
{
    return stillGifImage(picture, settings, true)->SaveToBytes();
}

std::vector<std::uint8_t> encodeExportPng(const Picture& picture, const ExportSettings& settings)
{
    PngWriteOptions options;
    options.compressionLevel = TCompressionLevel(settings.pngCompressionLevel);
    options.interlace = settings.pngInterlace ? imAdam7 : imNone;
    options.transparent = true;
    options.transparentColor = settings.pngTransparentColor;
    return encodePngPicture(picture, options);
}

std::vector<std::uint8_t> encodeExport(const Picture& picture, ExportFormat format,
                                       const ExportSettings& settings)
{
    switch (format) {
        case ExportFormat::Bmp:
            return encodeBmpBits(picture, isBmpBits(settings.bmpBits) ? settings.bmpBits : 24);
        case ExportFormat::Gif:
            return encodeStillGif(picture, settings.gif.gif);
        case ExportFormat::Jpeg:
            return encodeJpeg(picture, settings.jpegQuality);
        case ExportFormat::Png:
            return encodeExportPng(picture, settings);
        case ExportFormat::None:
            break;
    }
    throw std::invalid_argument("no export format");
}

JpegPreview jpegPreview(const Picture& picture, int quality)
{
    JpegPreview preview;
    if (picture.empty())
        return preview;
    const std::vector<std::uint8_t> bytes = encodeJpeg(picture, quality);
    preview.bytes = bytes.size();
    preview.after = decodeJpeg(bytes.data(), bytes.size());
    return preview;
}

bool saveExport(const Picture& picture, const std::string& path, const ExportSettings& settings)
{
    const ExportFormat format = exportFormatOf(path);
    if (format == ExportFormat::None)
        return false;
    // what keeps the file from its place is told before the picture is encoded
    if (const int problem = replaceProblem(path))
        throw std::runtime_error("Unable to write to " + systemErrorText(path, problem));
    if (const int problem = folderProblem(path))
        throw std::runtime_error("Unable to write to " + systemErrorText(path, problem));
    if (picture.empty())
        throw std::runtime_error(path + ": the frame has no pixels to save");
    std::vector<std::uint8_t> bytes;
    try {
        bytes = encodeExport(picture, format, settings);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
    try {
        writeOutputFile(path, bytes);
    } catch (const OutputFileError& e) {
        throw std::runtime_error(std::string("Unable to write to ") + e.what());
    }
    return true;
}

OutputResult saveFrameFile(const Picture& picture, const std::string& path, const ExportSettings& settings)
{
    OutputResult result;
    try {
        result.ok = saveExport(picture, path, settings);
        if (!result.ok)
            addFailure(result, OutputFailure::Stated, path,
                       path + ": the output must end in .bmp, .gif, .jpg, .jpeg or .png");
    } catch (const std::bad_alloc&) {
        addFailure(result, OutputFailure::FrameMemory, path);
    } catch (const std::exception& e) {
        addFailure(result, OutputFailure::Stated, path, e.what());
    }
    return result;
}

}  // namespace pelko
