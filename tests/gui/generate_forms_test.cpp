// The forms of Generate on their own: the AVI options, the animated GIF
// options with the building of their preview, and the codec window.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "engine/avi/wav.h"
#include "engine/image/ppm.h"
#include "gui/output/ani_gif_form.h"
#include "gui/output/avi_options_form.h"
#include "gui/output/codec_window.h"
#include "gui/output/gif_preview.h"
#include "gui/project/options_form.h"

using namespace pelko;

namespace {

// A mono 16-bit PCM WAV of 8000 samples a second.
std::vector<std::uint8_t> wavOf(std::uint32_t samples)
{
    std::vector<std::uint8_t> v;
    const auto le = [&v](std::uint32_t x, int n) {
        for (int i = 0; i < n; ++i) v.push_back(std::uint8_t(x >> (8 * i)));
    };
    const auto tag = [&v](const char* t) { v.insert(v.end(), t, t + 4); };
    tag("RIFF");
    le(36 + 2 * samples, 4);
    tag("WAVE");
    tag("fmt ");
    le(16, 4);
    le(1, 2);
    le(1, 2);
    le(8000, 4);
    le(16000, 4);
    le(2, 2);
    le(16, 2);
    tag("data");
    le(2 * samples, 4);
    v.resize(v.size() + 2 * samples);
    return v;
}

}  // namespace

class GenerateFormsTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void aviFormFieldsAndKeys()
    {
        AviOptionsValues start;
        start.frameTime = 200;
        start.wavFile = "/music/a.wav";
        start.soundDuration = 1234;
        TAviOptionsForm form("movie.avi", start, nullptr, nullptr);
        QCOMPARE(form.windowTitle(), QString("movie.avi"));
        QCOMPARE(form.durationPanel()->text(), QString("Duration of playback: 1234 msec"));
        QVERIFY(!form.playButton()->isEnabled());  // the named file does not exist
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));

        // a time below the shortest frame becomes 20 as the field is left;
        // Enter moves on to "Save" and closes nothing
        NumberField* time = form.frameTimeField();
        time->setFocus();
        time->selectAll();
        QTest::keyClicks(time, "5");
        QTest::keyClick(time, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.saveButton()));
        QCOMPARE(time->value(), 20);
        QVERIFY(form.isVisible());
        time->setFocus();
        QTest::keyClick(time, Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.cancelButton()));
        QVERIFY(form.isVisible());

        form.codecBox()->setChecked(false);
        form.soundBox()->setChecked(true);
        form.showAlwaysBox()->setChecked(false);
        const AviOptionsValues v = form.values();
        QCOMPARE(v.frameTime, 20);
        QVERIFY(!v.showCodecWindow && v.sound && !v.showAlways);
        QCOMPARE(v.wavFile, std::string("/music/a.wav"));
        QCOMPARE(v.soundDuration, 1234);
    }

    void aviFormLoadsAndMeasuresTheSound()
    {
        const QString good = dir_.filePath("good.wav");
        const QString bad = dir_.filePath("bad.wav");
        writeFile(good.toStdString(), wavOf(4000));
        writeFile(bad.toStdString(), std::vector<std::uint8_t>{'n', 'o', 'p', 'e'});
        QStringList shown;
        TAviOptionsForm form("m.avi", {}, WavDurationMs, [&](const QString& caption, const QString& text) {
            shown << caption + ": " + text;
        });
        form.loadSound(good);
        QCOMPARE(form.soundField()->text(), good);
        QCOMPARE(form.durationPanel()->text(), QString("Duration of playback: 500 msec"));
        QVERIFY(shown.isEmpty());
        // a file that cannot be measured: the measure's own message, then -1
        form.loadSound(bad);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(form.durationPanel()->text(), QString("Duration of playback: -1 msec"));
        QCOMPARE(form.values().soundDuration, -1);
    }

    // An animation larger than the preview's area is shown whole, reduced
    // with its shape kept; 1:1 shows its pixels in the scrolled area.
    void gifFormPreviewFitsItsArea()
    {
        TAniGIFForm form("big.gif", GifOptionsValues{}, 800, 500, [](QWidget*, const AnimatedGifOptions&) {
            return std::shared_ptr<const BuiltGif>();
        });
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QRect area = form.previewArea()->viewport()->rect();
        const QRect at = form.preview()->pictureRect();
        QVERIFY(area.contains(at.translated(form.preview()->pos())));
        QVERIFY(at.width() >= area.width() - 1 || at.height() >= area.height() - 1);
        QVERIFY(std::abs(at.width() * 500 - at.height() * 800) <= 800);
        form.actualSizeButton()->click();
        QCOMPARE(form.preview()->size(), QSize(800, 500));
        QCOMPARE(form.preview()->pictureRect(), QRect(0, 0, 800, 500));
        form.reject();
    }

    void gifFormBoxesLoopsAndItsPreviewBuilds()
    {
        std::vector<AnimatedGifOptions> built;
        GifOptionsValues start;
        start.merge = true;
        start.interlaced = true;
        start.infiniteLoop = true;
        start.loops = 4;
        start.showAlways = false;
        TAniGIFForm form("clip.gif", start, 300, 200, [&](QWidget* parent, const AnimatedGifOptions& o) {
            built.push_back(o);
            return std::shared_ptr<const BuiltGif>();
        });
        QCOMPARE(form.windowTitle(), QString("clip.gif"));
        form.actualSizeButton()->click();  // 1:1: the preview as large as the animation
        QCOMPARE(form.preview()->size(), QSize(300, 200));
        form.actualSizeButton()->click();
        QVERIFY(form.preview()->fitted());
        QVERIFY(!form.loopsField()->isEnabled());
        QCOMPARE(form.loopsField()->value(), 4);

        // the colour maps' box rebuilds the preview; the other boxes do not
        form.optimizeBox()->click();
        QCOMPARE(built.size(), std::size_t(1));
        QVERIFY(built[0].mergeColorMaps && built[0].interlaced && built[0].mergeSimilarities &&
                !built[0].crop);
        QCOMPARE(built[0].loops, std::uint16_t(0));
        for (QCheckBox* box : {form.mergeBox(), form.cropBox(), form.interlacedBox()}) box->click();
        QCOMPARE(built.size(), std::size_t(1));
        QVERIFY(!form.previewOptions());  // nothing was built

        form.infiniteBox()->click();
        QVERIFY(form.loopsField()->isEnabled());
        QCOMPARE(form.values().loops, 4);

        // "by default": boxes cleared, "Show always" set, loops at 1, the
        // loop box left alone, and the preview built again
        form.defaultButton()->click();
        const GifOptionsValues d = form.values();
        QVERIFY(!d.optimize && !d.merge && !d.crop && !d.interlaced);
        QVERIFY(d.showAlways && !d.infiniteLoop);
        QCOMPARE(d.loops, 1);
        QCOMPARE(built.size(), std::size_t(2));
        QCOMPARE(built[1].loops, std::uint16_t(1));

        // showing the dialog builds its preview once
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTRY_COMPARE(built.size(), std::size_t(3));
        form.loopsField()->setFocus();
        QTest::keyClick(form.loopsField(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.saveButton()));
        QVERIFY(form.isVisible());

        // "Smaller file": its slider only while it is on; the box rebuilds
        // the preview with the refined palettes and the strength
        QVERIFY(!form.smallerFileBox()->isChecked() && !form.strengthSlider()->isEnabled());
        QCOMPARE(form.strengthSlider()->value(), kDefaultGifStrength);
        form.strengthSlider()->setValue(65);
        form.smallerFileBox()->click();
        QVERIFY(form.strengthSlider()->isEnabled());
        QCOMPARE(built.size(), std::size_t(4));
        QVERIFY(built[3].bestPalette);
        QCOMPARE(built[3].lossy, 65);
        QVERIFY(form.values().smallerFile);
        QCOMPARE(form.values().strength, 65);
        form.defaultButton()->click();
        QVERIFY(!form.smallerFileBox()->isChecked() && !form.strengthSlider()->isEnabled());
        QCOMPARE(form.strengthSlider()->value(), kDefaultGifStrength);
    }

    void codecWindowListsChoosesAndRemembers()
    {
        const std::vector<VideoCodecInfo>& codecs = availableVideoCodecs();
        CodecWindow window(codecs, {"DIVX", -1, 0});
        QCOMPARE(window.codecList()->count(), int(codecs.size()));
        QCOMPARE(window.codecList()->itemText(0), QString("Uncompressed frames (DIB)"));
        QCOMPARE(window.choice().fourcc, std::string("DIVX"));
        QVERIFY(window.qualitySlider()->isEnabled() && window.keyFrameField()->isEnabled());
        QCOMPARE(window.qualitySlider()->value(), findVideoCodec("DIVX")->defaultQuality);
        window.qualitySlider()->setValue(33);
        window.keyFrameField()->setValue(25);
        // uncompressed frames have neither quality nor key frames
        window.codecList()->setCurrentIndex(0);
        QVERIFY(!window.qualitySlider()->isEnabled() && !window.keyFrameField()->isEnabled());
        QCOMPARE(window.choice().quality, -1);
        QCOMPARE(window.choice().keyFrameInterval, 0);
        // back to MPEG-4: its quality was kept
        QVERIFY(window.selectCodec("divx"));
        const CompressOptions chosen = window.choice();
        QCOMPARE(chosen.quality, 33);
        QCOMPARE(chosen.keyFrameInterval, 25);

        // it starts from the last choice; a codec not offered starts at the first
        CodecWindow again(codecs, chosen);
        QCOMPARE(again.choice().quality, 33);
        QCOMPARE(again.choice().keyFrameInterval, 25);
        CodecWindow unknown(codecs, {"NOPE", -1, 0});
        QCOMPARE(unknown.codecList()->currentIndex(), 0);

        window.cancelButton()->click();
        QCOMPARE(window.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(GenerateFormsTest)
#include "generate_forms_test.moc"
