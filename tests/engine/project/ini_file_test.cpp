#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/project/ini_file.h"

using namespace pelko;

TEST(IniInt, DecimalHexAndEverythingElse)
{
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"16777215", 16777215}, {"-1", -1},
        {"0x10", 16},           {"0X1f", 31},
        {" 42 ", 42},           {"0xFFFFFFFF", -1},
        {"4294967295", -1},     {"yes", std::nullopt},
        {"", std::nullopt},     {"12abc", std::nullopt},
        {"0x", std::nullopt},   {"0xG1", std::nullopt},
        {"-", std::nullopt},    {"99999999999999999999", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(parseIniInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(IniFile, NamesIgnoreCaseAndValuesAreTrimmedAndLimited)
{
    const std::string longValue(3000, 'x');
    IniFile ini = IniFile::parse("[Files]\nFile_1 = /a b/c.png \nleft_1=0x10\nLong=" + longValue + "\n");
    EXPECT_EQ(ini.getString("files", "FILE_1", ""), "/a b/c.png");
    EXPECT_EQ(ini.getInt("FILES", "Left_1", 0), 16);
    EXPECT_EQ(ini.getInt("Files", "Missing", 7), 7);
    EXPECT_EQ(ini.getString("Files", "Long", "").size(), IniFile::kMaxValueLength);
    EXPECT_TRUE(ini.hasKey("files", "file_1"));
    EXPECT_FALSE(ini.hasKey("Main", "file_1"));
    EXPECT_EQ(ini.keys("Files"), (std::vector<std::string>{"File_1", "left_1", "Long"}));
}

TEST(IniFile, WritingKeepsEverythingElse)
{
    const std::string original =
        "; made by hand\n[Main]\nVersion=old\nOwner=me\n\n[Mine]\nkeep=1\n[Parameters]\nWidth=5\n";
    IniFile ini = IniFile::parse(original);
    ini.setString("Main", "Version", "Pelko v.2.2");
    ini.eraseSection("parameters");
    ini.setInt("Parameters", "Width", 320);
    ini.setInt("Parameters", "Height", -1);
    ini.setString("Main", "Added", "yes");
    EXPECT_EQ(ini.text(),
              "; made by hand\n[Main]\nVersion=Pelko v.2.2\nOwner=me\nAdded=yes\n\n[Mine]\nkeep=1\n"
              "[Parameters]\nWidth=320\nHeight=-1\n");
    // a value can never start a new line
    ini.setString("Mine", "keep", "a\nb");
    EXPECT_EQ(ini.getString("Mine", "keep", ""), "a b");
}

TEST(IniFile, SaveReplacesTheFileWholeAndKeepsCrLf)
{
    const auto dir = std::filesystem::temp_directory_path() / "pelko_ini_test";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "p.mcp").string();
    {
        std::ofstream(path, std::ios::binary) << "[A]\r\nk=1\r\n";
    }
    IniFile ini = IniFile::load(path);
    ini.setInt("A", "j", 2);
    ini.save(path);
    EXPECT_EQ(IniFile::load(path).text(), "[A]\r\nk=1\r\nj=2\r\n");
    EXPECT_TRUE(IniFile::load((dir / "none.mcp").string()).text().empty());
    EXPECT_THROW(ini.save((dir / "no" / "such" / "dir.mcp").string()), std::runtime_error);
    std::filesystem::remove_all(dir);
}
