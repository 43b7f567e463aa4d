// Generation reads every frame image through the project's frame cache: a
// budget too small for more than one source picture gives the bytes an
// unlimited budget gives.

#include <gtest/gtest.h>

#include <limits>

#include "engine/output/generate_avi.h"
#include "engine/output/write_animated_gif.h"
#include "engine/project/editing.h"
#include "engine/project/frame_cache.h"
#include "support/picture_files.h"

using namespace pelko;
using namespace pelko::test;

namespace {

constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();
// Room for one of the pictures below, read again for nearly every frame.
constexpr std::size_t kOnePicture = 5000;

// Ten frames of three pictures: placed, cut, stretched, mirrored, grey and
// negative, so that no two frames share a frame image.
Project animation(const TempDir& dir, std::int32_t type)
{
    Project p;
    p.settings.Type = type;
    p.settings.Width = 48;
    p.settings.Height = 36;
    const std::string a = writePng(dir.file("a.png"), patternPicture(40, 30));
    const std::string b = writePng(dir.file("b.png"), patternPicture(30, 36, 0x0000FF));
    const std::string c = writePng(dir.file("c.png"), patternPicture(60, 20, 0x00FF00));
    auto reader = makeFileSourceReader();
    addFiles(p, {a, b, c, a, b, c, a, b, c, a}, *reader);
    for (int i = 0; i < p.frames.count(); ++i) {
        FrameRecord& f = p.frames[std::size_t(i)];
        f.Flip = i % 4;
        f.Gray = i % 3 == 2;
        f.Inverse = i % 5 == 1;
        f.Left = i;
        f.Top = i / 2;
        f.Time = std::uint16_t(100 + 10 * i);
    }
    p.frames[4].Stretch = true;
    p.frames[7].Width = 20;
    return p;
}

}  // namespace

TEST(CacheBudget, AnimatedGifBytesDoNotDependOnTheBudget)
{
    TempDir dir;
    Project p = animation(dir, ProjectGif);
    for (int jobs : {1, 3}) {
        AnimatedGifOptions o = gifOptionsOf(p.settings, 0);
        o.mergeColorMaps = true;
        o.jobs = jobs;
        p.cache->clear();
        p.cache->setBudget(kUnlimited);
        const std::optional<std::vector<std::uint8_t>> unlimited = buildAnimatedGifBytes(p, o);
        ASSERT_TRUE(unlimited.has_value());
        p.cache->clear();
        p.cache->setBudget(kOnePicture);
        EXPECT_EQ(buildAnimatedGifBytes(p, o), unlimited) << jobs << " threads";
        EXPECT_GT(p.cache->stats().evictions, 0);
        EXPECT_LE(p.cache->stats().bytes, kOnePicture);
        EXPECT_TRUE(p.cache->takeProblems().empty());
    }
}

TEST(CacheBudget, AviBytesDoNotDependOnTheBudget)
{
    TempDir dir;
    Project p = animation(dir, ProjectAvi);
    AviGenerateOptions o;
    o.showCodecWindow = false;
    o.compress.fourcc = availableVideoCodecs().front().fourcc;  // uncompressed: every pixel in the file
    std::vector<std::vector<std::uint8_t>> files;
    for (std::size_t budget : {kUnlimited, kOnePicture}) {
        p.cache->clear();
        p.cache->setBudget(budget);
        const std::string out = dir.file("out" + std::to_string(files.size()) + ".avi");
        ASSERT_TRUE(generateAviFile(p, out, o).ok);
        files.push_back(readFile(out));
    }
    EXPECT_EQ(files[0], files[1]);
    EXPECT_GT(p.cache->stats().evictions, 0);
    EXPECT_TRUE(p.cache->takeProblems().empty());
}

// A frame that cannot be rendered ends generation with its reason and no
// file, rather than a blank frame in the output. A frame whose source has
// gone while its pixels are held is written as it shows.
TEST(CacheBudget, AFrameThatCannotBeRenderedEndsGeneration)
{
    for (std::int32_t type : {ProjectGif, ProjectAvi}) {
        TempDir dir;
        Project p = animation(dir, type);
        const std::string broken = dir.file("b.png");
        for (int i = 0; i < p.frames.count(); ++i) frameImage(p, i);  // every picture held
        std::filesystem::remove(dir.file("a.png"));
        writeFile(broken, {'n', 'o', 't'});
        const std::string line = "Cannot create bitmap from " + broken;
        const std::string out = dir.file(type == ProjectGif ? "out.gif" : "out.avi");
        auto generate = [&](std::string& error) {
            if (type == ProjectGif) {
                try {
                    WriteAnimatedGif(p, gifOptionsOf(p.settings, 0), out);
                } catch (const std::exception& e) {
                    error = e.what();
                }
                return;
            }
            AviGenerateOptions o;
            o.showCodecWindow = false;
            o.compress.fourcc = availableVideoCodecs().front().fourcc;
            const OutputResult result = generateAviFile(p, out, o);
            if (!result.ok)
                error = result.failure;
        };
        std::string error;
        generate(error);
        EXPECT_EQ(error, line) << type;
        EXPECT_FALSE(std::filesystem::exists(out));

        // without the frames of the broken file: a.png's frames from what is held
        for (int i = p.frames.count() - 1; i >= 0; --i)
            if (p.frames[std::size_t(i)].File == broken)
                p.frames.erase(std::size_t(i));
        error.clear();
        generate(error);
        EXPECT_EQ(error, "") << type;
        EXPECT_TRUE(std::filesystem::exists(out));
    }
}
