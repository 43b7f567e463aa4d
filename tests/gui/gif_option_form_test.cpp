// "Optimize frame's color" through the real window and the real dialog: the
// touched rules over several frames, the palette click that picks the
// transparent colour, "by default", still mode, the card's colour picture,
// and the "After" preview made on a worker, a newer request superseding an
// older one.

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QToolBar>
#include <QToolButton>

#include "engine/gif/gif_settings.h"
#include "engine/gif_options/gif_color_preview.h"
#include "gui/app/frame_strip.h"
#include "gui/app/main_window.h"
#include "gui/app/picture_image.h"
#include "gui/colour/gif_option_form.h"
#include "gui/colour/gif_palette_grid.h"
#include "gui_fixtures.h"

using namespace pelko;
using namespace pelko::test;

namespace {

constexpr QRgb kUntouched = 0xE6E6E6;
constexpr QRgb kWhite = 0xFFFFFF;

// Runs the dialog with a script that says whether it ends with "OK".
struct ScriptedColourDialogs : ColourDialogs {
    std::function<bool(TGifOptionForm&)> script;
    int asked = 0;
    QString caption;
    bool gifOptions(TGifOptionForm& form) override
    {
        ++asked;
        caption = form.windowTitle();
        form.show();
        return script && script(form);
    }
};

QRgb listColour(QComboBox* list)
{
    return list->palette().color(QPalette::Button).rgb() & 0xFFFFFF;
}

// Three vertical stripes: red, green, blue.
Picture stripes(int w, int h)
{
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixel(x, y, x < w / 3 ? 0x0000FF : x < 2 * w / 3 ? 0x00FF00 : 0xFF0000);
    return p;
}

Picture plasma(int w, int h)
{
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixel(x, y, rgb(std::uint8_t(x * 7 + y), std::uint8_t(x * y / 64), std::uint8_t(y * 3 - x)));
    return p;
}

// Waits until the dialog shows the "After" of its last request.
bool afterShown(TGifOptionForm& d)
{
    return QTest::qWaitFor(
        [&] { return d.requestedPreview() > 0 && d.shownPreview() == d.requestedPreview(); }, 10000);
}

}  // namespace

class GifOptionFormTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::shared_ptr<FakeDialogs> dialogs_;
    std::shared_ptr<ScriptedColourDialogs> colour_;
    std::unique_ptr<TAVIForm> form_;
    std::tuple<TColorReduction, TDitherMode, int, TGIFCompression> codec_;

    // A window with a new project of the type holding n striped 30 x 12
    // pictures.
    TAVIForm& window(int n, int type = ProjectGif)
    {
        dialogs_ = std::make_shared<FakeDialogs>();
        colour_ = std::make_shared<ScriptedColourDialogs>();
        ProjectOptions canvas;
        canvas.Width = 100;
        canvas.Height = 100;
        canvas.Type = type;
        form_ = newProjectWindow(dir_.filePath("settings.ini"), dialogs_, canvas);
        setColourDialogs(*form_, colour_);
        const QString path = dir_.filePath("stripes.png");
        writeFile(path.toStdString(), encodePngPicture(stripes(30, 12)));
        form_->addPictures(QStringList(n, path));
        form_->project().changed = false;
        form_->applyEnabling();
        return *form_;
    }

    void select(std::vector<int> indices)
    {
        form_->project().selection.assign(std::move(indices));
        form_->applyEnabling();
    }

    void optimizeColor(std::function<bool(TGifOptionForm&)> script)
    {
        colour_->script = std::move(script);
        act(*form_, "ActionOptimizeColor")->trigger();
    }

private slots:
    void init()
    {
        codec_ = {GIFImageDefaultColorReduction, GIFImageDefaultDitherMode, GIFImageDefaultColorReductionBits,
                  GIFImageDefaultCompression};
    }
    void cleanup()
    {
        form_.reset();
        std::tie(GIFImageDefaultColorReduction, GIFImageDefaultDitherMode, GIFImageDefaultColorReductionBits,
                 GIFImageDefaultCompression) = codec_;
    }

    void offeredInMenusBarAndStrip()
    {
        TAVIForm& form = window(2);
        QAction* a = act(form, "ActionOptimizeColor");
        QVERIFY(a->isVisible());
        QVERIFY(a->isEnabled());
        QVERIFY(form.menu("stripMenu")->actions().contains(a));
        QVERIFY(form.toolBar(3)->actions().contains(a));
        select({});
        QVERIFY(!a->isEnabled());
    }

    // Frames 4, 1, 3 selected in that order: the caption lists them
    // ascending, the values are frame 4's, nothing is marked; changing the
    // dither list alone changes ColorDither of every selected frame.
    void severalFramesTakeOnlyWhatWasTouched()
    {
        TAVIForm& form = window(5);
        Project& p = form.project();
        const GifFrameSettings added =
            p.frames[0].Gif;  // a still's transparent colour: its bottom-left pixel
        const GifFrameSettings fourth{dmSierra, rmNetscape, 5, gcRLE, 2, 0xFFFFFF, 0, false};
        p.frames[3].Gif = fourth;
        select({3, 0, 2});

        optimizeColor([&](TGifOptionForm& d) {
            [&] {
                QCOMPARE(d.windowTitle(), QString("Frames: 1, 3, 4"));
                QCOMPARE(d.okButton()->text(), QString("OK"));
                QVERIFY(!d.showAlwaysBox()->isVisible());
                QVERIFY(d.disposalList()->isEnabled());
                QCOMPARE(d.reductionList()->currentText(), QString("Netscape"));
                QCOMPARE(d.ditherList()->currentText(), QString("Sierra"));
                QCOMPARE(d.colorsList()->currentText(), QString("32"));
                QCOMPARE(d.disposalList()->currentText(), QString("Background"));
                QVERIFY(d.rleButton()->isChecked());
                for (QComboBox* list : {d.reductionList(), d.ditherList(), d.colorsList(), d.disposalList()})
                    QCOMPARE(listColour(list), kUntouched);
                QCOMPARE(d.transparentBox()->palette().color(QPalette::Window).rgb() & 0xFFFFFF, kUntouched);
                QCOMPARE(GIFImageDefaultDitherMode, dmSierra);  // opening writes the codec defaults

                d.ditherList()->setCurrentText("Burkes");
                QCOMPARE(listColour(d.ditherList()), kWhite);
                QCOMPARE(listColour(d.reductionList()), kUntouched);
                QCOMPARE(GIFImageDefaultDitherMode, dmBurkes);
            }();
            return true;
        });
        QCOMPARE(colour_->asked, 1);
        for (int i : {0, 2, 3}) {
            GifFrameSettings expected = i == 3 ? fourth : added;
            expected.ColorDither = dmBurkes;
            QVERIFY2(p.frames[std::size_t(i)].Gif == expected, qPrintable(QString::number(i)));
        }
        QVERIFY(p.frames[1].Gif == added);
        QVERIFY(p.changed);
        QVERIFY(act(form, "ActionSave")->isEnabled());
    }

    void oneFrameChangesTheProjectOnlyWhenAValueDiffers()
    {
        TAVIForm& form = window(2);
        const GifFrameSettings added = form.project().frames[0].Gif;
        select({1});
        optimizeColor([](TGifOptionForm& d) {
            for (QComboBox* list : {d.reductionList(), d.ditherList(), d.colorsList(), d.disposalList()})
                if (listColour(list) != kWhite)
                    return false;
            return true;  // OK with nothing changed
        });
        QCOMPARE(colour_->caption, QString("Frame 2"));
        QVERIFY(!form.project().changed);
        QVERIFY(!act(form, "ActionSave")->isEnabled());

        optimizeColor([](TGifOptionForm& d) {
            d.colorsList()->setCurrentText("16");
            d.disposalList()->setCurrentText("Previous");
            return true;
        });
        QCOMPARE(form.project().frames[1].Gif.ReductionBit, 4);
        QCOMPARE(int(form.project().frames[1].Gif.DisposalMethod), 3);
        QVERIFY(form.project().frames[0].Gif == added);
        QVERIFY(form.project().changed);
        QVERIFY(act(form, "ActionSave")->isEnabled());
    }

    void cancelStoresNothingButTheCodecDefaultsStay()
    {
        TAVIForm& form = window(1);
        const GifFrameSettings added = form.project().frames[0].Gif;
        optimizeColor([](TGifOptionForm& d) {
            d.ditherList()->setCurrentText("FloydSteinberg");
            d.reductionList()->setCurrentText("GrayScale");
            return false;
        });
        QVERIFY(form.project().frames[0].Gif == added);
        QVERIFY(!form.project().changed);
        QCOMPARE(GIFImageDefaultDitherMode, dmFloydSteinberg);
        QCOMPARE(GIFImageDefaultColorReduction, rmGrayScale);
    }

    // The grid shows the colours of the optimised After; with "Transparent"
    // a click picks the cell's colour and number, the preview is made again
    // without optimisation, and only the first selected frame keeps the
    // colour while every selected frame gets the flag.
    void paletteClickPicksTheTransparentColour()
    {
        TAVIForm& form = window(3);
        select({2, 0});
        const Color red = 0x0000FF;  // the still's bottom-left pixel, its transparent colour when added
        QCOMPARE(form.project().frames[2].Gif.TransparentColor, red);
        Color picked = 0;
        optimizeColor([&](TGifOptionForm& d) {
            [&] {
                QVERIFY(afterShown(d));
                QCOMPARE(d.paletteGrid()->columns(), 3);
                QCOMPARE(d.paletteGrid()->rows(), 1);
                QCOMPARE(d.countPanel()->text(), QString("3 colors"));
                QCOMPARE(d.afterImage(), d.beforeImage());  // three colours pass through

                GifPaletteGrid* grid = d.paletteGrid();
                QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(1).center());
                QCOMPARE(d.values().TransparentColor, red);  // not transparent: nothing picked

                QTest::mouseClick(d.transparentBox(), Qt::LeftButton);
                QVERIFY(d.values().GIFTransparent);
                QVERIFY(d.lastRequestOptimized());
                QVERIFY(afterShown(d));
                QTest::mouseClick(grid, Qt::LeftButton, {},
                                  QPoint(3 * GifPaletteGrid::kCell + 2, 2));  // empty
                QCOMPARE(d.values().TransparentColor, red);

                picked = d.paletteColors()[1];
                QVERIFY(picked != red);
                QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(1).center());
                QCOMPARE(d.values().TransparentColor, picked);
                QCOMPARE(int(d.values().TransparentColorIndex), 1);
                QVERIFY(!d.lastRequestOptimized());
                QCOMPARE(
                    d.colorPanel()->toolTip(),
                    QString("RGB: %1 %2 %3").arg(redOf(picked)).arg(greenOf(picked)).arg(blueOf(picked)));
                QVERIFY(afterShown(d));
                // the picked colour shows the silver panel in After
                const QImage after = d.afterImage();
                bool silver = false;
                for (int x = 0; x < after.width(); ++x) silver |= (after.pixel(x, 0) & 0xFFFFFF) == 0xC0C0C0;
                QVERIFY(silver);
            }();
            return true;
        });
        const Project& p = form.project();
        QCOMPARE(p.frames[2].Gif.TransparentColor, picked);
        QCOMPARE(int(p.frames[2].Gif.TransparentColorIndex), 1);
        QVERIFY(p.frames[0].Gif.GIFTransparent);
        QCOMPARE(p.frames[0].Gif.TransparentColor, red);
        QCOMPARE(int(p.frames[0].Gif.TransparentColorIndex), 0);
        QVERIFY(!p.frames[1].Gif.GIFTransparent);
    }

    // "by default" shows the defaults and writes the codec defaults; the
    // disposal stays. With several frames, "OK" stores what it shows.
    void byDefaultRestoresTheNewFrameSettings()
    {
        TAVIForm& form = window(3);
        Project& p = form.project();
        const GifFrameSettings odd{dmStucki, rmMonochrome, 4, gcRLE, 2, 0x00FF00, 5, true};
        for (FrameRecord& f : p.frames) f.Gif = odd;
        select({0, 1});
        optimizeColor([](TGifOptionForm& d) {
            [&] {
                QTest::mouseClick(d.defaultButton(), Qt::LeftButton);
                QCOMPARE(d.reductionList()->currentText(), QString("Quantize"));
                QCOMPARE(d.ditherList()->currentText(), QString("Nearest"));
                QCOMPARE(d.colorsList()->currentText(), QString("256"));
                QCOMPARE(d.disposalList()->currentText(), QString("Background"));
                QVERIFY(d.lzwButton()->isChecked());
                QVERIFY(!d.transparentBox()->isChecked());
                QVERIFY(d.showAlwaysBox()->isChecked());
                QCOMPARE(listColour(d.disposalList()), kUntouched);
                QCOMPARE(GIFImageDefaultColorReduction, rmQuantize);
                QCOMPARE(GIFImageDefaultDitherMode, dmNearest);
                QCOMPARE(GIFImageDefaultColorReductionBits, 8);
                QCOMPARE(GIFImageDefaultCompression, gcLZW);
                QVERIFY(afterShown(d));
                QVERIFY(d.lastRequestOptimized());
            }();
            return true;
        });
        GifFrameSettings expected = kDefaultGifFrameSettings;
        expected.DisposalMethod = 2;
        QVERIFY(p.frames[0].Gif == expected);
        expected.TransparentColor = odd.TransparentColor;  // the colour goes to the first frame only
        expected.TransparentColorIndex = odd.TransparentColorIndex;
        QVERIFY(p.frames[1].Gif == expected);
        QVERIFY(p.frames[2].Gif == odd);
        QVERIFY(p.changed);
    }

    void cardColourPictureSelectsItsFrameAlone()
    {
        TAVIForm& form = window(3);
        select({0, 2});
        FrameStrip* strip = form.frameCards();
        const QPoint colourPicture = FrameStrip::colorPictureRect(1).center();
        sendMouse(strip, QEvent::MouseButtonPress, colourPicture, Qt::LeftButton);
        sendMouse(strip, QEvent::MouseButtonRelease, colourPicture, Qt::LeftButton);
        QCOMPARE(colour_->asked, 1);
        QCOMPARE(colour_->caption, QString("Frame 2"));
        QCOMPARE(form.project().selection.indices(), std::vector<int>{1});

        window(3, ProjectAvi);  // no colour options in an AVI project
        QVERIFY(!act(*form_, "ActionOptimizeColor")->isEnabled());
        sendMouse(form_->frameCards(), QEvent::MouseButtonPress, colourPicture, Qt::LeftButton);
        sendMouse(form_->frameCards(), QEvent::MouseButtonRelease, colourPicture, Qt::LeftButton);
        QCOMPARE(colour_->asked, 0);
    }

    void stillModeEditsTheStillSettings()
    {
        GifStillSettings settings;
        settings.gif = {dmJaJuNI, rmWindows256, 6, gcLZW, 0, 0x0000FF, 0, true};
        settings.showAlways = false;
        TGifOptionForm d("shot.gif", stripes(30, 12), settings);
        d.show();
        QCOMPARE(d.mode(), GifOptionMode::Still);
        QCOMPARE(d.windowTitle(), QString("shot.gif"));
        QCOMPARE(d.okButton()->text(), QString("Save"));
        QVERIFY(d.showAlwaysBox()->isVisible());
        QVERIFY(!d.showAlwaysBox()->isChecked());
        QVERIFY(!d.disposalList()->isEnabled());
        QCOMPARE(d.ditherList()->currentText(), QString("JaJuNi"));
        QCOMPARE(d.reductionList()->currentText(), QString("Windows256"));
        QVERIFY(d.transparentBox()->isChecked());
        QCOMPARE(listColour(d.ditherList()), listColour(d.reductionList()));  // no touched marks

        d.colorsList()->setCurrentText("8");
        QTest::mouseClick(d.rleButton(), Qt::LeftButton);
        d.showAlwaysBox()->setChecked(true);
        const GifStillSettings kept = d.stillSettings();
        QCOMPARE(kept.gif.ReductionBit, 3);
        QCOMPARE(int(kept.gif.GIFCompression), int(gcRLE));
        QCOMPARE(kept.gif.TransparentColor, 0x0000FFu);
        QVERIFY(kept.showAlways);
        QCOMPARE(GIFImageDefaultCompression, gcRLE);
    }

    // A large picture: the list's change returns at once with the preview
    // on its way; the result of a request overtaken by a newer one is
    // dropped, and the dialog ends showing the newest request's preview.
    void newerPreviewSupersedesAnOlderOne()
    {
        GifStillSettings settings;
        TGifOptionForm d("photo.gif", plasma(1600, 1200), settings);
        d.resize(1600, 1000);
        d.show();
        QVERIFY(afterShown(d));
        const std::uint64_t first = d.requestedPreview();

        QElapsedTimer clock;
        clock.start();
        d.ditherList()->setCurrentText("FloydSteinberg");
        const qint64 handler = clock.elapsed();
        QCOMPARE(d.requestedPreview(), first + 1);
        QCOMPARE(d.shownPreview(), first);
        QVERIFY2(handler < 50, qPrintable(QString("%1 ms").arg(handler)));

        // let it finish without delivering its result, then ask again
        for (int i = 0; i < 1000 && !d.previewWorkIdle(); ++i) QThread::msleep(10);
        QVERIFY(d.previewWorkIdle());
        d.ditherList()->setCurrentText("Stucki");
        QCoreApplication::processEvents();  // the FloydSteinberg result arrives: dropped
        QVERIFY(d.shownPreview() != first + 1);
        QVERIFY(afterShown(d));
        QCOMPARE(d.shownPreview(), first + 2);

        GifFrameSettings stucki = settings.gif;
        stucki.ColorDither = dmStucki;
        const Picture before =
            gifColorBefore(plasma(1600, 1200), d.beforeImage().width(), d.beforeImage().height());
        QCOMPARE(d.afterImage(), toImage(buildGifColorPreview(before, stucki, true, 0xC0C0C0).after));
    }
};

QTEST_MAIN(GifOptionFormTest)
#include "gif_option_form_test.moc"
