// Save frame and Copy through the real window: the file dialog's type
// follow-up, the options dialogs (their values, "by default", "Show
// always", the live JPEG preview, Cancel writing nothing), a write that
// fails, the clipboard read back in both formats and the preview's pop-up
// menu.

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <csignal>

#include <sys/resource.h>

#include "engine/colour/bitmap_frame.h"
#include "engine/export/bmp_bits.h"
#include "engine/export/export_frame.h"
#include "engine/gif/gif_image.h"
#include "engine/image/bmp_reader.h"
#include "engine/image/jpeg_codec.h"
#include "gui/colour/gif_option_form.h"
#include "gui/export/bmp_form.h"
#include "gui/export/export_preview.h"
#include "gui/export/jpg_form.h"
#include "gui/export/png_form.h"
#include "gui/export/save_frame_dialog.h"
#include "gui_fixtures.h"

using namespace pelko;
using namespace pelko::test;

namespace {

struct FakeExportDialogs : ExportDialogs {
    QString file;  // empty: cancelled
    int filesAsked = 0;
    // Each works its form and says whether it ends with "Save"; unset:
    // "Save" untouched.
    std::function<bool(TBMPForm&)> bmpScript;
    std::function<bool(TJPGForm&)> jpgScript;
    std::function<bool(TPNGForm&)> pngScript;
    std::function<bool(TGifOptionForm&)> gifScript;
    int bmpAsked = 0, jpgAsked = 0, pngAsked = 0, gifAsked = 0;
    QStringList captions;

    QString saveFrameFile(QWidget*) override
    {
        ++filesAsked;
        return file;
    }
    bool bmpOptions(TBMPForm& form) override
    {
        ++bmpAsked;
        captions << form.windowTitle();
        return !bmpScript || bmpScript(form);
    }
    bool jpgOptions(TJPGForm& form) override
    {
        ++jpgAsked;
        captions << form.windowTitle();
        return !jpgScript || jpgScript(form);
    }
    bool pngOptions(TPNGForm& form) override
    {
        ++pngAsked;
        captions << form.windowTitle();
        return !pngScript || pngScript(form);
    }
    bool gifOptions(TGifOptionForm& form) override
    {
        ++gifAsked;
        captions << form.windowTitle();
        return !gifScript || gifScript(form);
    }
};

// The project options dialog that also sets the "Show always" flags.
struct FlagDialogs : FakeDialogs {
    std::optional<ShowFlags> flags;  // unset: as they are
    bool projectOptions(QWidget* parent, ProjectOptions& o, ShowFlags& f, bool newProject,
                        DefaultFrameSize defaults) override
    {
        if (flags)
            f = *flags;
        return FakeDialogs::projectOptions(parent, o, f, newProject, defaults);
    }
};

std::vector<std::uint8_t> bytesOf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray b = f.readAll();
    return {b.begin(), b.end()};
}

Picture pictureOf(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    Picture p(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = rgb.pixel(x, y);
            p.setPixel(x, y,
                       pelko::rgb(std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c))));
        }
    return p;
}

}  // namespace

class SaveFrameTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir_;
    std::shared_ptr<FlagDialogs> dialogs_;
    std::shared_ptr<FakeExportDialogs> export_;
    std::unique_ptr<TAVIForm> form_;
    Picture frame_;  // what the window's one frame shows

    QString file(const QString& name) const { return dir_->filePath(name); }

    // A project of one 120 x 80 frame: a picture of stripes in few colours,
    // so that a GIF holds it exactly.
    TAVIForm& window()
    {
        dialogs_ = std::make_shared<FlagDialogs>();
        export_ = std::make_shared<FakeExportDialogs>();
        ProjectOptions canvas;
        canvas.Width = 160;
        canvas.Height = 100;
        form_ = newProjectWindow(file("settings.ini"), dialogs_, canvas);
        exportState(*form_).dialogs = (export_);
        frame_ = Picture(120, 80);
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 120; ++x)
                frame_.setPixel(x, y, x < 40 ? 0x0000FF : y < 40 ? 0x00FF00 : 0x804020);
        const QString source = file("source.png");
        writeFile(source.toStdString(), encodePngPicture(frame_));
        form_->addPictures({source});
        return *form_;
    }

    QStringList filesIn() const
    {
        return QDir(dir_->path()).entryList({"frame*", "*.pelko*", ".pelko*"}, QDir::Files | QDir::Hidden);
    }

private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }
    void cleanup() { form_.reset(); }

    void offeredWithShortcutsInMenuToolBarAndPreview()
    {
        TAVIForm& form = window();
        QAction* save = act(form, "ActionSaveFrame");
        QAction* copy = act(form, "ActionCopy");
        QVERIFY(save->isVisible() && copy->isVisible());
        QVERIFY(save->isEnabled() && copy->isEnabled());
        QCOMPARE(save->shortcut(), QKeySequence("Ctrl+F"));
        QCOMPARE(copy->shortcut(), QKeySequence("Ctrl+C"));
        QCOMPARE(save->toolTip(), QString("Save frame"));

        QMenu* menu = previewPopupMenu(form);
        QVERIFY(menu);
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0], save);
        QVERIFY(items[1]->isSeparator());
        QCOMPARE(items[2], copy);

        form.project().selection.clear();
        form.mirrorProject(-1);
        QVERIFY(!previewPopupMenu(form));
        QVERIFY(!save->isEnabled() && !copy->isEnabled());
    }

    void fileDialogTypesAndTheNameFollowingThem()
    {
        SaveFrameDialog dialog(nullptr);
        QCOMPARE(dialog.windowTitle(), QString("Save frame"));
        QCOMPARE(dialog.nameFilters(), QStringList({"Bitmaps(*.bmp)", "GIF Image(*.gif)", "JPEG Image(*.jpg)",
                                                    "Portable Network Graphics(*.png)"}));
        QCOMPARE(dialog.selectedNameFilter(), QString("Bitmaps(*.bmp)"));
        QCOMPARE(dialog.defaultSuffix(), QString("bmp"));
        QLineEdit* name = dialog.nameField();
        QVERIFY(name);
        // the user picks the JPEG type in the dialog's type list
        auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
        QVERIFY(types);
        const struct {
            const char* typed;
            int type;
            const char* shown;
        } cases[] = {{"shot.bmp", 2, "shot.jpg"}, {"shot", 2, "shot.jpg"},     {"shot.jpeg", 2, "shot.jpg"},
                     {"shot.jpg", 3, "shot.png"}, {"shot.png", 1, "shot.gif"}, {"", 0, ""}};
        for (const auto& c : cases) {
            name->setText(c.typed);
            types->setCurrentIndex(c.type);
            emit types->activated(c.type);
            emit types->textActivated(types->itemText(c.type));
            QCOMPARE(name->text(), QString(c.shown));
            QCOMPARE(dialog.defaultSuffix(), QString(exportTypeExtension(c.type + 1)).mid(1));
        }
    }

    void eachFormatWrittenAfterItsDialogWithTheLastNameAsCaption()
    {
        TAVIForm& form = window();
        // BMP, 8 bits chosen
        export_->file = file("frame.bmp");
        export_->bmpScript = [](TBMPForm& d) {
            d.formatButton(8)->click();
            return true;
        };
        act(form, "ActionSaveFrame")->trigger();
        QCOMPARE(export_->bmpAsked, 1);
        QCOMPARE(export_->captions.last(), QString("frame.bmp"));
        QCOMPARE(exportState(form).settings.bmpBits, 8);
        auto bmp = bytesOf(file("frame.bmp"));
        QVERIFY(!bmp.empty());
        QCOMPARE(int(bmp[28]), 8);
        QCOMPARE(decodeBmp(bmp.data(), bmp.size()), bmpPixelFormatPreview(frame_, 8));

        // PNG under a name in capitals, interlaced, Show always switched off
        export_->file = file("FRAME.PNG");
        export_->pngScript = [](TPNGForm& d) {
            d.interlaceBox()->setChecked(true);
            d.showAlwaysBox()->setChecked(false);
            return true;
        };
        act(form, "ActionSaveFrame")->trigger();
        QCOMPARE(export_->pngAsked, 1);
        QVERIFY(!form.showFlags().png);
        QCOMPARE(decodePngPicture(bytesOf(file("FRAME.PNG")).data(), bytesOf(file("FRAME.PNG")).size()),
                 frame_);
        // the next PNG is written at once, with the stored settings
        export_->file = file("frame2.png");
        act(form, "ActionSaveFrame")->trigger();
        QCOMPARE(export_->pngAsked, 1);
        QVERIFY(QFileInfo::exists(file("frame2.png")));
        QCOMPARE(bytesOf(file("frame2.png")), encodeExportPng(frame_, exportState(form).settings));
        // "PNG" switched on in the project options brings the dialog back
        ShowFlags flags = form.showFlags();
        flags.png = true;
        dialogs_->flags = flags;
        act(form, "ActionProjectOptions")->trigger();
        export_->file = file("frame3.png");
        // its box shows the flag, the other values stay as stored
        export_->pngScript = [](TPNGForm& d) { return d.values().interlace && d.values().showAlways; };
        act(form, "ActionSaveFrame")->trigger();
        QCOMPARE(export_->pngAsked, 2);
        QVERIFY(QFileInfo::exists(file("frame3.png")));
        QVERIFY(form.showFlags().png);

        // JPEG under .jpeg at quality 40
        export_->file = file("frame.jpeg");
        export_->jpgScript = [](TJPGForm& d) {
            d.qualitySlider()->setValue(40);
            return true;
        };
        act(form, "ActionSaveFrame")->trigger();
        QCOMPARE(export_->jpgAsked, 1);
        QCOMPARE(bytesOf(file("frame.jpeg")), encodeJpeg(frame_, 40));

        // GIF in the colour dialog's still mode, as it stands
        export_->file = file("frame.gif");
        act(form, "ActionSaveFrame")->trigger();
        QCOMPARE(export_->gifAsked, 1);
        QCOMPARE(export_->captions.last(), QString("frame.gif"));
        TGIFImage gif;
        gif.LoadFromFile(file("frame.gif").toStdString());
        QCOMPARE(gif.Images().GetCount(), 1);
        QCOMPARE(GetBitmap(gif).toPicture(), frame_);

        // and the output dialogs of Generate show the same name
        QCOMPARE(generateState(form).output.OutputName, std::string("frame.gif"));
        QVERIFY(dialogs_->errors.isEmpty());
    }

    void cancelOrAnUnknownTypeWritesNothingAndKeepsTheSettings()
    {
        TAVIForm& form = window();
        export_->file = "";  // the file dialog cancelled
        act(form, "ActionSaveFrame")->trigger();
        QCOMPARE(export_->filesAsked, 1);
        export_->file = file("frame.tif");
        act(form, "ActionSaveFrame")->trigger();
        QCOMPARE(export_->bmpAsked + export_->jpgAsked + export_->pngAsked + export_->gifAsked, 0);

        export_->file = file("frame.jpg");
        export_->jpgScript = [](TJPGForm& d) {
            d.qualitySlider()->setValue(10);
            d.showAlwaysBox()->setChecked(false);
            return false;
        };
        act(form, "ActionSaveFrame")->trigger();
        export_->file = file("frame.png");
        export_->pngScript = [](TPNGForm& d) {
            d.levelField()->setValue(1);
            return false;
        };
        act(form, "ActionSaveFrame")->trigger();
        QCOMPARE(export_->jpgAsked, 1);
        QCOMPARE(export_->pngAsked, 1);
        QCOMPARE(exportState(form).settings.jpegQuality, 100);
        QCOMPARE(exportState(form).settings.pngCompressionLevel, 9);
        QVERIFY(form.showFlags().jpg);
        QCOMPARE(filesIn(), QStringList());
    }

    void writeFailureNamesTheFileAndKeepsTheOldOne()
    {
        TAVIForm& form = window();
        QVERIFY(QDir(dir_->path()).mkdir("frame.png"));
        export_->file = file("frame.png");
        act(form, "ActionSaveFrame")->trigger();
        QCOMPARE(dialogs_->errors,
                 QStringList("Unable to write to " + file("frame.png") + ": Is a directory"));

        // a disk that fills up halfway: the old file stays, nothing else is left
        QFile old(file("frame.bmp"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        export_->file = file("frame.bmp");
        dialogs_->errors.clear();
        {
            std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead
            rlimit saved{};
            getrlimit(RLIMIT_FSIZE, &saved);
            rlimit small = saved;
            small.rlim_cur = 1000;
            setrlimit(RLIMIT_FSIZE, &small);
            act(form, "ActionSaveFrame")->trigger();
            setrlimit(RLIMIT_FSIZE, &saved);
        }
        QCOMPARE(dialogs_->errors,
                 QStringList("Unable to write to " + file("frame.bmp") + ": File too large"));
        QCOMPARE(bytesOf(file("frame.bmp")), std::vector<std::uint8_t>({'o', 'l', 'd'}));
        QCOMPARE(filesIn(), QStringList("frame.bmp"));
    }

    void bmpDialogPreviewsAndDefaults()
    {
        Picture picture(300, 250);  // larger than the panels
        for (int y = 0; y < 250; ++y)
            for (int x = 0; x < 300; ++x) picture.setPixel(x, y, rgb(std::uint8_t(x), std::uint8_t(y), 90));
        TBMPForm form("shot.bmp", picture, {7, false});
        QVERIFY(form.formatButton(24)->isChecked());  // no such format: 24 bit
        QCOMPARE(form.windowTitle(), QString("shot.bmp"));
        QCOMPARE(form.formatButton(16)->text(), QString("16 bit"));
        form.formatButton(1)->click();
        const QImage after = form.afterPreview()->image();
        QCOMPARE(after.size(), QSize(280, 210));
        for (int y = 0; y < after.height(); y += 7)
            for (int x = 0; x < after.width(); x += 7) {
                const QRgb c = after.pixel(x, y);
                QVERIFY(c == qRgb(0, 0, 0) || c == qRgb(255, 255, 255));
            }
        // a picture larger than the panel is clipped to a box 2 pixels in
        QCOMPARE(form.beforePreview()->box(), QRect(2, 2, 276, 206));
        QCOMPARE(exportPreviewBox(QSize(280, 210), QSize(100, 50)), QRect(89, 79, 101, 51));
        form.defaultButton()->click();
        QCOMPARE(form.values().bits, 24);
        QVERIFY(form.values().showAlways);
        QCOMPARE(pictureOf(form.afterPreview()->image()), pictureOf(form.beforePreview()->image()));
    }

    void jpegDialogFollowsTheSliderWithTheFileSize()
    {
        Picture picture(200, 150);
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) picture.setPixel(x, y, rgb(std::uint8_t(x), std::uint8_t(y), 40));
        TJPGForm form("shot.jpg", picture, {100, true});
        QCOMPARE(form.qualitySlider()->tickInterval(), 5);
        QCOMPARE(form.qualitySlider()->maximum(), 100);
        QTRY_COMPARE(form.shownQuality(), 100);
        // a run of moves: the last one is shown
        for (int q = 95; q >= 30; q -= 5) form.qualitySlider()->setValue(q);
        QCOMPARE(form.qualityLabel()->text(), QString("30"));
        QTRY_VERIFY(!form.previewPending());
        QCOMPARE(form.shownQuality(), 30);
        const std::vector<std::uint8_t> jpeg = encodeJpeg(picture, 30);
        QCOMPARE(form.shownBytes(), jpeg.size());
        QCOMPARE(form.sizeLabel()->text(), QString("File size: %1 bytes").arg(jpeg.size()));
        QCOMPARE(pictureOf(form.afterPreview()->image()), decodeJpeg(jpeg.data(), jpeg.size()));
        form.defaultButton()->click();
        QCOMPARE(form.values().quality, 100);
    }

    void pngDialogColourLevelAndKeys()
    {
        Color offered = 0x00FF00;
        bool cancel = false;
        TPNGForm form("shot.png", {true, 3, 0x123456, false}, [&](Color& c) {
            if (cancel)
                return false;
            c = offered;
            return true;
        });
        QCOMPARE(form.values().transparentColor, Color(0x123456));
        QCOMPARE(form.colorButton()->toolTip(), QString("Set color"));
        form.colorButton()->click();
        QCOMPARE(form.values().transparentColor, Color(0x00FF00));
        cancel = true;
        form.colorButton()->click();
        QCOMPARE(form.values().transparentColor, Color(0x00FF00));
        QCOMPARE(form.colorSwatch()->palette().color(QPalette::Window), QColor(0, 255, 0));
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.levelField()->setFocus();
        QTest::keyClick(form.levelField(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.saveButton()));
        form.levelField()->setFocus();
        QTest::keyClick(form.levelField(), Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.cancelButton()));
        QVERIFY(form.isVisible());
        form.defaultButton()->click();
        const PngFormValues v = form.values();
        QVERIFY(!v.interlace && v.showAlways);
        QCOMPARE(v.compressionLevel, 9);
        QCOMPARE(v.transparentColor, Color(0xFFFFFF));
    }

    void copyPutsThePictureAndTheGifStreamOnTheClipboard()
    {
        TAVIForm& form = window();
        QGuiApplication::clipboard()->clear();
        act(form, "ActionCopy")->trigger();
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QVERIFY(data->hasImage());
        const QImage image = qvariant_cast<QImage>(data->imageData());
        QCOMPARE(image.size(), QSize(120, 80));
        QCOMPARE(pictureOf(image), frame_);
        QVERIFY(data->hasFormat("image/gif"));
        const QByteArray gifBytes = data->data("image/gif");
        TGIFImage gif;
        gif.LoadFromBytes(reinterpret_cast<const std::uint8_t*>(gifBytes.constData()),
                          std::size_t(gifBytes.size()));
        QCOMPARE(GetBitmap(gif).toPicture(), frame_);
    }
};

QTEST_MAIN(SaveFrameTest)
#include "save_frame_test.moc"
