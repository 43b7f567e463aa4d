#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/output/generate_gif.h"
#include "support/given_pictures.h"
#include "support/temp_dir.h"

using namespace pelko;
using namespace pelko::test;

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Project oneFrame(const std::string& file = {})
{
    Project p;
    p.settings.Type = ProjectGif;
    p.settings.Width = 8;
    p.settings.Height = 6;
    FrameRecord f;
    f.Width = 8;
    f.Height = 6;
    if (file.empty())
        givePicture(f, Picture(8, 6)).fill(0x0000FF);
    else
        f.File = file;
    p.frames.append(std::move(f));
    return withGivenPictures(std::move(p));
}

}  // namespace

// What keeps the file from its place is told before any frame is made, in
// the window's words; the terminal's line is the file and the reason. A
// frame that cannot be made fails with its reason after the output's name.
TEST(GenerateGif, FailuresInTheWindowsWordsAndOneLine)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.gif");
    const std::string folder = dir.file("folder.gif"), nowhere = dir.file("none/x.gif");
    const struct {
        std::string path, message, failure;
    } cases[] = {
        {folder, "Select another name for saving file.\n" + folder + ": Is a directory",
         folder + ": Is a directory"},
        {nowhere,
         "It is impossible to create file " + nowhere + "\n" + nowhere + ": No such file or directory",
         nowhere + ": No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const OutputResult r = generateGifFile(oneFrame(), AnimatedGifOptions{}, c.path);
        EXPECT_FALSE(r.ok || r.cancelled || r.canRetry);
        EXPECT_EQ(r.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(r.failure, c.failure);
    }

    const std::string out = dir.file("gone.gif");
    const OutputResult r = generateGifFile(oneFrame(dir.file("gone.png")), AnimatedGifOptions{}, out);
    EXPECT_FALSE(r.ok || r.cancelled);
    EXPECT_EQ(r.failure.rfind(out + ": ", 0), 0u) << r.failure;
    EXPECT_NE(r.failure.find("gone.png"), std::string::npos) << r.failure;
    EXPECT_EQ(r.messages, std::vector<std::string>{r.failure});
    EXPECT_EQ(dir.names(), std::vector<std::string>{"folder.gif"}) << "no file, no temporary";
}

TEST(GenerateGif, WritesCancelsAndSavesBytesAlreadyMade)
{
    TempDir dir;
    const Project p = oneFrame();
    const OutputResult written = generateGifFile(p, AnimatedGifOptions{}, dir.file("a.gif"));
    EXPECT_TRUE(written.ok);
    EXPECT_TRUE(written.messages.empty() && written.failure.empty());

    struct Stop : ProgressSink {
        bool cancelled() const override { return true; }
    } stop;
    const OutputResult stopped = generateGifFile(p, AnimatedGifOptions{}, dir.file("b.gif"), stop);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_FALSE(stopped.ok);
    EXPECT_TRUE(stopped.messages.empty());
    EXPECT_EQ(stopped.failure, dir.file("b.gif") + ": cancelled");

    const std::vector<std::uint8_t> bytes = bytesOf(dir.file("a.gif"));
    EXPECT_TRUE(saveGifFile(bytes, dir.file("c.gif")).ok);
    EXPECT_EQ(bytesOf(dir.file("c.gif")), bytes);
    std::filesystem::create_directory(dir / "d.gif");
    EXPECT_EQ(saveGifFile(bytes, dir.file("d.gif")).failure, dir.file("d.gif") + ": Is a directory");
    std::vector<std::string> names = dir.names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.gif", "c.gif", "d.gif"}));
}
