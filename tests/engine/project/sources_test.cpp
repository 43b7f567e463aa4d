#include <gtest/gtest.h>

#include "engine/image/file_kind.h"
#include "engine/image/picture_effects.h"
#include "engine/image/resample.h"
#include "engine/project/editing.h"
#include "engine/project/frame_cache.h"
#include "engine/project/frame_options.h"
#include "engine/project/project_file.h"
#include "engine/project/project_options.h"
#include "support/picture_files.h"

using namespace pelko;
using namespace pelko::test;

namespace {

Project gifProject(int w = 60, int h = 40)
{
    Project p;
    p.settings.Type = ProjectGif;
    p.settings.Width = w;
    p.settings.Height = h;
    return p;
}

}  // namespace

TEST(AddFiles, StillPictureFrameFields)
{
    TempDir dir;
    const std::string a = writePng(dir.file("a.PNG"), patternPicture(30, 20, rgb(255, 0, 0)));
    Project p = gifProject();
    p.settings.GifFrameTime = 300;
    auto reader = makeFileSourceReader();
    const EditResult r = addFiles(p, {a, dir.file("notes.txt")}, *reader);
    EXPECT_TRUE(r.errors.empty());
    // adding reads the picture once and makes no frame image or thumbnail
    EXPECT_EQ(p.cache->stats().stillReads, 1);
    EXPECT_EQ(p.cache->stats().images, 0);
    EXPECT_EQ(p.cache->stats().thumbnails, 0);
    ASSERT_EQ(p.frames.count(), 1);
    const FrameRecord& f = p.frames[0];
    EXPECT_EQ(f.File, a);
    EXPECT_EQ(f.Frame, 0);
    EXPECT_EQ(f.Time, 300);
    EXPECT_EQ(f.Width, 30);
    EXPECT_EQ(f.Height, 20);
    EXPECT_EQ(f.Gif.TransparentColor, 0x0000FFu);  // the red bottom-left pixel
    GifFrameSettings expected = kDefaultGifFrameSettings;
    expected.TransparentColor = 0x0000FF;
    EXPECT_EQ(f.Gif, expected);
    EXPECT_EQ(frameImage(p, 0).get().width(), 30);
    EXPECT_EQ(frameThumbnail(p, 0).get().width(), kThumbnailWidth);
    EXPECT_EQ(p.cache->stats().stillReads, 1);  // both made from the picture Add read
    EXPECT_EQ(p.selection.indices(), (std::vector<int>{0}));
    EXPECT_TRUE(p.changed);
}

TEST(AddFiles, FirstFrameFixesTheCanvasAndBrokenFilesAreReported)
{
    TempDir dir;
    const std::string a = writePng(dir.file("a.png"), patternPicture(33, 21));
    writeFile(dir.file("bad.png"), {'n', 'o', 't'});
    Project p;
    p.settings.FixAtFirstFrame = true;
    auto reader = makeFileSourceReader();
    const EditResult r = addFiles(p, {dir.file("bad.png"), a, a}, *reader);
    EXPECT_TRUE(r.canvasChanged);
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].rfind("This file is not PNG.\n" + dir.file("bad.png") + ": ", 0), 0u)
        << r.errors[0];
    EXPECT_EQ(p.settings.Width, 33);
    EXPECT_EQ(p.settings.Height, 21);
    EXPECT_FALSE(p.settings.FixAtFirstFrame);
    EXPECT_EQ(p.frames.count(), 2);
    EXPECT_EQ(p.frames[1].Time, 1000);  // AVI frame time
    EXPECT_EQ(p.selection.indices(), (std::vector<int>{1}));
}

TEST(SourceReader, FailureTextsNameTheFile)
{
    TempDir dir;
    auto reader = makeFileSourceReader();
    // the program's words, then the file and what is wrong with it
    const struct {
        const char* name;
        const char* kind;
        bool exists;
        const char* reason;
    } cases[] = {
        {"x.bmp", "BMP.", true, "BMP: not a bitmap file"},
        {"x.jpg", "JPG.", true, "JPEG: not a JPEG file"},
        {"x.JPEG", "JPG.", true, "JPEG: not a JPEG file"},
        {"x.png", "PNG.", true, "The file being readed is not a valid \"Portable Network Graphics\" image"},
        {"x.ico", "ICO.", true, "ICO: not an icon file"},
        {"x.gif", "GIF.", true, "Premature end of data"},
        {"gone.png", "PNG.", false, "No such file or directory"}};
    for (const auto& c : cases) {
        const std::string path = dir.file(c.name);
        if (c.exists)
            writeFile(path, {'n', 'o', 't'});
        std::string error;
        const bool read = hasExtension(path, ".gif") ? reader->readGif(path, error).has_value()
                                                     : reader->readStill(path, error).has_value();
        EXPECT_FALSE(read) << c.name;
        EXPECT_EQ(error.rfind("This file is not " + std::string(c.kind) + "\n" + path + ": " + c.reason, 0),
                  0u)
            << error;
    }
}

TEST(AddFiles, DropStopsAtAForeignFileAndInsertKeepsTheBatchOrder)
{
    TempDir dir;
    std::vector<std::string> files;
    for (int i = 0; i < 7; ++i)
        files.push_back(writePng(dir.file("f" + std::to_string(i) + ".png"), patternPicture(10 + i, 10)));
    Project p = gifProject();
    auto reader = makeFileSourceReader();
    dropFiles(p, {files[0], dir.file("readme.txt"), files[1]}, *reader);
    EXPECT_EQ(p.frames.count(), 1);

    addFiles(p, {files[1], files[2], files[3], files[4]}, *reader);
    ASSERT_EQ(p.frames.count(), 5);
    p.selection.selectOnly(2);
    const EditResult r = insertFiles(p, {files[5], files[6]}, *reader);
    EXPECT_EQ(r.added, 2);
    ASSERT_EQ(p.frames.count(), 7);
    EXPECT_EQ(p.frames[2].File, files[5]);
    EXPECT_EQ(p.frames[3].File, files[6]);
    EXPECT_EQ(p.frames[4].File, files[2]);  // the former frame 2, still selected
    EXPECT_EQ(p.selection.indices(), (std::vector<int>{4}));
}

TEST(ProjectFile, GifProjectRoundTrip)
{
    TempDir dir;
    const std::string a = writePng(dir.file("a.png"), patternPicture(40, 30));
    const std::string b = writePng(dir.file("b.png"), patternPicture(20, 50));
    Project p = gifProject(50, 40);
    auto reader = makeFileSourceReader();
    addFiles(p, {a, b}, *reader);
    FrameRecord& f = p.frames[1];
    f.Time = 1234;
    f.Flip = 3;
    f.Gray = true;
    f.Left = 5;
    f.Top = 6;
    f.Gif.TransparentColorIndex = 251;
    f.Gif.GIFTransparent = true;
    f.Gif.ColorDither = 4;
    f.Gif.DisposalMethod = 2;
    f.Gif.GIFCompression = 1;
    p.frames[0].Stretch = true;
    p.frames[0].Inverse = true;
    p.settings.Interlaced = true;
    saveProjectFile(p, dir.file("p.mcp"));

    Project q;
    const OpenResult r = openProjectFile(q, dir.file("p.mcp"), *reader, {});
    EXPECT_TRUE(r.errors.empty());
    EXPECT_TRUE(q.log.empty());
    EXPECT_FALSE(q.changed);
    EXPECT_TRUE(q.settings.Interlaced);
    ASSERT_EQ(q.frames.count(), 2);
    for (int i = 0; i < 2; ++i) {
        const FrameRecord &x = p.frames[std::size_t(i)], &y = q.frames[std::size_t(i)];
        EXPECT_EQ(x.File, y.File);
        EXPECT_EQ(x.Time, y.Time);
        EXPECT_EQ(x.Flip, y.Flip);
        EXPECT_EQ(x.Gray, y.Gray);
        EXPECT_EQ(x.Inverse, y.Inverse);
        EXPECT_EQ(x.Stretch, y.Stretch);
        EXPECT_EQ(x.Left, y.Left);
        EXPECT_EQ(x.Top, y.Top);
        EXPECT_EQ(x.Width, y.Width);
        EXPECT_EQ(x.Height, y.Height);
        EXPECT_EQ(x.Gif, y.Gif);
    }
    // the opened frame is rendered with its effects: mirrored both ways, then grey
    Picture expected(20, 40);
    expected.draw(patternPicture(20, 50), 0, 0);
    expected = mirrorPicture(expected, 3, 20, 40);
    greyPicture(expected);
    EXPECT_EQ(frameImage(q, 1).get(), expected);
    EXPECT_EQ(q.selection.indices(), (std::vector<int>{0}));
}

TEST(ProjectFile, ValueFormsAndAGapEndTheFrames)
{
    TempDir dir;
    const std::string a = writePng(dir.file("a.png"), patternPicture(8, 8));
    writeFile(dir.file("p.mcp"), [&] {
        const std::string t = "[Parameters]\nWidth=100\nHeight=100\nType=1\n[Files]\nFile_1=" + a +
                              "\nInverse_1=7\nStretch_1=yes\nLeft_1=0x10\nTime_1=65636\nColorDither_1=258\n"
                              "File_3=" +
                              a + "\n";
        return std::vector<std::uint8_t>(t.begin(), t.end());
    }());
    Project p;
    auto reader = makeFileSourceReader();
    openProjectFile(p, dir.file("p.mcp"), *reader, {});
    ASSERT_EQ(p.frames.count(), 1);
    EXPECT_TRUE(p.frames[0].Inverse);
    EXPECT_FALSE(p.frames[0].Stretch);
    EXPECT_EQ(p.frames[0].Left, 16);
    EXPECT_EQ(p.frames[0].Width, 100);  // the project's width as read
    // values a frame cannot hold are brought into range, each with a line
    EXPECT_EQ(p.frames[0].Time, 65535);
    EXPECT_EQ(p.frames[0].Gif.ColorDither, 0);
    EXPECT_EQ(p.log.lines(), (std::vector<std::string>{"Time_1=65636 is out of range; 65535 is used.",
                                                       "ColorDither_1=258 is out of range; 0 is used."}));
}

TEST(Refresh, ReadsTheSourceAgainAndLogsMissingFiles)
{
    TempDir dir;
    const std::string a = writePng(dir.file("a.png"), patternPicture(10, 10));
    const std::string b = writePng(dir.file("b.png"), patternPicture(10, 10));
    Project p = gifProject();
    auto reader = makeFileSourceReader();
    addFiles(p, {a, b}, *reader);
    Picture changed(10, 10);
    changed.fill(0x00FF00);
    writePng(a, changed);
    std::filesystem::remove(b);
    p.selection.assign({0, 1});
    p.changed = false;
    refreshSelected(p, *reader);
    EXPECT_EQ(frameImage(p, 0).get().pixel(5, 5), 0x00FF00u);
    EXPECT_EQ(frameThumbnail(p, 0).get().pixel(84, 54), 0x00FF00u);
    EXPECT_EQ(p.log.lines(), (std::vector<std::string>{"Not found file: " + b}));
    EXPECT_TRUE(p.changed);
}

TEST(ProjectOptions, TimeOnlyRendersNothingAndTypeChangeRendersAll)
{
    TempDir dir;
    const std::string a = writePng(dir.file("a.png"), patternPicture(10, 10));
    Project p;
    p.settings.Width = 60;
    p.settings.Height = 40;
    auto reader = makeFileSourceReader();
    addFiles(p, {a, a}, *reader);
    Picture green(10, 10);
    green.fill(0x00FF00);
    writePng(a, green);  // a rendering would show green

    ProjectOptions o = projectOptionsForDialog(p, false, {});
    o.AviFrameTime = 250;
    p.changed = false;
    const int reads = p.cache->stats().stillReads;
    ProjectOptionsResult r = applyProjectOptions(p, o, *reader);
    EXPECT_FALSE(r.optionsChanged);
    EXPECT_FALSE(r.rendered);
    EXPECT_EQ(p.frames[1].Time, 250);
    EXPECT_EQ(p.cache->stats().stillReads, reads);  // nothing read
    EXPECT_TRUE(p.changed);                         // a stored time changed: closing must ask

    o.Type = ProjectGif;
    r = applyProjectOptions(p, o, *reader);
    EXPECT_TRUE(r.optionsChanged);
    EXPECT_EQ(p.cache->stats().stillReads, reads + 1);  // the changed file, once for both frames
    EXPECT_EQ(frameImage(p, 0).get().pixel(1, 1), 0x00FF00u);
    EXPECT_EQ(p.frames[1].Time, 250);  // times stay as they were
    EXPECT_EQ(p.selection.indices(), (std::vector<int>{0}));

    std::filesystem::remove(a);
    o.Width = 70;
    applyProjectOptions(p, o, *reader);
    EXPECT_EQ(p.log.lines(), (std::vector<std::string>{"Not found file: " + a, "Not found file: " + a}));
}

// A frame that needs a picture larger than any picture can be stops neither
// Refresh, nor Project options, nor Frame options: the frames after it are
// rendered, the log says which frame and why, and the project is changed.
TEST(RenderingCommands, FinishEveryFramePastOneTooLargeForAPicture)
{
    TempDir dir;
    const std::string a = writePng(dir.file("a.png"), patternPicture(10, 10));
    auto reader = makeFileSourceReader();
    const struct {
        const char* command;
        void (*makeTooLarge)(FrameRecord&);
        void (*run)(Project&, SourceReader&);
        const char* size;
    } cases[] = {
        {"Refresh", [](FrameRecord& f) { f.Width = 70000; },
         [](Project& p, SourceReader& r) { refreshSelected(p, r); }, "70000 x 10"},
        {"Frame options", [](FrameRecord& f) { f.Height = 1 << 20; },
         [](Project& p, SourceReader& r) {
             PendingFrameOptions moved;
             moved.values.top = 3;
             moved.flags.top = true;
             applyFrameOptions(p, moved, false, r);
         },
         "10 x 1048576"},
        {"Project options", [](FrameRecord& f) { f.Stretch = true; },
         [](Project& p, SourceReader& r) {
             ProjectOptions o = projectOptionsForDialog(p, false, {});
             o.Width = o.Height = 20000;  // each frame's own scaling: only the first is fitted
             applyProjectOptions(p, o, r);
         },
         "20000 x 20000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        writePng(a, patternPicture(10, 10));
        Project p = gifProject();
        addFiles(p, {a, a, a}, *reader);
        c.makeTooLarge(p.frames[0]);
        const FrameRecord tooLarge = p.frames[0];
        Picture green(10, 10);
        green.fill(0x00FF00);
        writePng(a, green);  // whatever is rendered again shows green
        p.selection.assign({0, 1, 2});
        p.changed = false;
        c.run(p, *reader);
        EXPECT_EQ(p.log.lines(),
                  (std::vector<std::string>{"Frame 1 (" + a + ") cannot be rendered: " + c.size +
                                            " pixels is more than a picture can hold."}));
        EXPECT_EQ(p.frames[0].Width, tooLarge.Width);
        EXPECT_EQ(p.frames[0].Stretch, tooLarge.Stretch);
        EXPECT_EQ(frameImage(p, 0).status, SourceStatus::TooLarge);
        EXPECT_TRUE(p.cache->takeProblems().empty());  // the command's line is not repeated
        EXPECT_EQ(frameImage(p, 1).get().pixel(5, 5), 0x00FF00u);
        EXPECT_EQ(frameImage(p, 2).get().pixel(5, 5), 0x00FF00u);
        EXPECT_TRUE(p.changed);
    }
}

TEST(ProjectFile, HostileSizesAreBroughtIntoRangeOrRefusedFrameByFrame)
{
    TempDir dir;
    const std::string a = writePng(dir.file("a.png"), patternPicture(8, 8));
    const std::string text =
        "[Parameters]\nWidth=0x7FFFFFFF\nHeight=65535\nType=1\n[Files]\n"
        "File_1=a.png\nStretch_1=1\n"
        "File_2=a.png\nWidth_2=-5\nHeight_2=3\nFlip_2=-7\n"
        "File_3=a.png\nWidth_3=4\nHeight_3=4\nFlip_3=1\n";
    writeFile(dir.file("p.mcp"), std::vector<std::uint8_t>(text.begin(), text.end()));
    Project p;
    auto reader = makeFileSourceReader();
    openProjectFile(p, dir.file("p.mcp"), *reader, {});
    // frame 1 would be fitted into a canvas of 65535 x 65535, more than any
    // picture; 2 is empty; 3 is fine
    ASSERT_EQ(p.frames.count(), 2);
    EXPECT_EQ(frameImage(p, 0).get().width(), 0);
    EXPECT_EQ(p.frames[0].Flip, 0);
    EXPECT_EQ(frameImage(p, 1).get().width(), 4);
    EXPECT_EQ(
        p.log.lines(),
        (std::vector<std::string>{
            "Width=2147483647 is out of range; 65535 is used.",
            "Frame 1 (" + a + ") cannot be rendered: 65535 x 65535 pixels is more than a picture can hold.",
            "Flip_2=-7 is out of range; 0 is used.", "Width_2=-5 is out of range; 0 is used."}));
    EXPECT_TRUE(p.changed);
}

TEST(ProjectFile, CancellingTheOpenKeepsTheFramesReadSoFar)
{
    TempDir dir;
    const std::string a = writePng(dir.file("a.png"), patternPicture(8, 8));
    std::string text = "[Parameters]\nWidth=8\nHeight=8\nType=1\n[Files]\n";
    for (int n = 1; n <= 5; ++n) text += "File_" + std::to_string(n) + "=" + a + "\n";
    writeFile(dir.file("p.mcp"), std::vector<std::uint8_t>(text.begin(), text.end()));
    struct StopAtSixty : ProgressSink {
        int last = 0;
        void progress(int percent) override { last = percent; }
        bool cancelled() const override { return last >= 60; }
    } stop;
    Project p;
    auto reader = makeFileSourceReader();
    openProjectFile(p, dir.file("p.mcp"), *reader, {}, stop);
    EXPECT_EQ(p.frames.count(), 3);  // 60 % is reached with the third frame: the fourth is not read
}
