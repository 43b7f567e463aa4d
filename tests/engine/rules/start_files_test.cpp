// What the command line starts the window with: a project to open or
// pictures for a new project, and the options that new project gets.

#include <gtest/gtest.h>

#include "engine/rules/start_files.h"

using namespace pelko;

namespace {

using Strings = std::vector<std::string>;

TEST(StartFiles, FirstArgumentDecidesBetweenProjectAndPictures)
{
    struct Case {
        Strings arguments;
        std::string project;
        Strings pictures;
    };
    const Case cases[] = {
        {{}, "", {}},
        {{""}, "", {}},
        {{"demo.mcp"}, "demo.mcp", {}},
        // any other kind keeps being opened as a project, which reports it
        {{"notes.txt"}, "notes.txt", {}},
        {{"a.mcp", "b.png"}, "a.mcp", {}},
        {{"anim.GIF"}, "", {"anim.GIF"}},
        {{"a.png", "b.jpeg", "c.bmp", "d.ico", "e.jpg"}, "", {"a.png", "b.jpeg", "c.bmp", "d.ico", "e.jpg"}},
        // Add itself passes over what it does not read
        {{"a.png", "b.mcp"}, "", {"a.png", "b.mcp"}},
        {{"/dir.gif/x.mcp"}, "/dir.gif/x.mcp", {}},
    };
    for (const Case& c : cases) {
        const StartFiles f = startFilesFor(c.arguments);
        EXPECT_EQ(f.project, c.project) << ::testing::PrintToString(c.arguments);
        EXPECT_EQ(f.pictures, c.pictures) << ::testing::PrintToString(c.arguments);
    }
}

TEST(StartFiles, NewProjectIsGifForGifAndTakesTheFirstFramesCanvas)
{
    ProjectOptions start;
    start.Type = ProjectAvi;
    start.Width = 320;
    start.Height = 200;
    start.GifFrameTime = 500;

    const ProjectOptions gif = startProjectOptions({"x.gif", "y.png"}, start);
    EXPECT_EQ(gif.Type, ProjectGif);
    EXPECT_TRUE(gif.FixAtFirstFrame);
    EXPECT_EQ(gif.GifFrameTime, 500);

    // a still first keeps the type a new project starts with
    const ProjectOptions still = startProjectOptions({"y.png", "x.gif"}, start);
    EXPECT_EQ(still.Type, ProjectAvi);
    EXPECT_TRUE(still.FixAtFirstFrame);
    start.Type = ProjectGif;
    EXPECT_EQ(startProjectOptions({"y.png"}, start).Type, ProjectGif);
}

}  // namespace
