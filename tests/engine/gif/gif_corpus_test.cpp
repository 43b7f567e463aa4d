// The shared GIF corpus: valid files load with their frame counts, damaged
// ones give warnings or the expected error, and nothing crashes or hangs.

#include <gtest/gtest.h>

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"
#include "engine/image/ppm.h"
#include "gif_test_util.h"

namespace pelko {
namespace {

struct Loaded {
    TGIFImage image;
    test::WarningLog log;
    std::string error;
    int images = 0;  // frames with pixels
    explicit Loaded(const std::string& name)
    {
        log.attach(image);
        try {
            image.LoadFromFile(test::testdataGif(name));
        } catch (const GIFException& e) {
            error = e.what();
        }
        for (const auto& f : image.Images()) images += !f->GetEmpty();
    }
};

TEST(GifCorpus, ValidFilesLoadWithTheirFrames)
{
    if (!test::haveTestdata())
        GTEST_SKIP() << "test data folder " << PELKO_TESTDATA << "/gif is absent";
    struct Case {
        const char* file;
        int images, frames;
    };
    const Case cases[] = {
        {"ts-gif87a.gif", 1, 1},
        {"ts-gif87a-animation.gif", 4, 4},
        {"ts-depth1.gif", 1, 1},
        {"ts-depth8.gif", 1, 1},
        {"ts-interlace.gif", 1, 1},
        {"rs-interlaced.gif", 1, 1},
        {"pil-text_mono.gif", 1, 1},
        {"pil-hopper.gif", 1, 1},
        {"ts-transparent.gif", 1, 1},
        {"ts-local-color-table.gif", 1, 1},
        {"ts-no-global-color-table.gif", 1, 1},
        {"pil-no_palette.gif", 2, 2},
        {"ts-comment.gif", 1, 1},
        {"pil-multiple_comments.gif", 5, 6},
        {"pil-comment_after_last_frame.gif", 2, 3},
        {"ts-plain-text.gif", 1, 1},
        {"ts-unknown-application-extension.gif", 1, 1},
        {"rs-beacon_icc.gif", 2, 2},
        {"rs-beacon_xmp.gif", 2, 2},
        {"ts-loop-once.gif", 1, 1},
        {"pn-animated_noloop.gif", 4, 4},
        {"pn-animated_loop_interlaced.gif", 4, 4},
        {"ts-animation-zero-delays.gif", 4, 4},
        {"ts-animation-no-delays.gif", 4, 4},
        {"rs-anim-gr.gif", 2, 2},
        {"pil-dispose_bgnd.gif", 5, 5},
        {"pil-dispose_prev.gif", 5, 5},
        {"pil-transparent_dispose.gif", 3, 3},
        {"pil-missing_background.gif", 4, 4},
        {"ts-max-codes.gif", 1, 1},
        {"ts-many-clears.gif", 1, 1},
        {"rs-moon_impact.gif", 14, 14},
        {"ts-missing-pixels.gif", 1, 1},
        {"gen-no-trailer.gif", 1, 1},
    };
    for (const Case& c : cases) {
        Loaded l(c.file);
        EXPECT_EQ(l.error, "") << c.file;
        EXPECT_EQ(l.images, c.images) << c.file;
        EXPECT_EQ(l.image.Images().GetCount(), c.frames) << c.file;
    }

    EXPECT_TRUE(Loaded("gen-no-trailer.gif").log.messages.empty());
    EXPECT_TRUE(Loaded("rs-moon_impact.gif").log.messages.empty());  // junk after the trailer is ignored

    Loaded loop("ts-loop-once.gif");
    const auto* ns =
        dynamic_cast<const TGIFAppExtNSLoop*>(loop.image.Images().GetImage(0)->Extensions().GetExtension(0));
    ASSERT_NE(ns, nullptr);
    EXPECT_EQ(ns->GetLoops(), 1);

    Loaded delays("rs-anim-gr.gif");
    EXPECT_EQ(delays.image.Images().GetImage(0)->GraphicControlExtension()->GetDelay(), 1);
    EXPECT_EQ(delays.image.Images().GetImage(1)->GraphicControlExtension()->GetDelay(), 10000);
}

TEST(GifCorpus, BrokenFilesFailWithTheirMessage)
{
    if (!test::haveTestdata())
        GTEST_SKIP() << "test data folder " << PELKO_TESTDATA << "/gif is absent";
    const std::pair<const char*, const char*> cases[] = {
        {"gen-bad-signature.gif", "Invalid GIF signature"},
        {"gen-header-only.gif", "Premature end of data"},
        {"ts-unknown-extension.gif", "Unknown extension type"},
        {"ts-invalid-code.gif", "Invalid GIF data"},
        {"ts-overflow-codes.gif", "Invalid GIF data"},
        {"rs-issue-96-small-codesize.gif", "Invalid GIF data"},
        {"rs-issue-101-infinite-empty-loop.gif", "picture too large: 6727 × 65351 (limit 10000 × 10000)"},
        {"rs-issue-117-out-of-range.gif", "Invalid GIF data"},
    };
    for (const auto& [file, message] : cases) EXPECT_EQ(Loaded(file).error, message) << file;
}

TEST(GifCorpus, DamagedFilesKeepWhatCanBeRead)
{
    if (!test::haveTestdata())
        GTEST_SKIP() << "test data folder " << PELKO_TESTDATA << "/gif is absent";
    Loaded cut("gen-truncated-anim.gif");
    Loaded whole("pil-dispose_bgnd.gif");
    ASSERT_GE(cut.image.Images().GetCount(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(cut.image.Images().GetImage(i)->Data(), whole.image.Images().GetImage(i)->Data());
    EXPECT_GE(cut.log.count("Premature end of data"), 1);

    Loaded lzw("gen-truncated-lzw.gif");
    EXPECT_EQ(lzw.images, 1);
    EXPECT_EQ(lzw.log.count("Premature end of data"), 1);

    EXPECT_EQ(Loaded("ts-no-eoi.gif").log.count("Decoder bit buffer under-run"), 1);
    for (const char* f : {"ts-image-outside-bg.gif", "pn-animated_transparent_loop_frames_out_of_bounds.gif",
                          "ts-extra-pixels.gif", "ts-invalid-colors.gif", "ts-invalid-transparent.gif",
                          "rs-set_hsts.gif", "ts-no-data.gif", "ts-zero-size.gif", "ts-max-size.gif"})
        EXPECT_EQ(Loaded(f).error, "") << f;
}

}  // namespace
}  // namespace pelko
