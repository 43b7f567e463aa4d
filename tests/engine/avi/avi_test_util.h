#pragma once
// Helpers of the AVI tests: test pictures, WAV images, running ffmpeg.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/avi/riff.h"
#include "engine/image/picture.h"
#include "support/temp_dir.h"

namespace pelko::test {

// A smooth picture that changes from frame to frame.
inline Picture testFrame(int width, int height, int index)
{
    Picture p(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = p.row(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = std::uint8_t(x * 255 / width + index * 7);
            row[3 * x + 1] = std::uint8_t(y * 255 / height);
            row[3 * x + 2] = std::uint8_t(128 + (x + y) / 4 - index * 5);
        }
    }
    return p;
}

inline void putLe(std::vector<std::uint8_t>& v, std::uint32_t x, int bytes)
{
    for (int i = 0; i < bytes; ++i) v.push_back(std::uint8_t(x >> (8 * i)));
}

inline void putTag(std::vector<std::uint8_t>& v, const char* tag)
{
    v.insert(v.end(), tag, tag + 4);
}

struct WavShape {
    int channels = 1;
    std::uint32_t rate = 8000;
    int bits = 16;
    std::uint32_t frames = 100;
    std::uint32_t seed = 1;
    std::vector<std::uint8_t> chunkBeforeData;  // a whole chunk put between 'fmt ' and 'data'
};

inline WavShape wavShape(int channels, std::uint32_t rate, int bits, std::uint32_t frames,
                         std::uint32_t seed = 1)
{
    WavShape s;
    s.channels = channels;
    s.rate = rate;
    s.bits = bits;
    s.frames = frames;
    s.seed = seed;
    return s;
}

// The sample bytes of a WAV made by makeWav from that shape.
inline std::vector<std::uint8_t> wavSamples(const WavShape& s)
{
    std::vector<std::uint8_t> d(std::size_t(s.frames) * s.channels * (s.bits / 8));
    std::uint32_t x = s.seed;
    for (auto& b : d) {
        x = x * 1103515245u + 12345u;
        b = std::uint8_t(x >> 16);
    }
    return d;
}

inline std::vector<std::uint8_t> makeWav(const WavShape& s)
{
    const std::vector<std::uint8_t> data = wavSamples(s);
    const int block = s.channels * (s.bits / 8);
    std::vector<std::uint8_t> v;
    putTag(v, "RIFF");
    putLe(v, 0, 4);
    putTag(v, "WAVE");
    putTag(v, "fmt ");
    putLe(v, 16, 4);
    putLe(v, 1, 2);
    putLe(v, std::uint32_t(s.channels), 2);
    putLe(v, s.rate, 4);
    putLe(v, s.rate * std::uint32_t(block), 4);
    putLe(v, std::uint32_t(block), 2);
    putLe(v, std::uint32_t(s.bits), 2);
    v.insert(v.end(), s.chunkBeforeData.begin(), s.chunkBeforeData.end());
    putTag(v, "data");
    putLe(v, std::uint32_t(data.size()), 4);
    v.insert(v.end(), data.begin(), data.end());
    const std::uint32_t riffSize = std::uint32_t(v.size() - 8);
    for (int i = 0; i < 4; ++i) v[4 + i] = std::uint8_t(riffSize >> (8 * i));
    return v;
}

inline void saveFile(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* f = std::fopen(p.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

inline std::vector<std::uint8_t> loadFile(const std::filesystem::path& p)
{
    std::vector<std::uint8_t> v;
    if (std::FILE* f = std::fopen(p.c_str(), "rb")) {
        std::uint8_t buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) v.insert(v.end(), buf, buf + n);
        std::fclose(f);
    }
    return v;
}

// Runs a shell command and returns its standard output.
inline std::string run(const std::string& command)
{
    std::string out;
    if (std::FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

inline bool haveFfmpeg()
{
    return std::system("ffmpeg -version >/dev/null 2>&1") == 0 &&
           std::system("ffprobe -version >/dev/null 2>&1") == 0;
}

}  // namespace pelko::test
