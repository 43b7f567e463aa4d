// A file past 2 GiB: libavformat goes over to OpenDML after 1 GiB, and the
// whole file must stay readable. Set PELKO_SKIP_LARGE_AVI=1 to skip it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "avi_test_util.h"
#include "engine/avi/avi_writer.h"
#include "engine/avi/riff.h"

namespace pelko {
namespace {

using namespace pelko::test;

TEST(AviLarge, PastTwoGibibytesStaysValid)
{
    if (const char* skip = std::getenv("PELKO_SKIP_LARGE_AVI"); skip && *skip && *skip != '0')
        GTEST_SKIP() << "PELKO_SKIP_LARGE_AVI is set";
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg/ffprobe not installed";
    TempDir dir;
    const auto path = dir / "big.avi";
    const int width = 3840, height = 2160;
    const int count = int((std::uint64_t(2) << 30) / dibImageSize(width, height)) + 4;  // just past 2 GiB
    Picture p(width, height);
    AviWriterPtr w = OpenAviWriter(path.string(), 40);
    for (int i = 0; i < count; ++i) {
        p.setPixel(i % width, 0, rgb(std::uint8_t(i), 1, 2));
        ASSERT_EQ(WriteVideoFrame(w.get(), &p), AVIERR_OK);
    }
    ASSERT_EQ(CloseAviWriter(std::move(w)), AVIERR_OK);
    ASSERT_GT(std::filesystem::file_size(path), std::uint64_t(2) << 30);

    // RIFF 'AVI ' followed by RIFF 'AVIX' extension chunks.
    FileRiffSource src(path.string());
    const auto first = findChunk(src, 0, src.size(), fourCC("RIFF"), fourCC("AVI "));
    ASSERT_TRUE(first);
    const auto next = readChunkHeader(src, first->dataOffset + first->size + (first->size & 1), src.size());
    ASSERT_TRUE(next);
    EXPECT_EQ(next->form, fourCC("AVIX"));

    EXPECT_EQ(run("ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets "
                  "-of csv=p=0 '" +
                  path.string() + "'"),
              std::to_string(count) + "\n");
    // The last frame decodes to what was written.
    const std::string raw = (dir / "last.raw").string();
    run("ffmpeg -v error -y -i '" + path.string() + "' -vf 'select=eq(n\\," + std::to_string(count - 1) +
        ")' -fps_mode passthrough -f rawvideo -pix_fmt bgr24 '" + raw + "'");
    const std::vector<std::uint8_t> got = loadFile(raw);
    ASSERT_EQ(got.size(), p.byteSize());
    EXPECT_TRUE(std::equal(got.begin(), got.end(), p.data()));
}

}  // namespace
}  // namespace pelko
