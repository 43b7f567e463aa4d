#include "engine/output/animated_webp.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <memory>
#include <new>
#include <stdexcept>

#include "engine/base/output_file.h"
#include "engine/output/animation_canvas.h"
#include "engine/output/checked_output.h"

namespace pelko {
namespace {

struct EncoderDeleter {
    void operator()(WebPAnimEncoder* e) const { WebPAnimEncoderDelete(e); }
};

// A picture that frees what WebPPictureImportRGBA allocated.
struct PictureGuard {
    WebPPicture picture;
    PictureGuard() { WebPPictureInit(&picture); }
    ~PictureGuard() { WebPPictureFree(&picture); }
};

WebPConfig configOf(const WebpOptions& o)
{
    WebPConfig config;
    if (!WebPConfigInit(&config))
        throw std::runtime_error("the WebP library does not match its headers");
    const int quality = std::clamp(o.quality, 0, 100);
    if (o.lossless) {
        WebPConfigLosslessPreset(&config, quality * 9 / 100);
    } else {
        config.quality = float(quality);
        config.method = 4;
        // The sharp conversion keeps coloured edges (text, drawings) close
        // for a few more bytes; the spatial noise shaping, which moves bits
        // to where the eye looks, is off: every pixel is to stay close.
        config.use_sharp_yuv = 1;
        config.sns_strength = 0;
    }
    config.thread_level = 1;
    return config;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> buildAnimatedWebp(const Project& project, const WebpOptions& options,
                                                           ProgressSink& progress)
{
    const ProjectSettings& s = project.settings;
    const int width = std::max(1, s.Width), height = std::max(1, s.Height);
    if (width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION)
        throw std::runtime_error("a WebP picture is at most " + std::to_string(WEBP_MAX_DIMENSION) +
                                 " pixels wide and high");
    WebPAnimEncoderOptions eo;
    if (!WebPAnimEncoderOptionsInit(&eo))
        throw std::runtime_error("the WebP library does not match its headers");
    eo.anim_params.loop_count = options.loops;
    eo.anim_params.bgcolor = 0;  // transparent
    eo.minimize_size = options.minimizeSize;
    // Trying every frame lossless as well (allow_mixed) costs a second
    // encode and gained nothing on recordings and photographs alike.
    eo.allow_mixed = 0;
    if (options.keyFrameSpacing > 0) {
        eo.kmax = options.keyFrameSpacing;
        eo.kmin = options.keyFrameSpacing == 1 ? 1 : options.keyFrameSpacing / 2 + 1;
    }
    std::unique_ptr<WebPAnimEncoder, EncoderDeleter> encoder(WebPAnimEncoderNew(width, height, &eo));
    if (!encoder)
        throw std::bad_alloc();
    const WebPConfig config = configOf(options);
    const int n = project.frames.count();
    int timestamp = 0;
    const bool whole =
        composeFrames(project, options.jobs, progress, [&](int i, const AnimationCanvas& canvas) {
            PictureGuard p;
            p.picture.use_argb = 1;
            p.picture.width = canvas.width();
            p.picture.height = canvas.height();
            if (!WebPPictureImportRGBA(&p.picture, canvas.rgba(), canvas.width() * 4))
                throw std::bad_alloc();
            if (!WebPAnimEncoderAdd(encoder.get(), &p.picture, timestamp, &config))
                throw std::runtime_error(WebPAnimEncoderGetError(encoder.get()));
            // each frame lasts at least a millisecond: the timestamps must grow
            timestamp += std::max<int>(1, project.frames[std::size_t(i)].Time);
            progress.progress((i + 1) * 95 / std::max(1, n));
            return true;
        });
    if (!whole)
        return std::nullopt;
    if (!WebPAnimEncoderAdd(encoder.get(), nullptr, timestamp, nullptr))
        throw std::runtime_error(WebPAnimEncoderGetError(encoder.get()));
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAssemble(encoder.get(), &data))
        throw std::runtime_error(WebPAnimEncoderGetError(encoder.get()));
    std::vector<std::uint8_t> bytes(data.bytes, data.bytes + data.size);
    WebPDataClear(&data);
    return bytes;
}

OutputResult generateWebpFile(const Project& project, const WebpOptions& options, const std::string& path,
                              ProgressSink& progress)
{
    return checkedOutputWrite(
        path,
        [&] {
            const auto bytes = buildAnimatedWebp(project, options, progress);
            if (!bytes)
                return false;
            writeOutputFile(path, *bytes);
            progress.progress(100);
            return true;
        },
        "not enough memory to build the animated WebP");
}

}  // namespace pelko
