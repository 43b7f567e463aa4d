#include "engine/avi/wav.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace pelko {
namespace {

WaveFormat parseFormat(const std::uint8_t* p)
{
    WaveFormat f;
    f.formatTag = readLe16(p);
    f.channels = readLe16(p + 2);
    f.samplesPerSec = readLe32(p + 4);
    f.avgBytesPerSec = readLe32(p + 8);
    f.blockAlign = readLe16(p + 12);
    f.bitsPerSample = readLe16(p + 14);
    f.extraSize = readLe16(p + 16);
    return f;
}

std::optional<RiffChunk> findRiff(RiffSource& src)
{
    return findChunk(src, 0, src.size(), fourCC("RIFF"));
}

}  // namespace

bool readWavLayout(RiffSource& src, WavLayout& layout)
{
    const auto riff = findRiff(src);
    if (!riff || riff->available < 4)
        return false;
    const auto fmt = findChunk(src, riff->contentOffset(), riff->dataEnd(), fourCC("fmt "));
    const auto data = findChunk(src, riff->contentOffset(), riff->dataEnd(), fourCC("data"));
    if (!fmt || !data || fmt->available < 16)
        return false;
    std::uint8_t f[40] = {};
    const std::size_t n = std::size_t(std::min<std::uint64_t>(fmt->available, sizeof f));
    if (!src.read(fmt->dataOffset, f, n))
        return false;
    layout.format = parseFormat(f);
    if (n < 18)
        layout.format.extraSize = 0;
    // WAVE_FORMAT_EXTENSIBLE whose sub-format GUID starts with the PCM tag.
    if (layout.format.formatTag == kWaveFormatExtensible && n >= 40 && readLe16(f + 24) == kWaveFormatPcm)
        layout.format.formatTag = kWaveFormatPcm;
    layout.format.extraSize = 0;
    layout.dataOffset = data->dataOffset;
    layout.dataSize = data->size;
    layout.dataAvailable = data->available;
    return true;
}

bool isUsablePcm(const WaveFormat& f)
{
    const int bits = f.bitsPerSample;
    return f.formatTag == kWaveFormatPcm && f.channels > 0 && f.samplesPerSec > 0 &&
           (bits == 8 || bits == 16 || bits == 24 || bits == 32) && f.blockAlign == f.channels * (bits / 8);
}

bool ReadWavFormat(const std::string& fileName, WaveFormat& format)
{
    FileRiffSource src(fileName);
    WavLayout layout;
    if (!src.isOpen() || !readWavLayout(src, layout) || !isUsablePcm(layout.format))
        return false;
    format = layout.format;
    return true;
}

std::string mmioErrorMessage(int code)
{
    return "MMIO Error. Error Code: " + std::to_string(code);
}

WavDuration WavDurationMs(const std::string& fileName)
{
    FileRiffSource src(fileName);
    if (!src.isOpen()) {
        WavDuration r;
        r.message = "Error opening file.";
        r.caption = "Error Message";
        return r;
    }
    return wavDuration(src);
}

WavDuration wavDuration(RiffSource& src)
{
    WavDuration r;
    const auto fail = [&r](int code) {
        r.message = mmioErrorMessage(code);
        r.caption = "MMIO Error";
        return r;
    };
    const auto riff = findRiff(src);
    if (!riff)
        return fail(kMmioErrChunkNotFound);
    const std::uint64_t begin = riff->contentOffset(), end = riff->dataEnd();
    const auto fmtChunk = findChunk(src, begin, end, fourCC("fmt "));
    if (!fmtChunk)
        return fail(kMmioErrChunkNotFound);
    std::uint8_t f[18] = {};
    if (!src.read(fmtChunk->dataOffset, f, std::size_t(std::min<std::uint64_t>(fmtChunk->available, 18))))
        return fail(kMmioErrCannotRead);
    const WaveFormat format = parseFormat(f);

    // Compressed sound: the fact chunk's sample count gives the time.
    if (const auto fact = findChunk(src, begin, end, fourCC("fact"))) {
        std::uint8_t c[4] = {};
        src.read(fact->dataOffset, c, std::size_t(std::min<std::uint64_t>(fact->available, 4)));
        if (format.formatTag != kWaveFormatPcm) {
            if (format.samplesPerSec == 0)
                return r;
            r.ms = std::int32_t(std::uint32_t(std::uint64_t(readLe32(c)) * 1000 / format.samplesPerSec));
            return r;
        }
    }
    const auto data = findChunk(src, begin, end, fourCC("data"));
    if (!data)
        return fail(kMmioErrChunkNotFound);
    const std::uint64_t den = std::uint64_t(format.bitsPerSample) * format.channels * format.samplesPerSec;
    if (den == 0)
        return r;
    // The size as declared, as the sound dialogs have always shown it.
    r.ms = std::int32_t(std::uint32_t(std::uint64_t(data->size) * 8000 / den));
    return r;
}

}  // namespace pelko
