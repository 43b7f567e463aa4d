#include <gtest/gtest.h>

#include "engine/rules/recent_projects.h"

using namespace pelko;
using Paths = std::vector<std::string>;

TEST(RecentProjects, KeepsFiveMostRecentFirstAndMovesReopenedEntry)
{
    RecentProjects recent;
    for (const char* p : {"/p/A.mcp", "/p/B.mcp", "/p/C.mcp", "/p/D.mcp", "/p/E.mcp", "/p/F.mcp"})
        recent.add(p);
    EXPECT_EQ(recent.entries(), (Paths{"/p/F.mcp", "/p/E.mcp", "/p/D.mcp", "/p/C.mcp", "/p/B.mcp"}));

    recent.add("/p/D.mcp");
    EXPECT_EQ(recent.entries(), (Paths{"/p/D.mcp", "/p/F.mcp", "/p/E.mcp", "/p/C.mcp", "/p/B.mcp"}));
}

TEST(RecentProjects, NameDifferingOnlyInCaseReplacesTheEntry)
{
    RecentProjects recent;
    recent.assign({"/p/a.mcp", "/p/Show.MCP", "/p/c.mcp", "", ""});
    recent.add("/P/SHOW.mcp");
    EXPECT_EQ(recent.entries(), (Paths{"/P/SHOW.mcp", "/p/a.mcp", "/p/c.mcp"}));
    auto stored = recent.stored();
    EXPECT_EQ(stored[0], "/P/SHOW.mcp");
    EXPECT_EQ(stored[3], "");
    EXPECT_EQ(stored[4], "");
}

TEST(RecentProjects, StoredListEndsAtFirstEmptyEntry)
{
    RecentProjects recent;
    recent.assign({"/p/a.mcp", "", "/p/c.mcp", "/p/d.mcp", "/p/e.mcp"});
    EXPECT_EQ(recent.entries(), (Paths{"/p/a.mcp"}));
    recent.assign({"", "/p/b.mcp"});
    EXPECT_TRUE(recent.empty());
    recent.assign({"1", "2", "3", "4", "5", "6"});
    EXPECT_EQ(recent.entries().size(), 5u);
}

TEST(RecentProjects, CaseFoldingTouchesOnlyAsciiLetters)
{
    EXPECT_TRUE(samePathIgnoringCase("/Home/X.MCP", "/home/x.mcp"));
    EXPECT_FALSE(samePathIgnoringCase("/home/x.mcp", "/home/x.mcp "));
    EXPECT_FALSE(samePathIgnoringCase("/home/[.mcp", "/home/{.mcp"));  // not letters
    EXPECT_FALSE(samePathIgnoringCase("/h/\xc3\xa9.mcp", "/h/\xc3\x89.mcp"));
}

TEST(RecentProjects, ReopenCaptionShowsAmpersandsLiterally)
{
    EXPECT_EQ(reopenCaption(1, "/p/a.mcp"), "&1 /p/a.mcp");
    EXPECT_EQ(reopenCaption(5, "/p/Tom & Jerry.mcp"), "&5 /p/Tom && Jerry.mcp");
}
