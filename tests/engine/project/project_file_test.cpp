#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/project/project_file.h"

using namespace pelko;
namespace fs = std::filesystem;

namespace {

class ProjectFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("pelko_project_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        reader = makeFileSourceReader();
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }
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

    fs::path dir;
    std::unique_ptr<SourceReader> reader;
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
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + bad);
    }
    EXPECT_TRUE(p.changed);
    EXPECT_TRUE(fs::is_empty(dir));
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
