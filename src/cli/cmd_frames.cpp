// pelko-cli frames FILE.gif OUTDIR [--format ppm]: every frame of a GIF file
// that has pixels, as a 24-bit picture through the frame's active colour map.

#include <array>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "cli/command.h"
#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"
#include "engine/image/ppm.h"

namespace pelko::cli {

namespace {

// The colour of every index: the map's entries, and entry 0 for indices past
// its end. A frame without any map is shown in greys.
std::array<Color, 256> indexColors(const TGIFColorMap& map)
{
    std::array<Color, 256> colors{};
    for (int i = 0; i < 256; ++i) {
        if (map.GetCount() == 0) {
            colors[std::size_t(i)] = rgb(std::uint8_t(i), std::uint8_t(i), std::uint8_t(i));
        } else {
            const TGIFColor& e = map.Entry(i < map.GetCount() ? i : 0);
            colors[std::size_t(i)] = rgb(e.Red, e.Green, e.Blue);
        }
    }
    return colors;
}

int runFrames(const Args& arguments)
{
    Args args = arguments;
    std::string format = "ppm";
    takeOption(args, "--format", format);
    if (args.size() != 2 || format != "ppm")
        return usage("frames");
    const std::string& path = args[0];
    const std::filesystem::path outDir = args[1];

    TGIFImage image;
    std::string error;
    try {
        image.LoadFromFile(path);
    } catch (const GIFException& e) {
        // Frames read before the error are still written.
        error = e.what();
    } catch (const std::exception& e) {
        return fail(e.what());
    }

    try {
        std::filesystem::create_directories(outDir);
        int written = 0;
        for (const auto& frame : image.Images()) {
            if (frame->GetEmpty())
                continue;
            const std::array<Color, 256> colors = indexColors(frame->GetActiveColorMap());
            Picture picture(frame->GetWidth(), frame->GetHeight());
            const std::uint8_t* src = frame->Data().data();
            for (int y = 0; y < picture.height(); ++y) {
                std::uint8_t* dst = picture.row(y);
                for (int x = 0; x < picture.width(); ++x, ++src, dst += 3) {
                    const Color c = colors[*src];
                    dst[0] = blueOf(c);
                    dst[1] = greenOf(c);
                    dst[2] = redOf(c);
                }
            }
            char name[32];
            std::snprintf(name, sizeof name, "%04d.ppm", written++);
            writeFile((outDir / name).string(), encodePpm(picture));
        }
        std::cout << written << " frames written to " << outDir.string() << '\n';
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    if (!error.empty())
        return fail(path + ": " + error);
    return kExitOk;
}

}  // namespace

PELKO_CLI_COMMAND("frames", "FILE.gif OUTDIR [--format ppm]",
                  "write every frame of a GIF file as a picture 0000.ppm, 0001.ppm, ...", runFrames);

}  // namespace pelko::cli
