#include "engine/avi/wav.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <system_error>

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

bool readWavLayout(RiffSource& src, WavLayout& layout, std::string* reason)
{
    const auto fail = [reason](const char* why) {
        if (reason)
            *reason = why;
        return false;
    };
    const auto riff = findRiff(src);
    if (!riff || riff->available < 4)
        return fail("not a RIFF file");
    const auto fmt = findChunk(src, riff->contentOffset(), riff->dataEnd(), fourCC("fmt "));
    if (!fmt)
        return fail("no 'fmt ' chunk");
    if (fmt->available < 16)
        return fail("the 'fmt ' chunk is shorter than 16 bytes");
    const auto data = findChunk(src, riff->contentOffset(), riff->dataEnd(), fourCC("data"));
    if (!data)
        return fail("no 'data' chunk");
    std::uint8_t f[40] = {};
    const std::size_t n = std::size_t(std::min<std::uint64_t>(fmt->available, sizeof f));
    if (!src.read(fmt->dataOffset, f, n))
        return fail("the 'fmt ' chunk cannot be read");
    layout.format = parseFormat(f);
    // WAVE_FORMAT_EXTENSIBLE whose sub-format GUID starts with the PCM tag.
    if (layout.format.formatTag == kWaveFormatExtensible && n >= 40 && readLe16(f + 24) == kWaveFormatPcm)
        layout.format.formatTag = kWaveFormatPcm;
    layout.format.extraSize = 0;
    layout.dataOffset = data->dataOffset;
    layout.dataSize = data->size;
    layout.dataAvailable = data->available;
    return true;
}

std::string pcmProblem(const WaveFormat& f)
{
    const int bits = f.bitsPerSample;
    if (f.formatTag != kWaveFormatPcm)
        return "format tag " + std::to_string(f.formatTag) + " is not linear PCM";
    if (f.channels == 0)
        return "the format has 0 channels";
    if (f.samplesPerSec == 0)
        return "the format has 0 samples per second";
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return "the format has " + std::to_string(bits) + " bits per sample (8, 16, 24 or 32 go into an AVI)";
    if (f.blockAlign != f.channels * (bits / 8))
        return "block align " + std::to_string(f.blockAlign) + " does not match " +
               std::to_string(f.channels) + " channels of " + std::to_string(bits) + " bits";
    return {};
}

bool isUsablePcm(const WaveFormat& f)
{
    return pcmProblem(f).empty();
}

bool ReadWavForAvi(const std::string& fileName, WavLayout& layout, std::string& reason)
{
    FileRiffSource src(fileName);
    if (!src.isOpen()) {
        reason = std::error_code(src.openError(), std::generic_category()).message();
        return false;
    }
    if (!readWavLayout(src, layout, &reason))
        return false;
    reason = pcmProblem(layout.format);
    if (!reason.empty())
        return false;
    if (std::min<std::uint64_t>(layout.dataSize, layout.dataAvailable) < layout.format.blockAlign) {
        reason = "no sound samples in the 'data' chunk";
        return false;
    }
    return true;
}

bool ReadWavFormat(const std::string& fileName, WaveFormat& format)
{
    WavLayout layout;
    std::string reason;
    if (!ReadWavForAvi(fileName, layout, reason))
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
        r.reason = std::error_code(src.openError(), std::generic_category()).message();
        return r;
    }
    return wavDuration(src);
}

WavDuration wavDuration(RiffSource& src)
{
    WavDuration r;
    const auto fail = [&r](int code, const char* reason) {
        r.message = mmioErrorMessage(code);
        r.caption = "MMIO Error";
        r.reason = reason;
        return r;
    };
    // A format that gives no playing time is reported as itself.
    const auto unusable = [&r](const std::string& reason) {
        r.message = r.reason = reason;
        r.caption = "Error";
        return r;
    };
    const auto done = [&r, &unusable](std::uint64_t ms) {
        if (ms > std::uint64_t(INT32_MAX))
            return unusable("the playing time is longer than " + std::to_string(INT32_MAX) + " ms");
        r.ms = std::int32_t(ms);
        return r;
    };
    const auto riff = findRiff(src);
    if (!riff)
        return fail(kMmioErrChunkNotFound, "not a RIFF file");
    const std::uint64_t begin = riff->contentOffset(), end = riff->dataEnd();
    const auto fmtChunk = findChunk(src, begin, end, fourCC("fmt "));
    if (!fmtChunk)
        return fail(kMmioErrChunkNotFound, "no 'fmt ' chunk");
    if (fmtChunk->available < 16)
        return unusable("the 'fmt ' chunk is shorter than 16 bytes");
    std::uint8_t f[18] = {};
    if (!src.read(fmtChunk->dataOffset, f, std::size_t(std::min<std::uint64_t>(fmtChunk->available, 18))))
        return fail(kMmioErrCannotRead, "the 'fmt ' chunk cannot be read");
    const WaveFormat format = parseFormat(f);
    if (format.channels == 0)
        return unusable("the format has 0 channels");
    if (format.samplesPerSec == 0)
        return unusable("the format has 0 samples per second");

    // Compressed sound: the fact chunk's sample count gives the time.
    if (const auto fact = findChunk(src, begin, end, fourCC("fact"))) {
        std::uint8_t c[4] = {};
        src.read(fact->dataOffset, c, std::size_t(std::min<std::uint64_t>(fact->available, 4)));
        if (format.formatTag != kWaveFormatPcm)
            return done(std::uint64_t(readLe32(c)) * 1000 / format.samplesPerSec);
    }
    const auto data = findChunk(src, begin, end, fourCC("data"));
    if (!data)
        return fail(kMmioErrChunkNotFound, "no 'data' chunk");
    if (format.bitsPerSample == 0)
        return unusable("the format has 0 bits per sample");
    const std::uint64_t den = std::uint64_t(format.bitsPerSample) * format.channels * format.samplesPerSec;
    // The samples the file holds: a size declared past the end of the file
    // (or the "unknown" 0xFFFFFFFF of a recording still running) counts
    // what is there.
    const std::uint64_t bytes = std::min<std::uint64_t>(data->size, data->available);
    return done(bytes * 8000 / den);
}

}  // namespace pelko
