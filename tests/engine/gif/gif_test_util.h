#pragma once
// Helpers shared by the GIF codec tests: building small images, collecting
// warnings, and reading GIF bytes with giflib for comparison.

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/gif/gif_extensions.h"
#include "engine/gif/gif_image.h"

namespace pelko::test {

using Bytes = std::vector<std::uint8_t>;

// Collects the warnings an image reports.
struct WarningLog {
    std::vector<std::string> messages;
    void attach(TGIFImage& image)
    {
        image.OnWarning = [this](const void*, TGIFSeverity, const std::string& m) { messages.push_back(m); };
    }
    int count(const std::string& m) const
    {
        int n = 0;
        for (const auto& s : messages) n += s == m;
        return n;
    }
};

// A colour map of n distinct colours.
inline std::vector<Color> distinctColors(int n, std::uint32_t seed = 1)
{
    std::vector<Color> colors;
    for (int i = 0; i < n; ++i)
        colors.push_back(
            rgb(std::uint8_t(i * 37 + seed), std::uint8_t(i * 91 + 7 * seed), std::uint8_t(255 - i)));
    return colors;
}

// Adds a width x height frame at (left, top) with the given pixels (if any)
// and, when local is not empty, its own colour table.
inline TGIFSubImage& addFrame(TGIFImage& image, int left, int top, int width, int height,
                              std::vector<std::uint8_t> pixels, const std::vector<Color>& local = {})
{
    auto frame = std::make_unique<TGIFSubImage>(&image);
    frame->SetLeft(left);
    frame->SetTop(top);
    frame->SetWidth(width);
    frame->SetHeight(height);
    if (!pixels.empty())  // empty keeps the pixels the size made
        frame->Data() = std::move(pixels);
    if (!local.empty())
        frame->ColorMap().ImportPalette(local);
    TGIFSubImage& ref = *frame;
    image.Add(std::move(frame));
    return ref;
}

// Gives a frame a graphic control extension; transparent -1 leaves it opaque.
inline TGIFGraphicControlExtension& addGce(TGIFSubImage& frame, int delay, TDisposalMethod disposal,
                                           int transparent = -1)
{
    auto g = std::make_unique<TGIFGraphicControlExtension>(&frame);
    g->SetDelay(delay);
    g->SetDisposal(disposal);
    if (transparent >= 0) {
        g->SetTransparent(true);
        g->storeTransparentColorIndex(transparent);
    }
    TGIFGraphicControlExtension& ref = *g;
    frame.Extensions().Add(std::move(g));
    return ref;
}

inline std::vector<std::uint8_t> randomPixels(std::size_t n, int colors, std::mt19937& rng, int runBias = 0)
{
    std::vector<std::uint8_t> p(n);
    std::uniform_int_distribution<int> pick(0, colors - 1);
    std::uniform_int_distribution<int> coin(0, 9);
    for (std::size_t i = 0; i < n; ++i)
        p[i] = (i > 0 && coin(rng) < runBias) ? p[i - 1] : std::uint8_t(pick(rng));
    return p;
}

inline std::string testdataGif(const std::string& name)
{
    return std::string(PELKO_TESTDATA) + "/gif/" + name;
}
inline bool haveTestdata()
{
    return std::filesystem::is_directory(std::string(PELKO_TESTDATA) + "/gif");
}

// A frame as giflib reads it.
struct RefFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    int localColors = 0;
    std::vector<Color> colors;  // the colours that apply (local, else global)
    Bytes pixels;
    bool hasGce = false;
    int delay = 0, disposal = 0, transparent = -1;
};
struct RefImage {
    bool ok = false;
    int error = 0;
    int width = 0, height = 0;
    int globalColors = 0;
    std::vector<RefFrame> frames;
};

#ifdef PELKO_HAVE_GIFLIB
RefImage readWithGiflib(const Bytes& bytes);
#endif

// Hand-made streams. Code widths follow the decoder: s + 1 bits after a
// clear, one more each time the next free code reaches a power of two.
Bytes packCodes(int s, const std::vector<int>& codes);
// The codes of image data (code size byte, sub-blocks), as a decoder reads them.
std::vector<int> unpackCodes(const Bytes& imageData);
void appendSubBlocks(Bytes& out, const Bytes& data, std::size_t blockSize = 255);
// "GIF89a", the screen descriptor and a global table of 2^globalBits grey
// entries (none when globalBits is 0).
Bytes gifHeader(int width, int height, int globalBits, const char* signature = "GIF89a");
// An image descriptor (no local table) and its data from codes.
void appendImage(Bytes& out, int left, int top, int width, int height, std::uint8_t packed, int s,
                 const std::vector<int>& codes);
void appendGce(Bytes& out, int delay, int disposal, int transparentIndex /* -1 none */);

// Runs a shell command; true on exit status 0.
bool runCommand(const std::string& command);
bool haveTool(const std::string& name);

}  // namespace pelko::test
