// The output file's kind and its name when the file type changes, whether it
// can be written, and the rules of the two output options dialogs.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <tuple>

#include <unistd.h>

#include "engine/output/output_dialog_values.h"
#include "engine/output/output_target.h"
#include "support/temp_dir.h"

using namespace pelko;
using namespace pelko::test;

namespace {

TEST(OutputTarget, KindByExtensionWhateverTheCase)
{
    const std::pair<const char*, OutputKind> cases[] = {
        {"movie.avi", OutputKind::Avi},     {"movie.AVI", OutputKind::Avi},
        {"/a.b/clip.Gif", OutputKind::Gif}, {"movie.mpg", OutputKind::None},
        {"movie", OutputKind::None},        {"avi", OutputKind::None},
        {"clip.gif.png", OutputKind::None}, {"a.WebP", OutputKind::WebP},
        {"a.apng", OutputKind::Apng},       {"a.mp4", OutputKind::Mp4},
        {"a.webm", OutputKind::WebM},       {"a.webp.x", OutputKind::None},
    };
    for (const auto& [path, kind] : cases) EXPECT_EQ(outputKindOf(path), kind) << path;
    // a .png is an animation only when chosen as one
    EXPECT_EQ(outputKindOf("a.png"), OutputKind::None);
    EXPECT_EQ(outputKindOf("a.PNG", true), OutputKind::Apng);
}

TEST(OutputTarget, NameFollowsTheFileType)
{
    struct Case {
        const char* typed;
        bool avi;
        const char* shown;
    };
    const Case cases[] = {
        {"clip.gif", true, "clip.avi"},     {"clip", false, "clip.gif"},
        {"clip.avi", false, "clip.gif"},    {"movie.mpeg", false, "movie.gif"},
        {"a.b/clip", true, "a.b/clip.avi"}, {"a.b/clip.x", true, "a.b/clip.avi"},
        {"clip.", false, "clip..gif"},  // a dot with nothing after it is no extension
    };
    for (const Case& c : cases) EXPECT_EQ(nameForOutputType(c.typed, c.avi), c.shown) << c.typed;
}

TEST(OutputTarget, ProblemsOfTheTargetAndItsFolder)
{
    TempDir dir;
    EXPECT_EQ(replaceProblem(dir.file("new.gif")), 0);
    EXPECT_EQ(folderProblem(dir.file("new.gif")), 0);
    EXPECT_EQ(replaceProblem(dir.path().string()), EISDIR);
    EXPECT_EQ(folderProblem(dir.file("missing/new.gif")), ENOENT);
    std::ofstream(dir.file("file")) << "x";
    EXPECT_EQ(folderProblem(dir.file("file/new.gif")), ENOTDIR);
    if (::geteuid() != 0) {  // root writes anywhere
        std::filesystem::permissions(dir.file("file"), std::filesystem::perms::owner_read);
        EXPECT_EQ(replaceProblem(dir.file("file")), EACCES);
        std::filesystem::create_directory(dir / "ro");
        std::filesystem::permissions(dir / "ro",
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_EQ(folderProblem(dir.file("ro/new.gif")), EACCES);
        std::filesystem::permissions(dir / "ro", std::filesystem::perms::owner_all);
    }
}

TEST(OutputTarget, WrittenFileText)
{
    EXPECT_EQ(writtenFileText("a.gif", 900), "a.gif (900 bytes)");
    EXPECT_EQ(writtenFileText("a.gif", 12646), "a.gif (12.3 KB)");
    EXPECT_EQ(writtenFileText("a.avi", 3u * 1024 * 1024 + 104858), "a.avi (3.1 MB)");
}

TEST(AviOptionsDialog, FrameTimeSaveAndOptionsChanged)
{
    EXPECT_EQ(aviDialogFrameTime(5), 20);
    EXPECT_EQ(aviDialogFrameTime(20), 20);
    EXPECT_EQ(aviDialogFrameTime(20000), 10000);

    ProjectSettings s;
    s.AviFrameTime = 200;
    s.Wav_File = "/music/Song.wav";
    OutputState state;
    AviOptionsValues v = aviOptionsForDialog(s, state);
    // only the case of the sound file's name changed, and the codec window
    v.wavFile = "/music/song.WAV";
    v.showCodecWindow = false;
    v.showAlways = false;
    v.soundDuration = -1;
    EXPECT_FALSE(confirmAviOptions(v, s, state));
    EXPECT_EQ(s.Wav_File, "/music/song.WAV");
    EXPECT_FALSE(state.ShowCodecWindow);
    EXPECT_FALSE(state.ShowAviOptions);
    EXPECT_EQ(state.SoundDuration, -1);

    for (auto change :
         {+[](AviOptionsValues& x) { x.frameTime = 300; }, +[](AviOptionsValues& x) { x.sound = true; },
          +[](AviOptionsValues& x) { x.wavFile = "/music/other.wav"; }}) {
        ProjectSettings t = s;
        OutputState st;
        AviOptionsValues w = aviOptionsForDialog(t, st);
        change(w);
        EXPECT_TRUE(confirmAviOptions(w, t, st));
        EXPECT_TRUE(st.OptionsChanged);
    }
}

TEST(GifOptionsDialog, LoopsDefaultsAndOptionsChanged)
{
    ProjectSettings s;
    s.Merge = true;
    OutputState state;
    state.GifLoops = 3;
    GifOptionsValues v = gifOptionsForDialog(s, state);
    EXPECT_FALSE(v.infiniteLoop);
    EXPECT_EQ(v.loops, 3);
    EXPECT_TRUE(v.merge);

    // the loop count does not count as a change of the project
    v.loops = 7;
    EXPECT_FALSE(confirmGifOptions(v, s, state));
    EXPECT_EQ(state.GifLoops, 7);
    // "Infinite loop" stores 0 whatever the field shows
    v.infiniteLoop = true;
    EXPECT_EQ(gifBuildOptionsOf(v).loops, 0);
    v.crop = true;
    EXPECT_TRUE(confirmGifOptions(v, s, state));
    EXPECT_EQ(state.GifLoops, 0);
    EXPECT_TRUE(s.Crop);

    // "by default" leaves "Infinite loop" alone
    v.showAlways = false;
    const GifOptionsValues d = gifDialogDefaults(v);
    EXPECT_FALSE(d.optimize || d.merge || d.crop || d.interlaced);
    EXPECT_TRUE(d.showAlways);
    EXPECT_TRUE(d.infiniteLoop);
    EXPECT_EQ(d.loops, 1);

    const AnimatedGifOptions o = gifBuildOptionsOf({true, false, true, true, false, 300, true});
    EXPECT_TRUE(o.mergeColorMaps && o.crop && o.interlaced && !o.mergeSimilarities);
    EXPECT_EQ(o.loops, 255);
    EXPECT_FALSE(o.bestPalette);
    EXPECT_EQ(o.lossy, 0);
}

// "Smaller file" and its strength: read from the project (on with either
// part stored), stored on "Save" as a change, off leaving nothing behind.
TEST(GifOptionsDialog, SmallerFileAndItsStrength)
{
    ProjectSettings s;
    OutputState state;
    GifOptionsValues v = gifOptionsForDialog(s, state);
    EXPECT_FALSE(v.smallerFile);
    EXPECT_EQ(v.strength, kDefaultGifStrength);
    // the strength of a mode that is off is not stored
    v.strength = 70;
    EXPECT_FALSE(confirmGifOptions(v, s, state));
    EXPECT_EQ(s.Lossy, 0);

    v.smallerFile = true;
    EXPECT_TRUE(confirmGifOptions(v, s, state));
    EXPECT_TRUE(s.BestPalette);
    EXPECT_EQ(s.Lossy, 70);
    const AnimatedGifOptions o = gifBuildOptionsOf(v);
    EXPECT_TRUE(o.bestPalette);
    EXPECT_EQ(o.lossy, 70);

    for (const auto& [best, lossy, on, strength] :
         {std::tuple{true, 0, true, 0}, {false, 25, true, 25}, {false, 0, false, kDefaultGifStrength}}) {
        ProjectSettings t;
        t.BestPalette = best;
        t.Lossy = lossy;
        const GifOptionsValues w = gifOptionsForDialog(t, state);
        EXPECT_EQ(w.smallerFile, on) << best << " " << lossy;
        EXPECT_EQ(w.strength, strength) << best << " " << lossy;
    }

    OutputState fresh;
    v.smallerFile = false;
    EXPECT_TRUE(confirmGifOptions(v, s, fresh));
    EXPECT_FALSE(s.BestPalette);
    EXPECT_EQ(s.Lossy, 0);
    const GifOptionsValues d = gifDialogDefaults(gifOptionsForDialog(s, fresh));
    EXPECT_FALSE(d.smallerFile);
    EXPECT_EQ(d.strength, kDefaultGifStrength);
}

}  // namespace
