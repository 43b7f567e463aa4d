// Save frame without the window: the picture of a frame, each format read
// back by another implementation (ImageMagick for BMP, giflib, libjpeg,
// libpng) pixel for pixel, and the failures that must leave the old file.

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/effects/gif_file_check.h"
#include "engine/export/bmp_bits.h"
#include "engine/export/export_frame.h"
#include "engine/project/frame_cache.h"
#include "support/picture_files.h"
#include "support/temp_dir.h"

using namespace pelko;
using namespace pelko::test;

namespace {

std::vector<std::uint8_t> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A picture with many colours, white pixels along its top row and an odd
// width, so rows need padding in every format.
Picture testPicture()
{
    Picture p = patternPicture(37, 23);
    for (int x = 0; x < 37; x += 3) p.setPixel(x, 0, 0xFFFFFF);
    return p;
}

// A picture of few colours (a GIF holds it exactly).
Picture fewColours()
{
    Picture p(33, 17);
    const Color colours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0x123456, 0x000000};
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) p.setPixel(x, y, colours[(x / 4 + y / 3) % 6]);
    return p;
}

// A smooth picture, as photos are (what JPEG is made for).
Picture gradient()
{
    Picture p(61, 45);
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            p.setPixel(x, y, rgb(std::uint8_t(x * 4), std::uint8_t(y * 5), std::uint8_t(200 - x - y)));
    return p;
}

// ImageMagick's reading of an image as RGB rows; empty when it is missing
// or refuses the file.
Picture readWithImageMagick(const std::string& path, int width, int height)
{
    const std::string command = "convert '" + path + "' -depth 8 rgb:- 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return {};
    std::vector<std::uint8_t> raw(std::size_t(width) * height * 3);
    const std::size_t got = std::fread(raw.data(), 1, raw.size(), pipe);
    if (::pclose(pipe) != 0 || got != raw.size())
        return {};
    Picture p(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* s = raw.data() + (std::size_t(y) * width + x) * 3;
            p.setPixel(x, y, rgb(s[0], s[1], s[2]));
        }
    return p;
}

bool haveImageMagick()
{
    return std::system("convert -version >/dev/null 2>&1") == 0;
}

struct LibpngRead {
    bool ok = false;
    int interlace = -1;
    bool hasTrns = false;
    Color trns = 0;
    Picture picture;
};

LibpngRead readWithLibpng(const std::string& path)
{
    LibpngRead r;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return r;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<std::uint8_t> pixels;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return LibpngRead{};
    }
    png_init_io(png, f);
    png_read_info(png, info);
    png_uint_32 w = 0, h = 0;
    int depth = 0, colorType = 0;
    png_get_IHDR(png, info, &w, &h, &depth, &colorType, &r.interlace, nullptr, nullptr);
    png_color_16p trns = nullptr;
    if (png_get_tRNS(png, info, nullptr, nullptr, &trns) && trns) {
        r.hasTrns = true;
        r.trns = rgb(std::uint8_t(trns->red), std::uint8_t(trns->green), std::uint8_t(trns->blue));
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    pixels.resize(std::size_t(w) * h * 3);
    for (png_uint_32 y = 0; y < h; ++y) rows.push_back(pixels.data() + std::size_t(y) * w * 3);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    r.picture = Picture(int(w), int(h));
    for (int y = 0; y < int(h); ++y)
        for (int x = 0; x < int(w); ++x) {
            const std::uint8_t* s = pixels.data() + (std::size_t(y) * w + std::size_t(x)) * 3;
            r.picture.setPixel(x, y, rgb(s[0], s[1], s[2]));
        }
    r.ok = true;
    return r;
}

struct JpegFail {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

Picture readWithLibjpeg(const std::vector<std::uint8_t>& bytes)
{
    jpeg_decompress_struct cinfo{};
    JpegFail fail{};
    cinfo.err = jpeg_std_error(&fail.mgr);
    fail.mgr.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<JpegFail*>(c->err)->jump, 1); };
    Picture p;
    if (setjmp(fail.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return {};
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    p = Picture(int(cinfo.output_width), int(cinfo.output_height));
    std::vector<std::uint8_t> row(std::size_t(cinfo.output_width) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        JSAMPROW r = row.data();
        jpeg_read_scanlines(&cinfo, &r, 1);
        for (int x = 0; x < p.width(); ++x) p.setPixel(x, y, rgb(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]));
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return p;
}

double meanDifference(const Picture& a, const Picture& b)
{
    double sum = 0;
    for (std::size_t i = 0; i < a.byteSize(); ++i) sum += std::abs(int(a.data()[i]) - int(b.data()[i]));
    return sum / double(a.byteSize());
}

int distance(Color a, Color b)
{
    const int dr = int(redOf(a)) - redOf(b), dg = int(greenOf(a)) - greenOf(b),
              db = int(blueOf(a)) - blueOf(b);
    return dr * dr + dg * dg + db * db;
}

}  // namespace

TEST(ExportNames, FormatByExtensionAndTypeFollowUp)
{
    const std::pair<const char*, ExportFormat> formats[] = {
        {"frame.jpeg", ExportFormat::Jpeg}, {"FRAME.PNG", ExportFormat::Png},
        {"a/b.Gif", ExportFormat::Gif},     {"x.jpg", ExportFormat::Jpeg},
        {"x.BMP", ExportFormat::Bmp},       {"frame.tif", ExportFormat::None},
        {"png", ExportFormat::None},        {"dir.png/x", ExportFormat::None}};
    for (const auto& [name, format] : formats) EXPECT_EQ(exportFormatOf(name), format) << name;

    struct Case {
        const char* typed;
        int type;
        const char* shown;
    };
    const Case names[] = {{"shot.bmp", 3, "shot.jpg"},     {"shot", 3, "shot.jpg"},
                          {"shot.jpeg", 3, "shot.jpg"},    {"shot.jpg", 1, "shot.bmp"},
                          {"a.b/shot", 4, "a.b/shot.png"}, {"/x/y.tar.gz", 2, "/x/y.tar.gif"},
                          {".hidden", 4, ".hidden.png"},   {"shot.", 2, "shot.gif"}};
    for (const Case& c : names) EXPECT_EQ(nameForExportType(c.typed, c.type), c.shown) << c.typed;
}

TEST(ExportSettingsStart, BmpBitsFollowTheScreen)
{
    EXPECT_EQ(initialExportSettings(24).bmpBits, 24);
    EXPECT_EQ(initialExportSettings(32).bmpBits, 32);
    EXPECT_EQ(initialExportSettings(16).bmpBits, 32);
    const ExportSettings s = initialExportSettings(24);
    EXPECT_EQ(s.jpegQuality, 100);
    EXPECT_EQ(s.pngTransparentColor, 0xFFFFFFu);
    EXPECT_FALSE(s.pngInterlace);
    EXPECT_EQ(s.pngCompressionLevel, 9);
    EXPECT_TRUE(s.showBmp && s.showJpg && s.showPng && s.gif.showAlways);
    EXPECT_EQ(s.gif.gif, kDefaultGifFrameSettings);  // nearest, quantize, 8, LZW, not transparent, white
}

// The frame image at the frame's own size, mirrored; it stays when the
// source goes, and a frame never rendered shows white.
TEST(ExportPicture, FrameImageAsShownAlsoWhenTheSourceHasGone)
{
    TempDir dir;
    const Picture source = patternPicture(40, 30);
    const std::string file = writePng(dir.file("source.png"), source);
    Project project;
    project.settings.Width = 50;
    project.settings.Height = 50;
    FrameRecord f;
    f.File = file;
    f.Width = 30;
    f.Height = 20;
    f.Left = 5;
    f.Flip = FlipHorizontal;
    project.frames.append(f);

    const Picture shown = exportPicture(project, 0);
    ASSERT_EQ(shown.width(), 30);
    ASSERT_EQ(shown.height(), 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_EQ(shown.pixel(x, y), source.pixel(29 - x, y)) << x << "," << y;

    std::filesystem::remove(file);
    EXPECT_EQ(exportPicture(project, 0), shown);

    Project fresh;
    fresh.settings = project.settings;
    fresh.frames.append(f);
    Picture white(30, 20);
    EXPECT_EQ(exportPicture(fresh, 0), white);
    EXPECT_FALSE(fresh.cache->takeProblems().empty());

    EXPECT_THROW(exportPicture(project, 1), std::out_of_range);
    EXPECT_THROW(exportPicture(project, -1), std::out_of_range);
}

TEST(ExportBmp, EveryPixelFormatReadByImageMagick)
{
    if (!haveImageMagick())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    TempDir dir;
    const Picture picture = testPicture();
    for (const int bits : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        ExportSettings settings = initialExportSettings(24);
        settings.bmpBits = bits;
        const std::string path = dir.file("frame" + std::to_string(bits) + ".bmp");
        ASSERT_TRUE(saveExport(picture, path, settings));
        const auto bytes = fileBytes(path);
        ASSERT_GE(bytes.size(), 54u);
        EXPECT_EQ(bytes[28], bits);
        const Picture read = readWithImageMagick(path, picture.width(), picture.height());
        ASSERT_FALSE(read.empty());
        EXPECT_EQ(read, bmpPixelFormatPreview(picture, bits));
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const Color was = picture.pixel(x, y), now = read.pixel(x, y);
                if (bits >= 24) {
                    ASSERT_EQ(now, was);
                } else if (bits == 16) {
                    ASSERT_EQ(redOf(now) >> 3, redOf(was) >> 3);
                    ASSERT_EQ(greenOf(now) >> 3, greenOf(was) >> 3);
                    ASSERT_EQ(blueOf(now) >> 3, blueOf(was) >> 3);
                } else {
                    // a palette colour, and none of the palette is nearer
                    const Palette& palette = bmpPalette(bits);
                    ASSERT_NE(std::find(palette.begin(), palette.end(), now), palette.end());
                    for (Color c : palette) ASSERT_GE(distance(c, was), distance(now, was));
                }
            }
    }
}

// The search that skips entries must find what looking at every entry
// finds, the first of equally near entries included.
TEST(ExportBmp, IndexedFormatsTakeTheNearestPaletteColour)
{
    Picture p(256, 96);
    std::uint32_t seed = 12345;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            p.setPixel(x, y,
                       y < 32 ? Color(seed >> 8) & 0xFFFFFF
                              : rgb(std::uint8_t(x), std::uint8_t(x), std::uint8_t(y * 8)));
        }
    for (const int bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        const Palette& palette = bmpPalette(bits);
        ASSERT_EQ(palette.size(), std::size_t(1) << bits);
        const Picture shown = bmpPixelFormatPreview(p, bits);
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                Color best = palette[0];
                for (Color c : palette)
                    if (distance(c, p.pixel(x, y)) < distance(best, p.pixel(x, y)))
                        best = c;
                ASSERT_EQ(shown.pixel(x, y), best) << x << "," << y;
            }
    }
}

TEST(ExportPng, DefaultSettingsKeepWhiteTransparentAndInterlaceOnRequest)
{
    TempDir dir;
    const Picture picture = testPicture();
    ExportSettings settings = initialExportSettings(24);
    for (const bool interlace : {false, true}) {
        SCOPED_TRACE(interlace);
        settings.pngInterlace = interlace;
        settings.pngCompressionLevel = interlace ? 0 : 9;
        const std::string path = dir.file(interlace ? "adam7.PNG" : "plain.png");
        ASSERT_TRUE(saveExport(picture, path, settings));
        const LibpngRead read = readWithLibpng(path);
        ASSERT_TRUE(read.ok);
        EXPECT_EQ(read.interlace, interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE);
        EXPECT_TRUE(read.hasTrns);
        EXPECT_EQ(read.trns, 0xFFFFFFu);
        EXPECT_EQ(read.picture, picture);
    }
    settings.pngTransparentColor = 0x123456;
    ASSERT_TRUE(saveExport(picture, dir.file("colour.png"), settings));
    EXPECT_EQ(readWithLibpng(dir.file("colour.png")).trns, 0x123456u);
}

TEST(ExportGif, StillGifReadByGiflib)
{
    if (!kHaveGiflib)
        GTEST_SKIP() << "giflib is not linked";
    TempDir dir;
    const Picture picture = fewColours();
    ExportSettings settings = initialExportSettings(24);
    ASSERT_TRUE(saveExport(picture, dir.file("still.gif"), settings));
    CheckedGif gif = readWithGiflib(dir.file("still.gif"));
    ASSERT_TRUE(gif.ok);
    ASSERT_EQ(gif.frames.size(), 1u);
    EXPECT_GT(gif.globalColors, 0);  // the maps merged into one global map
    EXPECT_FALSE(gif.frames[0].localMap);
    EXPECT_FALSE(gif.frames[0].transparent);
    EXPECT_EQ(gif.width, picture.width());
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ASSERT_EQ(gif.frames[0].pixels[std::size_t(y * picture.width() + x)], picture.pixel(x, y));

    // transparent white, RLE
    settings.gif.gif.GIFTransparent = true;
    settings.gif.gif.TransparentColor = 0xFFFFFF;
    settings.gif.gif.GIFCompression = 1;
    ASSERT_TRUE(saveExport(picture, dir.file("transparent.gif"), settings));
    gif = readWithGiflib(dir.file("transparent.gif"));
    ASSERT_TRUE(gif.ok);
    EXPECT_TRUE(gif.frames[0].transparent);
}

TEST(ExportGif, RefusedPictureNamesTheFileAndWritesNothing)
{
    TempDir dir;
    ExportSettings settings = initialExportSettings(24);
    settings.gif.gif.ColorReduction = rmNone;  // more than 256 colours cannot go without reduction
    const Picture many = patternPicture(64, 64);
    const std::string path = dir.file("many.gif");
    try {
        saveExport(many, path, settings);
        FAIL() << "saved";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind(path + ": ", 0), 0u) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ExportJpeg, ReadByLibjpegWithinItsQualityAndTheSizeTheDialogShows)
{
    TempDir dir;
    const Picture picture = gradient();
    ExportSettings settings = initialExportSettings(24);
    struct Case {
        int quality;
        double meanBound;
    };
    std::size_t previous = 0;
    for (const Case c : {Case{5, 25.0}, Case{50, 4.0}, Case{100, 1.5}}) {
        SCOPED_TRACE(c.quality);
        settings.jpegQuality = c.quality;
        const std::string path = dir.file("q" + std::to_string(c.quality) + ".jpeg");
        ASSERT_TRUE(saveExport(picture, path, settings));
        const auto bytes = fileBytes(path);
        const Picture read = readWithLibjpeg(bytes);
        ASSERT_EQ(read.width(), picture.width());
        ASSERT_EQ(read.height(), picture.height());
        EXPECT_LT(meanDifference(read, picture), c.meanBound);
        const JpegPreview preview = jpegPreview(picture, c.quality);
        EXPECT_EQ(preview.bytes, bytes.size());
        EXPECT_EQ(preview.after, read);
        EXPECT_GT(bytes.size(), previous);  // better quality, larger file
        previous = bytes.size();
    }
}

TEST(ExportFaults, UnknownTypeFolderInTheWayAndFullDiskLeaveTheOldFile)
{
    TempDir dir;
    const Picture picture = testPicture();
    const ExportSettings settings = initialExportSettings(24);

    EXPECT_FALSE(saveExport(picture, dir.file("frame.tif"), settings));
    EXPECT_FALSE(std::filesystem::exists(dir.file("frame.tif")));

    std::filesystem::create_directory(dir.file("folder.png"));
    try {
        saveExport(picture, dir.file("folder.png"), settings);
        FAIL() << "saved over a folder";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + dir.file("folder.png") + ": Is a directory");
    }

    EXPECT_THROW(saveExport(picture, dir.file("no/such/folder.bmp"), settings), std::runtime_error);

    // a disk that fills up halfway: the write fails and the old file stays
    const std::string old = dir.file("old.bmp");
    {
        std::ofstream(old) << "the old file";
    }
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::string message;
    try {
        saveExport(patternPicture(200, 200), old, settings);
    } catch (const std::runtime_error& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(message.rfind("Unable to write to " + old + ": ", 0), 0u) << message;
    const auto kept = fileBytes(old);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "the old file");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // old.bmp, folder.png
}

// Save frame and pelko-cli export show the same texts: one message box, and
// the same as one line.
TEST(ExportFaults, SaveFrameFileWordsEachFailure)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder.png"));
    ExportSettings settings = initialExportSettings(24);
    settings.gif.gif.ColorReduction = rmNone;  // a still GIF of more than 256 colours
    const std::string tif = dir.file("frame.tif"), folder = dir.file("folder.png"),
                      gif = dir.file("many.gif");
    const struct {
        std::string path, failure;
    } cases[] = {
        {tif, tif + ": the output must end in .bmp, .gif, .jpg, .jpeg or .png"},
        {folder, "Unable to write to " + folder + ": Is a directory"},
        {gif, gif + ": Color table overflow"},
    };
    for (const auto& c : cases) {
        const OutputResult r = saveFrameFile(patternPicture(64, 64), c.path, settings);
        EXPECT_FALSE(r.ok || r.cancelled);
        EXPECT_EQ(r.failure, c.failure);
        EXPECT_EQ(r.messages, std::vector<std::string>{c.failure});
    }
    const OutputResult saved = saveFrameFile(testPicture(), dir.file("frame.png"), settings);
    EXPECT_TRUE(saved.ok);
    EXPECT_TRUE(saved.messages.empty() && saved.failure.empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("frame.png")));
}

TEST(ExportFaults, ReadOnlyFolderKeepsTheOldFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into read-only folders";
    TempDir dir;
    const std::string folder = dir.file("locked");
    std::filesystem::create_directory(folder);
    const std::string old = folder + "/frame.png";
    {
        std::ofstream(old) << "the old file";
    }
    ::chmod(folder.c_str(), 0555);
    try {
        saveExport(testPicture(), old, initialExportSettings(24));
        ADD_FAILURE() << "saved into a read-only folder";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + old + ": Permission denied");
    }
    ::chmod(folder.c_str(), 0755);
    const auto kept = fileBytes(old);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "the old file");
}
