#include <gtest/gtest.h>

#include "engine/effects/flip_convert.h"
#include "engine/image/picture_effects.h"
#include "engine/project/editing.h"
#include "engine/project/frame_cache.h"
#include "support/picture_files.h"

using namespace pelko;
using namespace pelko::test;

namespace {

struct Fixture {
    TempDir dir;
    std::unique_ptr<SourceReader> reader = makeFileSourceReader();
    Picture source = patternPicture(12, 8);
    std::string file = writePng(dir.file("s.png"), source);
    Project project;

    Fixture()
    {
        project.settings.Width = 50;
        project.settings.Height = 50;
        addFiles(project, {file}, *reader);
    }
    FrameRecord& frame() { return project.frames[0]; }
    // Frame i's picture as the frame cache renders it now.
    Picture image(int i = 0) const { return frameImage(project, i).get(); }
    Picture expected(int flip, bool grey, bool inverse) const
    {
        Picture p = mirrorPicture(source, flip, 12, 8);
        if (grey)
            greyPicture(p);
        if (inverse)
            invertPicture(p);
        return p;
    }
};

}  // namespace

TEST(Flip, FlipsStartFromTheSourceAndDoNotAccumulate)
{
    Fixture fx;
    flipSelected(fx.project, 1, *fx.reader);
    flipSelected(fx.project, 1, *fx.reader);  // skipped: already horizontal
    EXPECT_EQ(fx.image(), fx.expected(1, false, false));
    flipSelected(fx.project, 2, *fx.reader);
    EXPECT_EQ(fx.image(), fx.expected(2, false, false));
    EXPECT_EQ(fx.frame().Flip, 2);
    flipSelected(fx.project, 3, *fx.reader);
    EXPECT_EQ(fx.image(), fx.expected(3, false, false));
    flipSelected(fx.project, 0, *fx.reader);
    EXPECT_EQ(fx.image(), fx.source);
}

TEST(Flip, GreyInvertedFrameIsMirroredThenGreyedThenInverted)
{
    Fixture fx;
    convertSelected(fx.project, ConvertMode::GreyScale, *fx.reader);
    convertSelected(fx.project, ConvertMode::Inverse, *fx.reader);
    flipSelected(fx.project, 2, *fx.reader);
    EXPECT_EQ(fx.image(), fx.expected(2, true, true));
}

TEST(Convert, InvertedFramesAreNeverGreyedAndNormalRestoresTheSource)
{
    Fixture fx;
    flipSelected(fx.project, 1, *fx.reader);
    convertSelected(fx.project, ConvertMode::Inverse, *fx.reader);
    const Picture inverted = fx.image();
    convertSelected(fx.project, ConvertMode::GreyScale, *fx.reader);
    EXPECT_EQ(fx.image(), inverted);
    EXPECT_FALSE(fx.frame().Gray);
    convertSelected(fx.project, ConvertMode::Normal, *fx.reader);
    EXPECT_EQ(fx.image(), fx.expected(1, false, false));
    EXPECT_FALSE(fx.frame().Inverse);
    const EffectMarks m = effectMarks(fx.frame());
    EXPECT_TRUE(m.normal);
    EXPECT_EQ(m.flip, 1);
}

TEST(Flip, MissingSourceKeepsThePictureAndLogs)
{
    Fixture fx;
    std::filesystem::remove(fx.file);
    fx.project.changed = false;
    flipSelected(fx.project, 1, *fx.reader);
    EXPECT_EQ(fx.image(), fx.source);
    EXPECT_EQ(fx.frame().Flip, 0);
    EXPECT_EQ(fx.project.log.lines(), (std::vector<std::string>{"Not found file: " + fx.file}));
    EXPECT_TRUE(fx.project.changed);
}

TEST(Flip, AFrameTooLargeForAPictureIsLoggedAndTheOthersAreFlipped)
{
    Fixture fx;
    addFiles(fx.project, {fx.file}, *fx.reader);
    fx.frame().Width = 70000;
    const Picture before = fx.image();
    fx.project.selection.assign({0, 1});
    fx.project.changed = false;
    flipSelected(fx.project, 1, *fx.reader);
    EXPECT_EQ(fx.image(), before);
    EXPECT_EQ(fx.frame().Flip, 0);
    EXPECT_EQ(fx.image(1), fx.expected(1, false, false));
    EXPECT_EQ(fx.project.frames[1].Flip, 1);
    EXPECT_EQ(fx.project.log.lines(),
              (std::vector<std::string>{
                  "Frame 1 (" + fx.file +
                  ") cannot be rendered: 70000 x 8 pixels is more than a picture can hold."}));
    EXPECT_TRUE(fx.project.changed);

    // Convert to Normal goes the same way
    fx.project.log.clear();
    convertSelected(fx.project, ConvertMode::Inverse, *fx.reader);
    convertSelected(fx.project, ConvertMode::Normal, *fx.reader);
    EXPECT_TRUE(fx.frame().Inverse);
    EXPECT_FALSE(fx.project.frames[1].Inverse);
    EXPECT_EQ(fx.image(1), fx.expected(1, false, false));
    EXPECT_EQ(fx.project.log.lines().size(), 1u);
}

// Inverse and GreyScale read no source. A frame whose source has gone, with
// only its picture left in the cache, keeps that picture with the effect.
TEST(Convert, AFrameWhoseSourceHasGoneKeepsItsPictureWithTheEffect)
{
    Fixture fx;
    const Picture shown = fx.image();
    const FrameCacheStats held = fx.project.cache->stats();
    // room for the frame image alone: the source picture read by Add goes
    fx.project.cache->setBudget(held.bytes / 2 + 64);
    ASSERT_EQ(fx.project.cache->stats().entries, 1u);
    std::filesystem::remove(fx.file);
    convertSelected(fx.project, ConvertMode::Inverse, *fx.reader);
    EXPECT_TRUE(fx.frame().Inverse);
    Picture inverted = shown;
    invertPicture(inverted);
    EXPECT_EQ(fx.image(), inverted);
    EXPECT_EQ(fx.project.cache->stats().stillReads, 1);  // Add's read, no other
    EXPECT_TRUE(fx.project.log.empty());
}
