#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "engine/project/project_file.h"
#include "support/picture_files.h"

using namespace pelko;
using namespace pelko::test;
namespace fs = std::filesystem;

namespace {

class ProjectFileTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return dir.file(name); }
    void write(const std::string& name, const std::string& text) const
    {
        std::ofstream(path(name), std::ios::binary) << text;
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    TempDir dir;
    std::unique_ptr<SourceReader> reader = makeFileSourceReader();
};

FrameRecord frame(const std::string& file, std::uint16_t time)
{
    FrameRecord f;
    f.File = file;
    f.Time = time;
    f.Width = 10;
    f.Height = 20;
    f.Gif.TransparentColor = 0x0000FF;
    f.Gif.TransparentColorIndex = 200;
    return f;
}

}  // namespace

TEST_F(ProjectFileTest, GifProjectKeysInOrder)
{
    Project p;
    p.settings.Type = ProjectGif;
    p.settings.Width = 320;
    p.settings.Height = 200;
    p.settings.Merge = true;
    p.settings.GifFrameTime = 250;
    p.frames.append(frame("/pics/a.png", 70));
    p.changed = true;
    saveProjectFile(p, path("g.mcp"));
    EXPECT_FALSE(p.changed);
    EXPECT_EQ(p.path, path("g.mcp"));
    EXPECT_EQ(read("g.mcp"),
              "[Main]\nVersion=Pelko v.2.2\n[Parameters]\nWidth=320\nHeight=200\nStretch=0\nType=1\n"
              "Crop=0\nMerge=1\nOptimize=0\nInterlaced=0\nTime=250\n[Files]\nFile_1=/pics/a.png\nTime_1=70\n"
              "Flip_1=0\nInverse_1=0\nGray_1=0\nFrame_1=0\nColorDither_1=0\nColorReduction_1=7\n"
              "ReductionBit_1=8\nGIFCompression_1=0\nGIFTransparent_1=0\nDisposalMethod_1=0\n"
              "TransparentColor_1=255\nTransparentColorIndex_1=200\nStretch_1=0\nLeft_1=0\nTop_1=0\n"
              "Width_1=10\nHeight_1=20\n");
}

// The smaller-file mode is written only when used; a value out of range
// read back is brought into it.
TEST_F(ProjectFileTest, SmallerFileModeIsStoredOnlyWhenUsed)
{
    Project p;
    p.settings.Type = ProjectGif;
    p.settings.Lossy = 40;
    p.settings.BestPalette = true;
    saveProjectFile(p, path("s.mcp"));
    EXPECT_NE(read("s.mcp").find("Interlaced=0\nLossy=40\nPalette=1\nTime="), std::string::npos)
        << read("s.mcp");
    Project q;
    openProjectFile(q, path("s.mcp"), *reader, {});
    EXPECT_EQ(q.settings.Lossy, 40);
    EXPECT_TRUE(q.settings.BestPalette);

    q.settings.Lossy = 0;
    q.settings.BestPalette = false;
    saveProjectFile(q, path("s.mcp"));
    EXPECT_EQ(read("s.mcp").find("Lossy"), std::string::npos);
    EXPECT_EQ(read("s.mcp").find("Palette"), std::string::npos);

    const std::string palette = "Palette=7 is out of range; 0 is used.";
    const struct {
        std::string stored;
        int lossy;
        std::vector<std::string> lines;
    } cases[] = {
        {"500", 100, {"Lossy=500 is out of range; 100 is used.", palette}},
        {"-3", 0, {"Lossy=-3 is out of range; 0 is used.", palette}},
        {"x", 0, {palette}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        write("o.mcp", "[Parameters]\nWidth=10\nHeight=10\nType=1\nLossy=" + c.stored + "\nPalette=7\n");
        Project r;
        openProjectFile(r, path("o.mcp"), *reader, {});
        EXPECT_EQ(r.settings.Lossy, c.lossy);
        EXPECT_FALSE(r.settings.BestPalette);
        EXPECT_EQ(r.log.lines(), c.lines);
    }
}

TEST_F(ProjectFileTest, AviProjectHasSoundAndNoFrameTimes)
{
    Project p;
    p.settings.AviFrameTime = 40;
    p.frames.append(frame("/pics/a.png", 40));
    p.frames[0].Gif.TransparentColor = 0xFFFFFFFF;  // written as a signed number
    saveProjectFile(p, path("a.mcp"));
    const std::string text = read("a.mcp");
    EXPECT_NE(text.find("Type=0\nTime=40\nSound=0\nWav_File=\n[Files]"), std::string::npos) << text;
    EXPECT_EQ(text.find("Time_1"), std::string::npos);
    EXPECT_EQ(text.find("Crop"), std::string::npos);
    EXPECT_NE(text.find("TransparentColor_1=-1\n"), std::string::npos);
}

TEST_F(ProjectFileTest, SavingKeepsForeignSectionsAndDropsOldFrames)
{
    write("p.mcp", "[Mine]\nnote=keep me\n[Files]\nFile_1=x\nFile_2=y\n");
    Project p;
    saveProjectFile(p, path("p.mcp"));
    const std::string text = read("p.mcp");
    EXPECT_NE(text.find("[Mine]\nnote=keep me\n"), std::string::npos);
    EXPECT_EQ(text.find("File_2"), std::string::npos);
}

TEST_F(ProjectFileTest, FailedSaveKeepsTheProjectChangedAndTheOldFile)
{
    Project p;
    p.changed = true;
    const std::string bad = path("missing/dir/p.mcp");
    try {
        saveProjectFile(p, bad);
        FAIL() << "saving into a missing folder must fail";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + bad + ": No such file or directory");
    }
    EXPECT_TRUE(p.changed);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(ProjectFileTest, OpeningAMissingFileGivesDefaultsAndThreeLines)
{
    Project p;
    p.frames.append(frame("old", 1));
    p.settings.FixAtFirstFrame = true;
    openProjectFile(p, path("none.mcp"), *reader, {120, 90});
    EXPECT_TRUE(p.frames.empty());
    EXPECT_EQ(p.settings.Width, 120);
    EXPECT_EQ(p.settings.Height, 90);
    EXPECT_EQ(p.settings.Type, ProjectAvi);
    EXPECT_FALSE(p.settings.FixAtFirstFrame);
    EXPECT_EQ(p.log.lines(),
              (std::vector<std::string>{"Error reading of frame's width: have been set 120",
                                        "Error reading of frame's height: have been set 90",
                                        "Error reading of file's extension: have been set AVI"}));
    EXPECT_FALSE(p.changed);
}

TEST_F(ProjectFileTest, OpeningLogsEveryProblemInOrder)
{
    write("p.mcp",
          "[Parameters]\nWidth=50\nHeight=40\nType=7\nSound=1\n"
          "[Files]\nFile_1=" +
              path("gone.png") + "\nFile_2=\nFile_4=" + path("never.png") + "\n");
    Project p;
    openProjectFile(p, path("p.mcp"), *reader, {100, 100});
    EXPECT_EQ(p.settings.Type, ProjectAvi);
    EXPECT_FALSE(p.settings.Sound);
    EXPECT_EQ(p.log.lines(),
              (std::vector<std::string>{"Error reading of file's extension: have been set AVI",
                                        "Not found the following sound file: None",
                                        "Not found file: " + path("gone.png"), "Not found file: "}));
    EXPECT_TRUE(p.changed);
}

// A value no command of the program could have stored is brought into range
// when read, with one log line naming the key, the value read and the value
// used; saving again writes the value used.
TEST_F(ProjectFileTest, OutOfRangeValuesAreBroughtIntoRangeOnReading)
{
    writePng(path("a.png"), patternPicture(8, 8));
    const struct {
        std::vector<std::pair<std::string, std::string>> keys;  // over a GIF project of 100 x 80, one frame
        std::string used;                                       // as saved again
        std::string line;                                       // none when empty
    } cases[] = {
        {{{"Height", "-5"}}, "Height=1", "Height=-5 is out of range; 1 is used."},
        {{{"Width", "0"}}, "Width=1", "Width=0 is out of range; 1 is used."},
        {{{"Width", "70000"}}, "Width=65535", "Width=70000 is out of range; 65535 is used."},
        {{{"Time", "-100"}}, "Time=20", "Time=-100 is out of range; 20 is used."},
        {{{"Type", "0"}, {"Time", "40000"}}, "Time=32000", "Time=40000 is out of range; 32000 is used."},
        {{{"Type", "0"}, {"Time", "0"}}, "Time=0", ""},
        {{{"Time_1", "-100"}}, "Time_1=0", "Time_1=-100 is out of range; 0 is used."},
        {{{"Time_1", "65535"}}, "Time_1=65535", ""},
        {{{"Left_1", "-3"}}, "Left_1=0", "Left_1=-3 is out of range; 0 is used."},
        {{{"Left_1", "101"}}, "Left_1=100", "Left_1=101 is out of range; 100 is used."},
        {{{"Top_1", "0x7FFFFFFF"}}, "Top_1=80", "Top_1=2147483647 is out of range; 80 is used."},
        {{{"Width_1", "999999"}}, "Width_1=100", "Width_1=999999 is out of range; 100 is used."},
        {{{"Width_1", "2000000000"}}, "Width_1=100", "Width_1=2000000000 is out of range; 100 is used."},
        {{{"Height_1", "-1"}}, "Height_1=0", "Height_1=-1 is out of range; 0 is used."},
        {{{"Height", "30"}, {"Height_1", "50"}}, "Height_1=30", "Height_1=50 is out of range; 30 is used."},
        {{{"ReductionBit_1", "99"}}, "ReductionBit_1=8", "ReductionBit_1=99 is out of range; 8 is used."},
        {{{"ReductionBit_1", "1"}}, "ReductionBit_1=3", "ReductionBit_1=1 is out of range; 3 is used."},
        {{{"TransparentColorIndex_1", "256"}},
         "TransparentColorIndex_1=255",
         "TransparentColorIndex_1=256 is out of range; 255 is used."},
        // ordinals outside their enumeration take the key's default
        {{{"Flip_1", "4"}}, "Flip_1=0", "Flip_1=4 is out of range; 0 is used."},
        {{{"Flip_1", "3"}}, "Flip_1=3", ""},
        {{{"ColorDither_1", "7"}}, "ColorDither_1=0", "ColorDither_1=7 is out of range; 0 is used."},
        {{{"ColorReduction_1", "-1"}},
         "ColorReduction_1=7",
         "ColorReduction_1=-1 is out of range; 7 is used."},
        {{{"ColorReduction_1", "9"}}, "ColorReduction_1=9", ""},
        {{{"GIFCompression_1", "2"}}, "GIFCompression_1=0", "GIFCompression_1=2 is out of range; 0 is used."},
        {{{"DisposalMethod_1", "4"}}, "DisposalMethod_1=0", "DisposalMethod_1=4 is out of range; 0 is used."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.used);
        std::map<std::string, std::string> parameters{{"Width", "100"}, {"Height", "80"}, {"Type", "1"}};
        std::map<std::string, std::string> files{{"File_1", "a.png"}};
        for (const auto& [k, v] : c.keys) (k.find('_') == std::string::npos ? parameters : files)[k] = v;
        std::string text = "[Parameters]\n";
        for (const auto& [k, v] : parameters) text += k + "=" + v + "\n";
        text += "[Files]\n";
        for (const auto& [k, v] : files) text += k + "=" + v + "\n";
        write("p.mcp", text);

        Project p;
        openProjectFile(p, path("p.mcp"), *reader, {});
        EXPECT_EQ(p.frames.count(), 1);  // and the frame is rendered
        EXPECT_EQ(p.log.lines(),
                  c.line.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.line});
        saveProjectFile(p, path("again.mcp"));
        EXPECT_NE(read("again.mcp").find("\n" + c.used + "\n"), std::string::npos) << read("again.mcp");
    }
}

TEST_F(ProjectFileTest, PicturesInTheProjectFolderAreSavedRelativeSoTheFolderCanMove)
{
    fs::create_directories(dir.path() / "proj" / "sub");
    fs::create_directories(dir.path() / "proj-old");
    const std::string a = writePng(path("proj/a.png"), patternPicture(8, 8));
    writePng(path("proj/sub/b.png"), patternPicture(8, 8));
    const std::string c = writePng(path("proj-old/c.png"), patternPicture(8, 8));
    Project p;
    p.settings.Type = ProjectGif;
    p.frames.append(frame(path("proj/sub/../a.png"), 10));
    p.frames.append(frame(path("proj/sub/b.png"), 20));
    p.frames.append(frame(c, 30));
    {
        // a name relative to the working folder is saved as the file it names
        struct InFolder {
            fs::path old = fs::current_path();
            explicit InFolder(const fs::path& to) { fs::current_path(to); }
            ~InFolder() { fs::current_path(old); }
        } in(dir.path());
        p.frames.append(frame("proj/sub/b.png", 40));
        saveProjectFile(p, path("proj/p.mcp"));
    }
    const std::string saved = read("proj/p.mcp");
    EXPECT_NE(saved.find("\nFile_1=a.png\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\nFile_2=sub/b.png\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\nFile_3=" + c + "\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\nFile_4=sub/b.png\n"), std::string::npos) << saved;

    fs::rename(dir.path() / "proj", dir.path() / "moved");
    Project q;
    openProjectFile(q, path("moved/p.mcp"), *reader, {});
    EXPECT_TRUE(q.log.empty()) << q.log.lines().front();
    ASSERT_EQ(q.frames.count(), 4);
    EXPECT_EQ(q.frames[0].File, path("moved/a.png"));
    EXPECT_EQ(q.frames[1].File, path("moved/sub/b.png"));
    EXPECT_EQ(q.frames[2].File, c);
    EXPECT_EQ(q.frames[3].Time, 40);
    saveProjectFile(q, path("moved/p.mcp"));
    EXPECT_EQ(read("moved/p.mcp"), saved);
}

// Frames are read however the file orders and spells their keys: names in
// any case, frames in any order, the first of a repeated key counting, and a
// number written otherwise ("Left_01") naming no frame.
TEST_F(ProjectFileTest, FrameKeysInAnyOrderAndCase)
{
    const std::string pic = path("a.png");
    writePng(pic, patternPicture(8, 8));
    write("p.mcp",
          "[Parameters]\nWidth=30\nHeight=20\nType=1\n[Files]\n"
          "left_2=7\nFILE_2=" +
              pic + "\nFile_1=" + pic +
              "\nLeft_1=3\nLeft_1=9\nLeft_01=5\n"
              "Time_1=120\n[Other]\nLeft_2=8\n");
    Project p;
    openProjectFile(p, path("p.mcp"), *reader, {});
    ASSERT_EQ(p.frames.count(), 2);
    EXPECT_EQ(p.frames[0].Left, 3);
    EXPECT_EQ(p.frames[0].Time, 120);
    EXPECT_EQ(p.frames[1].Left, 7);
}
