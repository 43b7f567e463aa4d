// The RIFF walker and the WAV reader: durations over the corpus and small
// fixtures, hostile chunk sizes, and where the samples are found.

#include <gtest/gtest.h>

#include <filesystem>

#include "avi_test_util.h"
#include "engine/avi/riff.h"
#include "engine/avi/wav.h"

namespace pelko {
namespace {

using namespace pelko::test;

const std::filesystem::path kWavDir = std::filesystem::path(PELKO_TESTDATA) / "wav";

TEST(WavDuration, CorpusFiles)
{
    if (!std::filesystem::is_directory(kWavDir))
        GTEST_SKIP() << "test corpus not found at " << kWavDir;
    struct Case {
        const char* file;
        std::int32_t ms;
        const char* message;
        const char* reason;
    } cases[] = {
        {"pcm8-mono-8000.wav", 500, "", ""},
        {"pcm16-stereo-44100.wav", 500, "", ""},
        {"pcm16-mono-22050-list-before-data.wav", 249, "", ""},
        {"pcm16-mono-11025-fact.wav", 200, "", ""},  // PCM with fact: measured from data
        {"pcm16-mono-16000-fmt18.wav", 300, "", ""},
        {"ima-adpcm-mono-22050.wav", 500, "", ""},  // from fact, not from the data size
        {"float32-stereo-22050.wav", 249, "", ""},
        {"pcm24-stereo-44100-extensible.wav", 100, "", ""},
        {"odd-chunk-pad.wav", 250, "", ""},
        {"truncated-data.wav", 200, "", ""},     // the 35280 bytes there, not the 88200 declared
        {"riff-size-unknown.wav", 500, "", ""},  // data size 0xFFFFFFFF: what the file holds
        {"fmt-zero-rate.wav", -1, "the format has 0 samples per second",
         "the format has 0 samples per second"},
        {"no-data-chunk.wav", -1, "MMIO Error. Error Code: 265", "no 'data' chunk"},
        {"not-riff.wav", -1, "MMIO Error. Error Code: 265", "not a RIFF file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const WavDuration d = WavDurationMs((kWavDir / c.file).string());
        EXPECT_EQ(d.ms, c.ms);
        EXPECT_EQ(d.message, c.message);
        EXPECT_EQ(d.reason, c.reason);
        if (std::string(c.message).rfind("MMIO", 0) == 0) {
            EXPECT_EQ(d.caption, "MMIO Error");
        }
    }
}

TEST(WavDuration, MissingFileAndLongFile)
{
    TempDir dir;
    const WavDuration missing = WavDurationMs((dir / "none.wav").string());
    EXPECT_EQ(missing.ms, -1);
    EXPECT_EQ(missing.message, "Error opening file.");
    EXPECT_EQ(missing.caption, "Error Message");
    EXPECT_EQ(missing.reason, "No such file or directory");
    std::filesystem::create_directory(dir / "folder.wav");
    EXPECT_EQ(WavDurationMs((dir / "folder.wav").string()).reason, "Is a directory");

    // 10 MB of 8-bit mono at 8000/s: 1310720 ms, the product needs 64 bits.
    saveFile(dir / "long.wav", makeWav(wavShape(1, 8000, 8, 10u << 20)));
    EXPECT_EQ(WavDurationMs((dir / "long.wav").string()).ms, 1310720);
}

// Headers that promise what the bytes do not hold: a format that gives no
// playing time is an error with its reason, never -1 or a made-up length
// passed off as a duration; a declared size counts only the bytes there.
TEST(WavDuration, HostileHeaders)
{
    // A 16-bit mono file at 8000/s with 100 bytes of samples, changed in one field.
    const auto wav = [](std::size_t offset, std::uint32_t value, int bytes) {
        std::vector<std::uint8_t> w = makeWav(wavShape(1, 8000, 16, 50));
        for (int i = 0; i < bytes; ++i) w[offset + std::size_t(i)] = std::uint8_t(value >> (8 * i));
        return w;
    };
    std::vector<std::uint8_t> shortFmt = makeWav(wavShape(1, 8000, 16, 50));
    shortFmt[16] = 12;  // 'fmt ' of 12 bytes: bits and block fall into the next chunk's place
    std::vector<std::uint8_t> factOverflow = wav(20, 2, 2);  // ADPCM at 1 sample a second...
    for (int i = 0; i < 4; ++i) factOverflow[24 + i] = i == 0;
    putTag(factOverflow, "fact");  // ...with 4 billion samples: 136 years
    putLe(factOverflow, 4, 4);
    putLe(factOverflow, 0xFFFFFFFFu, 4);
    for (int i = 0; i < 4; ++i)
        factOverflow[4 + std::size_t(i)] = std::uint8_t((factOverflow.size() - 8) >> (8 * i));
    std::vector<std::uint8_t> slowPcm = makeWav(wavShape(1, 1, 8, 3u << 20));  // 3 MB at 1 byte a second

    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::int32_t ms;
        const char* reason;
    } cases[] = {
        {"fine", wav(0, 'R', 1), 6, ""},
        {"4 GiB declared, 100 bytes there", wav(40, 0xFFFFFFFFu, 4), 6, ""},
        {"0 channels", wav(22, 0, 2), -1, "the format has 0 channels"},
        {"0 samples per second", wav(24, 0, 4), -1, "the format has 0 samples per second"},
        {"0 bits per sample", wav(34, 0, 2), -1, "the format has 0 bits per sample"},
        {"short 'fmt '", shortFmt, -1, "the 'fmt ' chunk is shorter than 16 bytes"},
        {"fact past 2^31 ms", factOverflow, -1, "the playing time is longer than 2147483647 ms"},
        {"PCM past 2^31 ms", slowPcm, -1, "the playing time is longer than 2147483647 ms"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryRiffSource src(c.bytes);
        const WavDuration d = wavDuration(src);
        EXPECT_EQ(d.ms, c.ms);
        EXPECT_EQ(d.reason, c.reason);
        EXPECT_EQ(d.message.empty(), c.ms >= 0);
    }
}

// Whether a WAV can go into an AVI, and if not why: the reason the command
// line and the window name the file with.
TEST(WavForAvi, ReasonsForEverySoundLeftOut)
{
    TempDir dir;
    const auto wav = [&dir](const char* name, std::size_t offset, std::uint32_t value, int bytes,
                            std::uint32_t frames = 50) {
        std::vector<std::uint8_t> w = makeWav(wavShape(2, 8000, 16, frames));
        for (int i = 0; i < bytes; ++i) w[offset + std::size_t(i)] = std::uint8_t(value >> (8 * i));
        saveFile(dir / name, w);
        return (dir / name).string();
    };
    std::filesystem::create_directory(dir / "folder.wav");
    saveFile(dir / "text.wav", {'h', 'e', 'l', 'l', 'o'});
    struct Case {
        std::string path;
        const char* reason;
    } cases[] = {
        {wav("good.wav", 0, 'R', 1), ""},
        {(dir / "none.wav").string(), "No such file or directory"},
        {(dir / "folder.wav").string(), "Is a directory"},
        {(dir / "text.wav").string(), "not a RIFF file"},
        {wav("nodata.wav", 36, fourCC("dat_"), 4), "no 'data' chunk"},
        {wav("float.wav", 20, 3, 2), "format tag 3 is not linear PCM"},
        {wav("mono0.wav", 22, 0, 2), "the format has 0 channels"},
        {wav("rate0.wav", 24, 0, 4), "the format has 0 samples per second"},
        {wav("bits12.wav", 34, 12, 2), "the format has 12 bits per sample (8, 16, 24 or 32 go into an AVI)"},
        {wav("block.wav", 32, 3, 2), "block align 3 does not match 2 channels of 16 bits"},
        {wav("empty.wav", 0, 'R', 1, 0), "no sound samples in the 'data' chunk"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        WavLayout layout;
        std::string reason;
        EXPECT_EQ(ReadWavForAvi(c.path, layout, reason), !*c.reason);
        EXPECT_EQ(reason, c.reason);
    }
}

TEST(RiffWalker, HostileSizesStayInsideTheBytes)
{
    // A chunk claiming 4 GiB, then nothing: it is clamped, the walk ends.
    std::vector<std::uint8_t> b;
    putTag(b, "RIFF");
    putLe(b, 0xFFFFFFFFu, 4);
    putTag(b, "WAVE");
    putTag(b, "JUNK");
    putLe(b, 0xFFFFFFF0u, 4);
    putTag(b, "data");
    MemoryRiffSource src(b);
    const auto riff = findChunk(src, 0, src.size(), fourCC("RIFF"));
    ASSERT_TRUE(riff);
    EXPECT_EQ(riff->form, fourCC("WAVE"));
    EXPECT_EQ(riff->available, b.size() - 8);
    const auto junk = findChunk(src, riff->contentOffset(), riff->dataEnd(), fourCC("JUNK"));
    ASSERT_TRUE(junk);
    EXPECT_EQ(junk->available, 4u);
    EXPECT_FALSE(findChunk(src, riff->contentOffset(), riff->dataEnd(), fourCC("data")));
    // A header cut short is no chunk.
    EXPECT_FALSE(readChunkHeader(src, b.size() - 4, b.size()));
    EXPECT_FALSE(readChunkHeader(src, b.size() + 100, ~0ull));
}

TEST(WavLayout, FindsChunksWhereverTheyAre)
{
    WavShape shape = wavShape(2, 22050, 16, 33);
    std::vector<std::uint8_t> junk;
    putTag(junk, "LIST");
    putLe(junk, 5, 4);
    junk.insert(junk.end(), {'I', 'N', 'F', 'O', 'x', 0});  // odd size plus pad byte
    shape.chunkBeforeData = junk;
    const std::vector<std::uint8_t> w = makeWav(shape);
    MemoryRiffSource src(w);
    WavLayout l;
    ASSERT_TRUE(readWavLayout(src, l));
    EXPECT_EQ(l.format.channels, 2);
    EXPECT_EQ(l.format.samplesPerSec, 22050u);
    EXPECT_EQ(l.format.blockAlign, 4);
    EXPECT_EQ(l.dataOffset, 44u + junk.size());
    EXPECT_EQ(l.dataSize, 33u * 4);
    EXPECT_TRUE(isUsablePcm(l.format));

    // Truncated: the declared size stays, the available part is what is there.
    std::vector<std::uint8_t> cut(w.begin(), w.end() - 10);
    MemoryRiffSource cutSrc(cut);
    ASSERT_TRUE(readWavLayout(cutSrc, l));
    EXPECT_EQ(l.dataSize, 33u * 4);
    EXPECT_EQ(l.dataAvailable, 33u * 4 - 10);
}

TEST(WavLayout, ExtensiblePcmCountsAsPcm)
{
    if (!std::filesystem::is_directory(kWavDir))
        GTEST_SKIP() << "test corpus not found at " << kWavDir;
    WaveFormat f;
    ASSERT_TRUE(ReadWavFormat((kWavDir / "pcm24-stereo-44100-extensible.wav").string(), f));
    EXPECT_EQ(f.formatTag, kWaveFormatPcm);
    EXPECT_EQ(f.bitsPerSample, 24);
    EXPECT_EQ(f.blockAlign, 6);
    for (const char* name : {"float32-stereo-22050.wav", "ima-adpcm-mono-22050.wav", "fmt-zero-rate.wav",
                             "no-data-chunk.wav", "not-riff.wav"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(ReadWavFormat((kWavDir / name).string(), f));
    }
}

}  // namespace
}  // namespace pelko
