// Reading still pictures by extension, and the messages of failed reads.

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/image/bmp_writer.h"
#include "engine/image/picture_reader.h"
#include "engine/image/png_picture.h"
#include "engine/image/ppm.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using namespace pelko;
using pelko::test::TempDir;

namespace {

std::string readError(const std::string& path)
{
    try {
        readStillPicture(path);
    } catch (const PictureReadError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(PictureReader, KindByExtension)
{
    const std::pair<const char*, StillKind> cases[] = {
        {"a.bmp", StillKind::Bmp},   {"A.BMP", StillKind::Bmp},      {"b.jpg", StillKind::Jpeg},
        {"b.JPEG", StillKind::Jpeg}, {"c.Png", StillKind::Png},      {"d.ico", StillKind::Ico},
        {"e.GIF", StillKind::None},  {"f.png.bak", StillKind::None}, {"noext", StillKind::None},
    };
    for (const auto& [name, kind] : cases) EXPECT_EQ(stillKindOf(name), kind) << name;
}

TEST(PictureReader, ReadsEachKindAndReportsFailuresWithTheProgramsText)
{
    TempDir dir;
    Picture p(5, 4);
    p.setPixel(0, 3, rgb(255, 0, 0));
    writeFile(dir.file("p.BMP"), encodeBmp(p));
    writeFile(dir.file("p.png"), encodePngPicture(p));
    EXPECT_TRUE(readStillPicture(dir.file("p.BMP")) == p);
    EXPECT_TRUE(readStillPicture(dir.file("p.png")) == p);

    // The same damaged bytes under every extension; a vanished file reads like a damaged one.
    const std::vector<std::uint8_t> junk = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
    const std::pair<const char*, const char*> cases[] = {
        {"x.bmp", "This file is not BMP."},  {"x.jpg", "This file is not JPG."},
        {"x.jpeg", "This file is not JPG."}, {"x.png", "This file is not PNG."},
        {"x.ico", "This file is not ICO."},
    };
    for (const auto& [name, message] : cases) {
        writeFile(dir.file(name), junk);
        EXPECT_EQ(readError(dir.file(name)), message);
        EXPECT_EQ(readError(dir.file("gone_" + std::string(name))), message);
    }
    // Another extension: nothing is read, and the picture is empty.
    writeFile(dir.file("x.txt"), junk);
    EXPECT_TRUE(readStillPicture(dir.file("x.txt")).empty());
}

TEST(PictureReader, CorpusFilesOfEveryKind)
{
    const fs::path data = PELKO_TESTDATA;
    if (!fs::is_directory(data))
        GTEST_SKIP() << "test data folder " << data << " is absent";
    EXPECT_EQ(readStillPicture((data / "jpeg" / "grey.jpg").string()).width(), 128);
    EXPECT_EQ(readStillPicture((data / "ico" / "gen-8bpp-32.ico").string()).width(), 32);
    EXPECT_EQ(readStillPicture((data / "bmp" / "g" / "pal4rle.bmp").string()).width(), 127);
    EXPECT_EQ(readStillPicture((data / "pngsuite" / "basi0g02.png").string()).width(), 32);
    EXPECT_EQ(readError((data / "bmp" / "b" / "reallybig.bmp").string()), "This file is not BMP.");
    EXPECT_EQ(readError((data / "png-broken" / "ihdr-huge.png").string()), "This file is not PNG.");
}
