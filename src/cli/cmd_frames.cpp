// pelko-cli frames FILE.gif OUTDIR [--format ppm]: every frame of a GIF file
// that has pixels, as a 24-bit picture through the frame's active colour map.

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>

#include "cli/command.h"
#include "cli/picture_input.h"
#include "engine/base/output_file.h"
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

// The frame's indices through its active colour map as a 24-bit picture.
Picture framePicture(const TGIFSubImage& frame)
{
    const std::array<Color, 256> colors = indexColors(frame.GetActiveColorMap());
    Picture picture(frame.GetWidth(), frame.GetHeight());
    const std::uint8_t* src = frame.Data().data();
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* dst = picture.row(y);
        for (int x = 0; x < picture.width(); ++x, ++src, dst += 3) {
            const Color c = colors[*src];
            dst[0] = blueOf(c);
            dst[1] = greenOf(c);
            dst[2] = redOf(c);
        }
    }
    return picture;
}

// The pictures written so far by this run, taken back when a later one
// fails: only the files that were not there before, and the folders this run
// made. A file that replaced an older one stays, complete.
class WrittenFrames {
public:
    explicit WrittenFrames(const std::filesystem::path& dir) : dir_(dir) {}
    ~WrittenFrames()
    {
        if (done_)
            return;
        std::error_code ec;
        for (const auto& f : created_) std::filesystem::remove(f, ec);
        for (auto it = madeDirs_.rbegin(); it != madeDirs_.rend(); ++it) std::filesystem::remove(*it, ec);
    }
    // Makes the folder and those above it that are missing. False with errno.
    bool makeFolder()
    {
        std::filesystem::path p;
        for (const auto& part : dir_) {
            p /= part;
            if (::mkdir(p.c_str(), 0777) == 0)
                madeDirs_.push_back(p);
            else if (errno != EEXIST)
                return false;
        }
        struct stat st {};
        if (::stat(dir_.c_str(), &st) != 0)
            return false;
        if (!S_ISDIR(st.st_mode)) {
            errno = ENOTDIR;
            return false;
        }
        return true;
    }
    void write(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes)
    {
        struct stat st {};
        const bool existed = ::lstat(file.c_str(), &st) == 0;
        writeOutputFile(file.string(), bytes);
        if (!existed)
            created_.push_back(file);
    }
    void keep() { done_ = true; }

private:
    std::filesystem::path dir_;
    std::vector<std::filesystem::path> created_, madeDirs_;
    bool done_ = false;
};

constexpr OptionHelp kFramesHelp[] = {
    {"--format ppm", "the pictures' format; ppm is the only one (default ppm)"},
};

int runFrames(const Args& arguments)
{
    Args args = arguments;
    std::string format = "ppm";
    takeOption(args, "--format", format);
    if (args.size() != 2 || format != "ppm")
        return usage("frames");
    const std::string& path = args[0];
    const std::filesystem::path outDir = args[1];

    // The whole GIF is read first: a file with an error gives no pictures.
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!readBytes(path, bytes, error))
        return fail(error);
    TGIFImage image;
    try {
        image.LoadFromBytes(bytes.data(), bytes.size());
    } catch (const std::bad_alloc&) {
        return fail(path + ": not enough memory to read the GIF");
    } catch (const std::exception& e) {
        return fail(path + ": GIF: " + e.what());
    }

    WrittenFrames written(outDir);
    if (!written.makeFolder())
        return fail(systemErrorText(outDir.string(), errno));
    int count = 0;
    try {
        for (const auto& frame : image.Images()) {
            if (frame->GetEmpty())
                continue;
            char name[32];
            std::snprintf(name, sizeof name, "%04d.ppm", count++);
            written.write(outDir / name, encodePpm(framePicture(*frame)));
        }
    } catch (const OutputFileError& e) {
        return fail(e.what());
    } catch (const std::bad_alloc&) {
        return fail(outDir.string() + ": not enough memory for frame " + std::to_string(count - 1));
    } catch (const std::exception& e) {
        return fail(outDir.string() + ": " + e.what());
    }
    written.keep();
    std::cout << count << " frames written to " << outDir.string() << '\n';
    return kExitOk;
}

}  // namespace

PELKO_CLI_COMMAND("frames", "FILE.gif OUTDIR [--format ppm]",
                  "write every frame of a GIF file as a picture 0000.ppm, 0001.ppm, ...", runFrames,
                  optionHelp({kFramesHelp}));

}  // namespace pelko::cli
