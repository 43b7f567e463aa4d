// Where generated files go: the work folder, names that never replace a
// file, and the file names made from a creeping line's text.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/base/free_name_file.h"
#include "engine/base/output_file.h"
#include "engine/base/work_folder.h"
#include "engine/effects/alpha_blend.h"
#include "engine/effects/creeping_line.h"
#include "engine/image/ppm.h"
#include "support/temp_dir.h"

using namespace pelko;
namespace fs = std::filesystem;

TEST(WorkFolder, BesideTheProgramThenInTheDataFolder)
{
    test::TempDir dir;
    fs::create_directories(dir / "bin");
    const std::string data = dir.file("data");
    // made beside the program, then found there again
    EXPECT_EQ(prepareWorkFolder(dir.file("bin") + "/", data, "x"), dir.file("bin/Work"));
    EXPECT_EQ(prepareWorkFolder(dir.file("bin"), data, "x"), dir.file("bin/Work"));
    EXPECT_TRUE(fs::is_directory(dir / "bin/Work"));
    EXPECT_FALSE(fs::exists(data));

    // no such program folder, or "Work" there is a file: the data folder,
    // made with every folder above it
    EXPECT_EQ(prepareWorkFolder(dir.file("gone") + "/", data, "x"), data + "/Pelko/Work");
    EXPECT_TRUE(fs::is_directory(data + "/Pelko/Work"));
    fs::create_directories(dir / "other");
    std::ofstream(dir / "other/Work") << "a file";
    EXPECT_EQ(prepareWorkFolder(dir.file("other"), data, "x"), data + "/Pelko/Work");
}

TEST(WorkFolder, NeitherPlaceGivesTheCommandsMessage)
{
    test::TempDir dir;
    std::ofstream(dir / "file") << "not a folder";
    const std::string program = dir.file("gone") + "/";
    for (const char* prefix : {kBlendWorkFolderError, kTextWorkFolderError}) {
        try {
            prepareWorkFolder(program, dir.file("file") + "/share", prefix);
            FAIL() << "no work folder can be made";
        } catch (const WorkFolderError& e) {
            EXPECT_EQ(e.what(), std::string(prefix) + program + " Work directory.");
        }
    }
    EXPECT_THROW(prepareWorkFolder(program, "", "x"), WorkFolderError);
}

TEST(FreeName, NeverReplacesAFile)
{
    test::TempDir dir;
    const std::vector<std::uint8_t> one = {1}, two = {2, 2}, three = {3};
    EXPECT_EQ(writeUnderFreeName(dir.path().string(), "AlphaBlend", ".gif", one), dir.file("AlphaBlend.gif"));
    EXPECT_EQ(writeUnderFreeName(dir.path().string() + "/", "AlphaBlend", ".gif", two),
              dir.file("AlphaBlend1.gif"));
    // a folder takes a name as well as a file does
    fs::create_directory(dir / "AlphaBlend2.gif");
    EXPECT_EQ(writeUnderFreeName(dir.path().string(), "AlphaBlend", ".gif", three),
              dir.file("AlphaBlend3.gif"));
    EXPECT_EQ(readFile(dir.file("AlphaBlend.gif")), one);
    EXPECT_EQ(readFile(dir.file("AlphaBlend1.gif")), two);
    EXPECT_EQ(readFile(dir.file("AlphaBlend3.gif")), three);
    EXPECT_EQ(dir.names().size(), 4u) << "no temporary file may stay behind";

    EXPECT_THROW(writeUnderFreeName(dir.file("no/such/folder"), "a", ".gif", one), OutputFileError);
}

TEST(FreeName, LongNamesAreShortenedAtACharacter)
{
    std::string base;
    for (int i = 0; i < 200; ++i) base += "\xC3\xA9";  // é, two bytes each
    for (int number : {0, 1, 123456}) {
        const std::string name = numberedFileName(base, ".gif", number);
        EXPECT_LE(name.size(), kMaxFileNameBytes);
        EXPECT_EQ(name.substr(name.size() - 4), ".gif");
        // the cut falls between two characters: the base keeps whole é's
        const std::string kept = name.substr(0, name.find_first_not_of("\xC3\xA9"));
        EXPECT_EQ(kept.size() % 2, 0u) << name;
        EXPECT_EQ(name.substr(kept.size()), (number ? std::to_string(number) : "") + ".gif");
    }
    EXPECT_EQ(numberedFileName("AlphaBlend", ".gif", 0), "AlphaBlend.gif");
    EXPECT_EQ(numberedFileName("AlphaBlend", ".gif", 12), "AlphaBlend12.gif");

    test::TempDir dir;
    const std::string path =
        writeUnderFreeName(dir.path().string(), base, ".gif", std::vector<std::uint8_t>{7});
    EXPECT_TRUE(fs::exists(path));
}

TEST(TextFileBase, KeepsWhatANameCanHold)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Pelko", "Pelko"},
        {"", "text"},
        {"a/b", "a_b"},
        {"two\nlines\t", "two_lines_"},
        {std::string("nul\0x", 5), "nul_x"},
        {"del\x7f", "del_"},
        {"Gr\xC3\xBC\xC3\x9F"
         "e and spaces",
         "Gr\xC3\xBC\xC3\x9F"
         "e and spaces"},
        {"..", ".."},
    };
    for (const auto& [text, base] : cases) EXPECT_EQ(textFileBase(text), base) << text;
}
