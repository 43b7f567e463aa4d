// OutputFile: the complete file or nothing, in both its ways of holding the
// unfinished bytes (an unnamed file, or a named one where the file system
// refuses unnamed files), failures as "PATH: reason", and the clean-up of
// temporaries left by processes that were killed.

#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/base/output_file.h"
#include "support/temp_dir.h"

using namespace pelko;
using namespace pelko::test;

namespace {

// Named temporaries for the life of the object (as on a file system without
// O_TMPFILE), or the normal way.
class TemporaryMode {
public:
    explicit TemporaryMode(bool named)
    {
        if (named)
            ::setenv("PELKO_NAMED_TEMPORARIES", "1", 1);
        else
            ::unsetenv("PELKO_NAMED_TEMPORARIES");
    }
    ~TemporaryMode() { ::unsetenv("PELKO_NAMED_TEMPORARIES"); }
};

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> sortedNames(const TempDir& dir)
{
    std::vector<std::string> n = dir.names();
    std::sort(n.begin(), n.end());
    return n;
}

bool writeString(OutputFile& f, const std::string& s)
{
    return f.write(s.data(), s.size());
}

class OutputFileModes : public ::testing::TestWithParam<bool> {};

INSTANTIATE_TEST_SUITE_P(Both, OutputFileModes, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Named" : "Unnamed"; });

}  // namespace

// A new file, a replaced file and a dropped one: the target only ever holds a
// complete file, and nothing else stays in the folder.
TEST_P(OutputFileModes, CompleteFileOrNothing)
{
    TemporaryMode mode(GetParam());
    TempDir dir;
    const std::string target = dir.file("out.gif");

    OutputFile fresh;
    ASSERT_TRUE(fresh.open(target)) << fresh.error();
    EXPECT_EQ(std::filesystem::exists(target), false);
    ASSERT_TRUE(writeString(fresh, "new"));
    ASSERT_TRUE(fresh.commit()) << fresh.error();
    EXPECT_EQ(readText(target), "new");
    EXPECT_EQ(sortedNames(dir), std::vector<std::string>{"out.gif"});

    // Replacing: the old bytes stay until the commit.
    OutputFile replacing;
    ASSERT_TRUE(replacing.open(target));
    ASSERT_TRUE(writeString(replacing, "newer and longer"));
    EXPECT_EQ(readText(target), "new");
    // The unfinished file opens again under its work name, as libraries
    // that only take a name need.
    EXPECT_EQ(readText(replacing.workPath()), "newer and longer");
    ASSERT_TRUE(replacing.commit());
    EXPECT_EQ(readText(target), "newer and longer");
    EXPECT_EQ(sortedNames(dir), std::vector<std::string>{"out.gif"});

    // Dropped, explicitly or by going out of scope: nothing changes.
    {
        OutputFile dropped;
        ASSERT_TRUE(dropped.open(target));
        ASSERT_TRUE(writeString(dropped, "lost"));
        OutputFile other;
        ASSERT_TRUE(other.open(dir.file("other.gif")));
        ASSERT_TRUE(writeString(other, "lost too"));
        other.discard();
    }
    EXPECT_EQ(readText(target), "newer and longer");
    EXPECT_EQ(sortedNames(dir), std::vector<std::string>{"out.gif"});

    // A scratch file never shows in the folder.
    const int fd = openScratchFile(target);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::write(fd, "abc", 3), 3);
    EXPECT_EQ(sortedNames(dir), std::vector<std::string>{"out.gif"});
    ::close(fd);
}

TEST_P(OutputFileModes, FailuresNameThePathAndTheSystemsReason)
{
    TemporaryMode mode(GetParam());
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.gif");
    struct Case {
        std::string path;
        std::string error;
        int code;
    } cases[] = {
        {dir.file("missing/out.gif"), dir.file("missing/out.gif") + ": No such file or directory", ENOENT},
        {dir.file("folder.gif"), dir.file("folder.gif") + ": Is a directory", EISDIR},
        {"", ": No such file or directory", ENOENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        try {
            writeOutputFile(c.path, std::vector<std::uint8_t>{1, 2, 3});
            ADD_FAILURE() << "no error";
        } catch (const OutputFileError& e) {
            EXPECT_EQ(std::string(e.what()), c.error);
            EXPECT_EQ(e.code(), c.code);
        }
    }
    EXPECT_EQ(sortedNames(dir), std::vector<std::string>{"folder.gif"});

    if (::geteuid() != 0) {  // root writes anywhere
        std::filesystem::create_directory(dir / "locked");
        std::filesystem::permissions(dir / "locked",
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        OutputFile f;
        EXPECT_FALSE(f.open(dir.file("locked/a.gif")));
        EXPECT_EQ(f.error(), dir.file("locked/a.gif") + ": Permission denied");
        std::filesystem::permissions(dir / "locked", std::filesystem::perms::owner_all);
    }
}

// A process killed by SIGKILL cannot tidy up: an unnamed file vanishes with
// it, a named one stays until the next write into that folder removes it.
// SIGTERM removes a named one at once. Temporaries of a running process and
// other files are never touched.
TEST_P(OutputFileModes, KilledWritersLeaveNothingAfterTheNextWrite)
{
    TemporaryMode mode(GetParam());
    TempDir dir;
    const std::string target = dir.file("movie.avi");
    writeText(target, "good old file");

    for (int sig : {SIGTERM, SIGKILL}) {
        SCOPED_TRACE(sig);
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            OutputFile f;
            const bool ok = f.open(target) && writeString(f, "half a movie");
            (void)!::write(ready[1], ok ? "y" : "n", 1);
            for (;;) ::pause();
        }
        char answer = 0;
        ASSERT_EQ(::read(ready[0], &answer, 1), 1);
        ::close(ready[0]);
        ::close(ready[1]);
        ASSERT_EQ(answer, 'y');
        ::kill(child, sig);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig);
        if (GetParam() && sig == SIGKILL) {
            EXPECT_EQ(dir.names().size(), 2u) << "the named temporary is left";
        } else {
            EXPECT_EQ(sortedNames(dir), std::vector<std::string>{"movie.avi"});
        }
    }

    // A temporary of a running process (ours: the parent of this test) and an
    // unrelated dotted name stay.
    const std::string alive = std::string(kTemporaryNamePrefix) + std::to_string(::getppid()) + "-0-x.gif";
    writeText(dir.file(alive), "busy");
    writeText(dir.file(".pelko-tmp-notapid"), "mine");
    writeOutputFile(dir.file("next.gif"), std::vector<std::uint8_t>{'G'});
    EXPECT_EQ(readText(target), "good old file");
    EXPECT_EQ(sortedNames(dir),
              (std::vector<std::string>{alive, ".pelko-tmp-notapid", "movie.avi", "next.gif"}));
}
