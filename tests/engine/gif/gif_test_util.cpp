#include "gif_test_util.h"

#include <cstdlib>
#include <cstring>

#ifdef PELKO_HAVE_GIFLIB
#include <gif_lib.h>
#endif

namespace pelko::test {

#ifdef PELKO_HAVE_GIFLIB
namespace {
struct MemoryReader {
    const Bytes* bytes;
    std::size_t pos = 0;
};

int readMemory(GifFileType* gif, GifByteType* dst, int n)
{
    auto* r = static_cast<MemoryReader*>(gif->UserData);
    const std::size_t left = r->bytes->size() - r->pos;
    const std::size_t take = std::min<std::size_t>(left, std::size_t(n));
    std::memcpy(dst, r->bytes->data() + r->pos, take);
    r->pos += take;
    return int(take);
}
}  // namespace

RefImage readWithGiflib(const Bytes& bytes)
{
    RefImage ref;
    MemoryReader reader{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readMemory, &error);
    if (!gif) {
        ref.error = error;
        return ref;
    }
    ref.ok = DGifSlurp(gif) == GIF_OK;
    ref.error = gif->Error;
    ref.width = gif->SWidth;
    ref.height = gif->SHeight;
    ref.globalColors = gif->SColorMap ? gif->SColorMap->ColorCount : 0;
    if (ref.ok) {
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& s = gif->SavedImages[i];
            RefFrame f;
            f.left = s.ImageDesc.Left;
            f.top = s.ImageDesc.Top;
            f.width = s.ImageDesc.Width;
            f.height = s.ImageDesc.Height;
            f.interlaced = s.ImageDesc.Interlace;
            f.localColors = s.ImageDesc.ColorMap ? s.ImageDesc.ColorMap->ColorCount : 0;
            const ColorMapObject* map = s.ImageDesc.ColorMap ? s.ImageDesc.ColorMap : gif->SColorMap;
            if (map)
                for (int c = 0; c < map->ColorCount; ++c)
                    f.colors.push_back(rgb(map->Colors[c].Red, map->Colors[c].Green, map->Colors[c].Blue));
            if (s.RasterBits)
                f.pixels.assign(s.RasterBits, s.RasterBits + std::size_t(f.width) * std::size_t(f.height));
            GraphicsControlBlock gcb;
            if (DGifSavedExtensionToGCB(gif, i, &gcb) == GIF_OK) {
                f.hasGce = true;
                f.delay = gcb.DelayTime;
                f.disposal = gcb.DisposalMode;
                f.transparent = gcb.TransparentColor;
            }
            ref.frames.push_back(std::move(f));
        }
    }
    DGifCloseFile(gif, &error);
    return ref;
}
#endif

namespace {
// Tracks the code width the way a decoder does.
struct Widths {
    int s, size, nextFree;
    bool first = true;
    explicit Widths(int s_) : s(s_), size(s_ + 1), nextFree((1 << s_) + 2) {}
    void after(int code)
    {
        const int clear = 1 << s;
        if (code == clear) {
            size = s + 1;
            nextFree = clear + 2;
            first = true;
            return;
        }
        if (first) {
            first = false;
            return;
        }
        if (nextFree < 4096) {
            ++nextFree;
            if (nextFree == (1 << size) && size < 12)
                ++size;
        }
    }
};
}  // namespace

Bytes packCodes(int s, const std::vector<int>& codes)
{
    Bytes out;
    Widths w(s);
    std::uint64_t bucket = 0;
    int bits = 0;
    for (int code : codes) {
        bucket |= std::uint64_t(code) << bits;
        bits += w.size;
        while (bits >= 8) {
            out.push_back(std::uint8_t(bucket));
            bucket >>= 8;
            bits -= 8;
        }
        w.after(code);
    }
    if (bits > 0)
        out.push_back(std::uint8_t(bucket));
    return out;
}

std::vector<int> unpackCodes(const Bytes& imageData)
{
    std::vector<int> codes;
    if (imageData.empty())
        return codes;
    const int s = imageData[0];
    Bytes data;
    for (std::size_t i = 1; i < imageData.size() && imageData[i] != 0;) {
        const std::size_t n = imageData[i];
        data.insert(data.end(), imageData.begin() + std::ptrdiff_t(i) + 1,
                    imageData.begin() + std::ptrdiff_t(std::min(i + 1 + n, imageData.size())));
        i += 1 + n;
    }
    Widths w(s);
    std::size_t bitPos = 0;
    while (bitPos + std::size_t(w.size) <= data.size() * 8) {
        int code = 0;
        for (int b = 0; b < w.size; ++b, ++bitPos) code |= ((data[bitPos / 8] >> (bitPos % 8)) & 1) << b;
        codes.push_back(code);
        if (code == (1 << s) + 1)
            break;
        w.after(code);
    }
    return codes;
}

void appendSubBlocks(Bytes& out, const Bytes& data, std::size_t blockSize)
{
    for (std::size_t at = 0; at < data.size(); at += blockSize) {
        const std::size_t n = std::min(blockSize, data.size() - at);
        out.push_back(std::uint8_t(n));
        out.insert(out.end(), data.begin() + std::ptrdiff_t(at), data.begin() + std::ptrdiff_t(at + n));
    }
    out.push_back(0);
}

Bytes gifHeader(int width, int height, int globalBits, const char* signature)
{
    Bytes out(signature, signature + 6);
    out.push_back(std::uint8_t(width));
    out.push_back(std::uint8_t(width >> 8));
    out.push_back(std::uint8_t(height));
    out.push_back(std::uint8_t(height >> 8));
    out.push_back(globalBits ? std::uint8_t(0x80 | ((globalBits - 1) << 4) | (globalBits - 1)) : 0);
    out.push_back(0);
    out.push_back(0);
    for (int i = 0; globalBits && i < (1 << globalBits); ++i)
        for (int c = 0; c < 3; ++c) out.push_back(std::uint8_t(i * 255 / ((1 << globalBits) - 1)));
    return out;
}

void appendImage(Bytes& out, int left, int top, int width, int height, std::uint8_t packed, int s,
                 const std::vector<int>& codes)
{
    const int v[4] = {left, top, width, height};
    out.push_back(0x2C);
    for (int x : v) {
        out.push_back(std::uint8_t(x));
        out.push_back(std::uint8_t(x >> 8));
    }
    out.push_back(packed);
    out.push_back(std::uint8_t(s));
    appendSubBlocks(out, packCodes(s, codes));
}

void appendGce(Bytes& out, int delay, int disposal, int transparentIndex)
{
    const std::uint8_t packed = std::uint8_t((disposal << 2) | (transparentIndex >= 0 ? 1 : 0));
    const Bytes gce = {0x21,
                       0xF9,
                       4,
                       packed,
                       std::uint8_t(delay),
                       std::uint8_t(delay >> 8),
                       std::uint8_t(transparentIndex >= 0 ? transparentIndex : 0),
                       0};
    out.insert(out.end(), gce.begin(), gce.end());
}

bool runCommand(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

bool haveTool(const std::string& name)
{
    return runCommand("command -v " + name + " >/dev/null 2>&1");
}

}  // namespace pelko::test
