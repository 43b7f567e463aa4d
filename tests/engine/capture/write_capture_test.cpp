// Captured pictures kept and written: the GIF read back by our reader, the
// AVI by ffprobe and ffmpeg, and the free names of the work folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../avi/avi_test_util.h"
#include "engine/base/output_file.h"
#include "engine/capture/write_capture.h"
#include "engine/colour/bitmap_frame.h"
#include "engine/gif/gif_extensions.h"
#include "support/temp_dir.h"

namespace pelko {
namespace {

using namespace pelko::test;

// Three flat pictures of colours a GIF keeps exactly.
Picture flat(int index)
{
    Picture p(24, 16);
    const Color colours[] = {rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255)};
    p.fill(colours[index % 3]);
    p.setPixel(3, 2, rgb(255, 255, 255));
    return p;
}

void fill(CapturedPictures& pictures, int n, bool smooth = false)
{
    for (int i = 0; i < n; ++i) pictures.add(smooth ? testFrame(24, 16, i) : flat(i));
}

TEST(CapturedPictures, KeptAndPackedPicturesComeBackEqual)
{
    for (std::size_t budget : {std::size_t(1) << 20, std::size_t(0), std::size_t(24 * 16 * 3 * 2)}) {
        CapturedPictures pictures(budget);
        fill(pictures, 5, true);
        ASSERT_EQ(pictures.count(), 5);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(pictures.at(i), testFrame(24, 16, i)) << budget << " " << i;
        EXPECT_THROW(pictures.add(Picture(5, 5)), std::invalid_argument);
        EXPECT_THROW(pictures.at(5), std::out_of_range);
        pictures.clear();
        EXPECT_EQ(pictures.count(), 0);
        pictures.add(Picture(5, 5));  // a new capture may have another size
        EXPECT_EQ(pictures.width(), 5);
    }
}

TEST(WriteCapture, GifHasEveryPictureWithDelayAndOneLoop)
{
    TempDir dir;
    CapturedPictures pictures(0);  // everything through the scratch file
    fill(pictures, 3);
    const std::string path = dir.file("c.gif");
    ASSERT_TRUE(writeCaptureGif(pictures, path, 250));
    TGIFImage image;
    image.LoadFromFile(path);
    ASSERT_EQ(image.Images().GetCount(), 3);
    EXPECT_EQ(image.GetWidth(), 24);
    EXPECT_EQ(image.GetHeight(), 16);
    int loops = 0;
    for (int i = 0; i < 3; ++i) {
        TGIFSubImage& f = *image.Images().GetImage(i);
        EXPECT_EQ(f.GetLeft(), 0);
        EXPECT_EQ(f.GetTop(), 0);
        ASSERT_NE(f.GraphicControlExtension(), nullptr);
        EXPECT_EQ(f.GraphicControlExtension()->GetDelay(), 25);
        EXPECT_FALSE(f.GetTransparent());
        for (int k = 0; k < f.Extensions().GetCount(); ++k)
            if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(f.Extensions().GetItem(k))) {
                EXPECT_EQ(i, 0);
                EXPECT_EQ(loop->GetLoops(), 0);
                ++loops;
            }
        const Bitmap b = GetBitmap(f);
        const Picture pic = b.toPicture();
        EXPECT_EQ(pic, flat(i)) << i;
    }
    EXPECT_EQ(loops, 1);
}

TEST(WriteCapture, AviHasEveryPictureAtTheFramePeriod)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg/ffprobe not installed";
    TempDir dir;
    CapturedPictures pictures;
    fill(pictures, 3);
    const std::string path = dir.file("c.avi");
    CaptureAviReport report;
    ASSERT_EQ(writeCaptureAvi(pictures, path, 250, nullptr, report), AVIERR_OK);
    EXPECT_TRUE(report.messages.empty());
    const std::string out =
        run("ffprobe -v error -count_frames -show_entries stream=nb_read_frames,r_frame_rate "
            "-of csv=p=0 '" +
            path + "'");
    EXPECT_EQ(out.substr(0, out.find_first_of("\n")), "4/1,3");
    // the pixels of every frame, exactly (uncompressed)
    const std::string raw = dir.file("f.rgb");
    run("ffmpeg -v error -i '" + path + "' -f rawvideo -pix_fmt bgr24 '" + raw + "'");
    std::ifstream in(raw, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    const std::size_t frameBytes = flat(0).byteSize();
    ASSERT_EQ(bytes.size(), 3 * frameBytes);
    for (int i = 0; i < 3; ++i) {
        const Picture expected = flat(i);
        EXPECT_TRUE(std::equal(expected.data(), expected.data() + frameBytes, bytes.begin() + i * frameBytes))
            << i;
    }
}

TEST(WriteCapture, AviThatCannotBeCreatedSaysSoAndLeavesNothing)
{
    TempDir dir;
    CapturedPictures pictures;
    fill(pictures, 1);
    const std::string path = dir.file("missing/c.avi");
    CaptureAviReport report;
    EXPECT_EQ(writeCaptureAvi(pictures, path, 100, nullptr, report), AVIERR_ERROR);
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_EQ(report.messages[0].rfind("It is impossible to create file " + path, 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// Stops after the first frame.
struct StopAtOnce : ProgressSink {
    bool cancelled() const override { return true; }
};

TEST(WriteCapture, StoppedWritesLeaveNothing)
{
    TempDir dir;
    CapturedPictures pictures;
    fill(pictures, 3);
    StopAtOnce stop;
    EXPECT_FALSE(writeCaptureGif(pictures, dir.file("c.gif"), 100, stop));
    CaptureAviReport report;
    EXPECT_EQ(writeCaptureAvi(pictures, dir.file("c.avi"), 100, nullptr, report, stop), AVIERR_USERABORT);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(WriteCapture, FreeNamesNeverReplaceAFile)
{
    TempDir dir;
    const std::string folder = dir.path().string();
    std::ofstream(dir.file("Capture.avi")) << "keep";
    std::vector<std::string> paths;
    for (int i = 0; i < 2; ++i) {
        const std::string staged = captureStagingPath(folder, CaptureFormat::Avi);
        std::ofstream(staged) << "new" << i;
        paths.push_back(claimFreeName(staged, folder, "Capture", ".avi"));
        EXPECT_FALSE(std::filesystem::exists(staged));
    }
    EXPECT_EQ(paths[0], dir.file("Capture1.avi"));
    EXPECT_EQ(paths[1], dir.file("Capture2.avi"));
    std::ifstream kept(dir.file("Capture.avi"));
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "keep");
    // nothing but the three files is left in the folder
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
    // a folder that cannot be written: the reason, and the staged file gone
    const std::string staged = captureStagingPath(folder, CaptureFormat::AnimatedGif);
    std::ofstream(staged) << "x";
    EXPECT_THROW(claimFreeName(staged, folder + "/none", "Capture", ".gif"), OutputFileError);
    EXPECT_FALSE(std::filesystem::exists(staged));
}

}  // namespace
}  // namespace pelko
