// AviWriter: the bytes of uncompressed files, the calling order and its result
// codes, the temporary file, and sound from WAV files.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "avi_test_util.h"
#include "engine/avi/avi_writer.h"
#include "engine/avi/riff.h"

namespace pelko {
namespace {

using namespace pelko::test;

// What an AVI file's first RIFF chunk says, read with the engine's walker.
struct AviFacts {
    struct Stream {
        std::uint8_t strh[56] = {};
        std::vector<std::uint8_t> strf;
        std::uint32_t u32(int at) const { return readLe32(strh + at); }
    };
    std::vector<Stream> streams;
    std::vector<std::vector<std::uint8_t>> chunks[2];  // movi data chunks per stream
    std::vector<std::uint32_t> indexFlags;             // of the video chunks
};

AviFacts readAvi(const std::filesystem::path& p)
{
    AviFacts f;
    FileRiffSource src(p.string());
    const auto riff = findChunk(src, 0, src.size(), fourCC("RIFF"), fourCC("AVI "));
    if (!riff)
        return f;
    const auto hdrl = findChunk(src, riff->contentOffset(), riff->dataEnd(), fourCC("LIST"), fourCC("hdrl"));
    std::uint64_t pos = hdrl->contentOffset();
    while (auto strl = findChunk(src, pos, hdrl->dataEnd(), fourCC("LIST"), fourCC("strl"))) {
        pos = strl->dataOffset + strl->size + (strl->size & 1);
        AviFacts::Stream s;
        const auto strh = findChunk(src, strl->contentOffset(), strl->dataEnd(), fourCC("strh"));
        const auto strf = findChunk(src, strl->contentOffset(), strl->dataEnd(), fourCC("strf"));
        src.read(strh->dataOffset, s.strh, 56);
        s.strf.resize(strf->available);
        src.read(strf->dataOffset, s.strf.data(), s.strf.size());
        f.streams.push_back(s);
    }
    const auto movi = findChunk(src, riff->contentOffset(), riff->dataEnd(), fourCC("LIST"), fourCC("movi"));
    for (pos = movi->contentOffset(); auto c = readChunkHeader(src, pos, movi->dataEnd());) {
        pos = c->dataOffset + c->size + (c->size & 1);
        const int stream = ((c->id & 0xFF) - '0') * 10 + ((c->id >> 8 & 0xFF) - '0');
        if (stream < 0 || stream > 1)
            continue;
        std::vector<std::uint8_t> d(c->available);
        src.read(c->dataOffset, d.data(), d.size());
        f.chunks[stream].push_back(std::move(d));
    }
    if (const auto idx1 = findChunk(src, riff->contentOffset(), riff->dataEnd(), fourCC("idx1"))) {
        for (std::uint64_t at = idx1->dataOffset; at + 16 <= idx1->dataEnd(); at += 16) {
            std::uint8_t e[16];
            src.read(at, e, 16);
            if ((readLe32(e) & 0xFFFF) == ('0' | '0' << 8))  // video: '00dc'
                f.indexFlags.push_back(readLe32(e + 4));
        }
    }
    return f;
}

TEST(AviWriter, UncompressedFramesAreClassicDibs)
{
    TempDir dir;
    const auto path = dir / "clip.avi";
    AviWriterPtr w = OpenAviWriter(path.string(), 40);
    ASSERT_TRUE(w);
    std::vector<Picture> frames;
    for (int i = 0; i < 3; ++i) {
        frames.push_back(testFrame(101, 10, i));
        ASSERT_EQ(WriteVideoFrame(w.get(), &frames.back()), AVIERR_OK);
    }
    ASSERT_EQ(CloseAviWriter(std::move(w)), AVIERR_OK);

    const AviFacts f = readAvi(path);
    ASSERT_EQ(f.streams.size(), 1u);
    const auto& v = f.streams[0];
    EXPECT_EQ(v.u32(0), fourCC("vids"));
    EXPECT_EQ(v.u32(4), fourCC("DIB "));
    EXPECT_EQ(v.u32(20), 40u);    // scale: the frame period
    EXPECT_EQ(v.u32(24), 1000u);  // rate
    EXPECT_EQ(v.u32(32), 3u);     // length in frames
    EXPECT_EQ(v.u32(36), 3040u);  // suggested buffer: 304-byte rows x 10
    EXPECT_EQ(v.u32(40), 0xFFFFFFFFu);
    EXPECT_EQ(readLe16(v.strh + 52), 101);  // frame rectangle right, bottom
    EXPECT_EQ(readLe16(v.strh + 54), 10);
    // BITMAPINFOHEADER: 40 bytes, bottom-up (positive height), 24 bits, BI_RGB.
    ASSERT_GE(v.strf.size(), 40u);
    EXPECT_EQ(readLe32(v.strf.data()), 40u);
    EXPECT_EQ(readLe32(v.strf.data() + 4), 101u);
    EXPECT_EQ(readLe32(v.strf.data() + 8), 10u);
    EXPECT_EQ(readLe16(v.strf.data() + 14), 24);
    EXPECT_EQ(readLe32(v.strf.data() + 16), 0u);

    ASSERT_EQ(f.chunks[0].size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const auto& d = f.chunks[0][i];
        ASSERT_EQ(d.size(), 3040u);
        for (int y = 0; y < 10; ++y) {
            const std::uint8_t* row = d.data() + (9 - y) * 304;
            EXPECT_EQ(std::memcmp(row, frames[i].row(y), 303), 0) << "frame " << i << " row " << y;
            EXPECT_EQ(row[303], 0);
        }
    }
    ASSERT_EQ(f.indexFlags.size(), 3u);
    for (std::uint32_t flags : f.indexFlags) EXPECT_TRUE(flags & 0x10) << "every frame is a key frame";
    EXPECT_EQ(dir.names(), std::vector<std::string>{"clip.avi"});  // no temporary left
}

TEST(AviWriter, FramePeriodBelowOneMillisecond)
{
    TempDir dir;
    for (int period : {0, -5}) {
        const auto path = dir / "p.avi";
        AviWriterPtr w = OpenAviWriter(path.string(), period);
        const Picture p = testFrame(8, 8, 0);
        ASSERT_EQ(WriteVideoFrame(w.get(), &p), AVIERR_OK);
        ASSERT_EQ(CloseAviWriter(std::move(w)), AVIERR_OK);
        const AviFacts f = readAvi(path);
        EXPECT_EQ(f.streams[0].u32(20), 1u);
        EXPECT_EQ(f.streams[0].u32(24), 1000u);
    }
}

struct ScriptedChooser : VideoCodecChooser {
    bool accept = true;
    std::string pick;
    std::string offered;  // the fourcc the dialog started from
    int calls = 0;
    bool chooseVideoCodec(const std::vector<VideoCodecInfo>& codecs, CompressOptions& options) override
    {
        ++calls;
        offered = options.fourcc;
        EXPECT_FALSE(codecs.empty());
        EXPECT_EQ(codecs.front().fourcc, "DIB ");
        if (accept)
            options.fourcc = pick;
        return accept;
    }
};

TEST(AviWriter, ArgumentErrorsLeaveTheWriterUsable)
{
    TempDir dir;
    const Picture p = testFrame(16, 8, 0);
    const Picture other = testFrame(8, 16, 0);
    const Picture empty;
    EXPECT_EQ(WriteVideoFrame(nullptr, &p), AVIERR_BADHANDLE);
    EXPECT_EQ(ChooseVideoCodec(nullptr, &p, nullptr, false, nullptr), AVIERR_BADHANDLE);
    EXPECT_EQ(WriteWavSound(nullptr, "x.wav", SND_FILENAME), AVIERR_BADHANDLE);
    EXPECT_EQ(CloseAviWriter(nullptr), AVIERR_BADHANDLE);

    AviWriterPtr w = OpenAviWriter((dir / "a.avi").string(), 100);
    EXPECT_EQ(WriteVideoFrame(w.get(), nullptr), AVIERR_BADPARAM);
    EXPECT_EQ(WriteVideoFrame(w.get(), &empty), AVIERR_BADPARAM);
    EXPECT_EQ(ChooseVideoCodec(w.get(), nullptr, nullptr, false, nullptr), AVIERR_BADPARAM);
    EXPECT_EQ(WriteWavSound(w.get(), "x.wav", 0x8), AVIERR_BADFLAGS);
    EXPECT_EQ(WriteWavSound(w.get(), nullptr, SND_FILENAME), AVIERR_BADPARAM);
    ASSERT_EQ(ChooseVideoCodec(w.get(), &p, nullptr, false, nullptr), AVIERR_OK);
    EXPECT_EQ(ChooseVideoCodec(w.get(), &p, nullptr, false, nullptr), AVIERR_COMPRESSOR);
    EXPECT_EQ(WriteVideoFrame(w.get(), &p), AVIERR_OK);
    EXPECT_EQ(WriteVideoFrame(w.get(), &other), AVIERR_BADSIZE);
    EXPECT_EQ(WriteVideoFrame(w.get(), &p), AVIERR_OK);
    ASSERT_EQ(CloseAviWriter(std::move(w)), AVIERR_OK);
    EXPECT_EQ(readAvi(dir / "a.avi").chunks[0].size(), 2u);
}

TEST(AviWriter, ChooserDeclinesAndNothingReplacesTheTarget)
{
    TempDir dir;
    const auto path = dir / "keep.avi";
    saveFile(path, {'o', 'l', 'd'});
    const Picture p = testFrame(16, 8, 0);
    ScriptedChooser chooser;
    chooser.accept = false;
    AviWriterPtr w = OpenAviWriter(path.string(), 40);
    const CompressOptions divx{"divx", -1};
    EXPECT_EQ(ChooseVideoCodec(w.get(), &p, &divx, true, &chooser), AVIERR_USERABORT);
    EXPECT_EQ(chooser.offered, "divx");
    EXPECT_EQ(WriteVideoFrame(w.get(), &p), AVIERR_ERROR);
    EXPECT_EQ(ChooseVideoCodec(w.get(), &p, nullptr, false, nullptr), AVIERR_ERROR);
    EXPECT_EQ(CloseAviWriter(std::move(w)), AVIERR_OK);
    EXPECT_EQ(loadFile(path), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"keep.avi"});

    // A writer dropped without closing leaves no file and no temporary.
    {
        AviWriterPtr dropped = OpenAviWriter((dir / "dropped.avi").string(), 40);
        ASSERT_EQ(WriteVideoFrame(dropped.get(), &p), AVIERR_OK);
    }
    EXPECT_EQ(dir.names(), std::vector<std::string>{"keep.avi"});

    // An unknown codec fails the writer; the show flag without a chooser uses the options.
    w = OpenAviWriter((dir / "x.avi").string(), 40);
    const CompressOptions bogus{"QQQQ", -1};
    EXPECT_EQ(ChooseVideoCodec(w.get(), &p, &bogus, true, nullptr), AVIERR_NOCOMPRESSOR);
    EXPECT_EQ(WriteVideoFrame(w.get(), &p), AVIERR_ERROR);
    EXPECT_EQ(CloseAviWriter(std::move(w)), AVIERR_OK);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.avi"));
}

TEST(AviWriter, CannotCreateTheFile)
{
    std::string error;
    EXPECT_FALSE(OpenAviWriter("/nonexistent-folder/clip.avi", 40, nullptr, &error));
    EXPECT_EQ(error, "/nonexistent-folder/clip.avi: No such file or directory");
    const WaveFormat bad{1, 1, 0, 0, 2, 16, 0};  // no sample rate
    TempDir dir;
    EXPECT_TRUE(OpenAviWriter((dir / "a.avi").string(), 40, nullptr));
    EXPECT_FALSE(OpenAviWriter((dir / "a.avi").string(), 40, &bad, &error));
    EXPECT_EQ(error, "the sound format: the format has 0 samples per second");
    std::filesystem::create_directory(dir / "taken.avi");
    EXPECT_FALSE(OpenAviWriter((dir / "taken.avi").string(), 40, nullptr, &error));
    EXPECT_EQ(error, (dir / "taken.avi").string() + ": Is a directory");
}

// Sound: with the format known ahead and without, the samples of every sound
// land in the file unchanged and in order.
TEST(AviWriter, SoundIsCopiedFromWhereverTheDataChunkIs)
{
    TempDir dir;
    WavShape first = wavShape(2, 8000, 16, 3001, 7);
    std::vector<std::uint8_t> list;
    putTag(list, "LIST");
    putLe(list, 26, 4);
    putTag(list, "INFO");
    putTag(list, "INAM");
    putLe(list, 13, 4);
    list.insert(list.end(), {'a', ' ', 'l', 'o', 'n', 'g', ' ', 't', 'i', 't', 'l', 'e', 0, 0});
    first.chunkBeforeData = list;
    const WavShape second = wavShape(2, 8000, 16, 500, 9);
    saveFile(dir / "first.wav", makeWav(first));
    std::vector<std::uint8_t> expected = wavSamples(first);
    const std::vector<std::uint8_t> tail = wavSamples(second);
    expected.insert(expected.end(), tail.begin(), tail.end());

    WaveFormat format;
    ASSERT_TRUE(ReadWavFormat((dir / "first.wav").string(), format));
    enum Mode { kFormatAtOpen, kSoundAfterFrames, kSoundBeforeFrames };
    for (Mode mode : {kFormatAtOpen, kSoundAfterFrames, kSoundBeforeFrames}) {
        SCOPED_TRACE(mode == kFormatAtOpen       ? "format passed at open"
                     : mode == kSoundAfterFrames ? "format learnt after the frames"
                                                 : "first sound before the frames");
        const auto path = dir / "s.avi";
        AviWriterPtr w = OpenAviWriter(path.string(), 40, mode == kFormatAtOpen ? &format : nullptr);
        if (mode == kSoundBeforeFrames) {
            ASSERT_EQ(WriteWavSound(w.get(), (dir / "first.wav").string()), AVIERR_OK);
        }
        for (int i = 0; i < 5; ++i) {
            const Picture p = testFrame(20, 10, i);
            ASSERT_EQ(WriteVideoFrame(w.get(), &p), AVIERR_OK);
        }
        if (mode != kSoundBeforeFrames) {
            ASSERT_EQ(WriteWavSound(w.get(), (dir / "first.wav").string()), AVIERR_OK);
        }
        const std::vector<std::uint8_t> mono = makeWav(wavShape(1, 8000, 16, 10));
        EXPECT_EQ(WriteWavSound(w.get(), std::span<const std::uint8_t>(mono)), AVIERR_BADFORMAT);
        const std::vector<std::uint8_t> again = makeWav(second);
        ASSERT_EQ(WriteWavSound(w.get(), std::span<const std::uint8_t>(again)), AVIERR_OK);
        ASSERT_EQ(CloseAviWriter(std::move(w)), AVIERR_OK);

        const AviFacts f = readAvi(path);
        ASSERT_EQ(f.streams.size(), 2u);
        EXPECT_EQ(f.chunks[0].size(), 5u);
        const auto& a = f.streams[1];
        EXPECT_EQ(a.u32(0), fourCC("auds"));
        EXPECT_EQ(a.u32(20), 4u);         // scale: block align
        EXPECT_EQ(a.u32(24), 4u * 8000);  // rate
        EXPECT_EQ(a.u32(44), 4u);         // sample size
        EXPECT_EQ(a.u32(40), 0xFFFFFFFFu);
        EXPECT_EQ(readLe16(a.strf.data()), 1);  // PCM
        EXPECT_EQ(readLe16(a.strf.data() + 2), 2);
        std::vector<std::uint8_t> got;
        for (const auto& c : f.chunks[1]) got.insert(got.end(), c.begin(), c.end());
        EXPECT_EQ(got, expected);
        // The video is unchanged by the second pass.
        const Picture p4 = testFrame(20, 10, 4);
        EXPECT_EQ(std::memcmp(f.chunks[0][4].data(), p4.row(9), 60), 0);
        EXPECT_EQ(dir.names().size(), 2u);  // first.wav and s.avi
    }
}

TEST(AviWriter, SoundThatCannotBeUsed)
{
    TempDir dir;
    const Picture p = testFrame(8, 8, 0);
    // Zero rate, channels or bits: refused, nothing written, writer usable.
    for (auto [ch, rate, bits] : {std::tuple{0, 8000, 16}, {1, 0, 16}, {1, 8000, 0}}) {
        std::vector<std::uint8_t> wav = makeWav(wavShape(1, 8000, 16, 10));
        wav[22] = std::uint8_t(ch);
        for (int i = 0; i < 4; ++i) wav[24 + i] = std::uint8_t(std::uint32_t(rate) >> (8 * i));
        wav[34] = std::uint8_t(bits);
        AviWriterPtr w = OpenAviWriter((dir / "z.avi").string(), 40);
        ASSERT_EQ(WriteVideoFrame(w.get(), &p), AVIERR_OK);
        EXPECT_EQ(WriteWavSound(w.get(), std::span<const std::uint8_t>(wav)), AVIERR_BADFORMAT);
        EXPECT_EQ(WriteVideoFrame(w.get(), &p), AVIERR_OK);
        ASSERT_EQ(CloseAviWriter(std::move(w)), AVIERR_OK);
        EXPECT_EQ(readAvi(dir / "z.avi").streams.size(), 1u);
    }
    // Data size beyond the image: only the bytes present, in whole blocks.
    std::vector<std::uint8_t> cut = makeWav(wavShape(1, 8000, 16, 100));
    cut.resize(cut.size() - 51);
    AviWriterPtr w = OpenAviWriter((dir / "c.avi").string(), 40);
    ASSERT_EQ(WriteVideoFrame(w.get(), &p), AVIERR_OK);
    ASSERT_EQ(WriteWavSound(w.get(), std::span<const std::uint8_t>(cut)), AVIERR_OK);
    ASSERT_EQ(CloseAviWriter(std::move(w)), AVIERR_OK);
    std::size_t bytes = 0;
    for (const auto& c : readAvi(dir / "c.avi").chunks[1]) bytes += c.size();
    EXPECT_EQ(bytes, 148u);

    // A missing WAV fails the writer, but the video written stays a valid AVI.
    w = OpenAviWriter((dir / "m.avi").string(), 40);
    ASSERT_EQ(WriteVideoFrame(w.get(), &p), AVIERR_OK);
    EXPECT_EQ(WriteWavSound(w.get(), (dir / "none.wav").string()), AVIERR_FILEOPEN);
    EXPECT_EQ(WriteVideoFrame(w.get(), &p), AVIERR_ERROR);
    EXPECT_EQ(CloseAviWriter(std::move(w)), AVIERR_OK);
    const AviFacts f = readAvi(dir / "m.avi");
    EXPECT_EQ(f.streams.size(), 1u);
    EXPECT_EQ(f.chunks[0].size(), 1u);
}

}  // namespace
}  // namespace pelko

namespace pelko {
namespace {

using namespace pelko::test;

TEST(AviWriter, NothingHandedOverAndSoundAlone)
{
    TempDir dir;
    ASSERT_EQ(CloseAviWriter(OpenAviWriter((dir / "empty.avi").string(), 40)), AVIERR_OK);
    EXPECT_TRUE(dir.names().empty()) << "no file when nothing was handed over";

    const std::vector<std::uint8_t> wav = makeWav(wavShape(1, 11025, 8, 777));
    AviWriterPtr w = OpenAviWriter((dir / "sound.avi").string(), 40);
    ASSERT_EQ(WriteWavSound(w.get(), std::span<const std::uint8_t>(wav)), AVIERR_OK);
    ASSERT_EQ(CloseAviWriter(std::move(w)), AVIERR_OK);
    const auto path = dir / "sound.avi";
    FileRiffSource src(path.string());
    const auto riff = findChunk(src, 0, src.size(), fourCC("RIFF"), fourCC("AVI "));
    ASSERT_TRUE(riff);
    const auto movi = findChunk(src, riff->contentOffset(), riff->dataEnd(), fourCC("LIST"), fourCC("movi"));
    ASSERT_TRUE(movi);
    const auto wb = findChunk(src, movi->contentOffset(), movi->dataEnd(), fourCC("00wb"));
    ASSERT_TRUE(wb);
    std::vector<std::uint8_t> got(wb->available);
    src.read(wb->dataOffset, got.data(), got.size());
    EXPECT_EQ(got, wavSamples(wavShape(1, 11025, 8, 777)));
}

}  // namespace
}  // namespace pelko
