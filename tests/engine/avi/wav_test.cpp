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
    } cases[] = {
        {"pcm8-mono-8000.wav", 500, ""},
        {"pcm16-stereo-44100.wav", 500, ""},
        {"pcm16-mono-22050-list-before-data.wav", 249, ""},
        {"pcm16-mono-11025-fact.wav", 200, ""},  // PCM with fact: measured from data
        {"pcm16-mono-16000-fmt18.wav", 300, ""},
        {"ima-adpcm-mono-22050.wav", 500, ""},  // from fact, not from the data size
        {"float32-stereo-22050.wav", 249, ""},
        {"pcm24-stereo-44100-extensible.wav", 100, ""},
        {"odd-chunk-pad.wav", 250, ""},
        {"truncated-data.wav", 500, ""},
        {"riff-size-unknown.wav", 24347887, ""},  // the declared data size
        {"fmt-zero-rate.wav", -1, ""},            // no division by zero
        {"no-data-chunk.wav", -1, "MMIO Error. Error Code: 265"},
        {"not-riff.wav", -1, "MMIO Error. Error Code: 265"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const WavDuration d = WavDurationMs((kWavDir / c.file).string());
        EXPECT_EQ(d.ms, c.ms);
        EXPECT_EQ(d.message, c.message);
        if (*c.message) {
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

    // 10 MB of 8-bit mono at 8000/s: 1310720 ms, the product needs 64 bits.
    // Only the header is needed: the duration uses the declared size.
    std::vector<std::uint8_t> w = makeWav(wavShape(1, 8000, 8, 0));
    for (int i = 0; i < 4; ++i) w[40 + i] = std::uint8_t((10u << 20) >> (8 * i));
    saveFile(dir / "long.wav", w);
    EXPECT_EQ(WavDurationMs((dir / "long.wav").string()).ms, 1310720);
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
