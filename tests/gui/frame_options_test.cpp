// Frame options through the real window and the real dialog: marks, Center,
// Fill, the scale box, dragging the rectangle, and what "OK" applies.

#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "gui/app/frame_strip.h"
#include "gui/app/main_window.h"
#include "gui/frames/delay_form.h"
#include "gui_fixtures.h"
#include "platform/qt_settings_store.h"

using namespace pelko;
using namespace pelko::test;

namespace {

constexpr Color kRed = rgb(255, 0, 0);
constexpr Color kBlue = rgb(0, 0, 255);
constexpr Color kWhite = 0xFFFFFF;

QRgb background(QWidget* w)
{
    return (qobject_cast<QCheckBox*>(w) ? w->palette().color(QPalette::Window)
                                        : w->palette().color(QPalette::Base))
               .rgb() &
           0xFFFFFF;
}

}  // namespace

class FrameOptionsTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::shared_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<TAVIForm> form_;

    // A window with a new project of the given canvas and type, holding n
    // red 10 x 10 pictures placed at (0, 0).
    TAVIForm& window(int n, int width = 100, int height = 100, int type = ProjectGif)
    {
        dialogs_ = std::make_shared<FakeDialogs>();
        ProjectOptions canvas;
        canvas.Width = width;
        canvas.Height = height;
        canvas.Type = type;
        form_ = newProjectWindow(dir_.filePath("settings.ini"), dialogs_, canvas);
        QStringList pictures;
        for (int i = 0; i < n; ++i)
            pictures << writePng(dir_.filePath(QString("p%1.png").arg(i)), 10, 10, kRed);
        form_->addPictures(pictures);
        form_->project().changed = false;
        return *form_;
    }

    // Runs Frame options with the script, which ends with "OK" when it
    // returns true.
    void frameOptions(std::function<bool(TDelayForm&)> script)
    {
        dialogs_->frameOptionsScript = [script](TDelayForm& form) {
            form.show();
            return script(form);
        };
        act(*form_, "ActionFrameOptions")->trigger();
    }

private slots:
    void cleanup() { form_.reset(); }

    void okUntouchedRendersOneFrameFromItsSource()
    {
        TAVIForm& form = window(1);
        QVERIFY(act(form, "ActionFrameOptions")->isVisible() && act(form, "ActionFrameOptions")->isEnabled());
        writePng(dir_.filePath("p0.png"), 10, 10, kBlue);

        const FrameOptionsValues before = frameOptionsFromFrame(form.project().frames[0]);
        frameOptions([](TDelayForm&) { return false; });  // Cancel
        const FrameOptionsValues after = frameOptionsFromFrame(form.project().frames[0]);
        QCOMPARE(QList<int>({after.time, after.left, after.top, after.width, after.height}),
                 QList<int>({before.time, before.left, before.top, before.width, before.height}));
        QVERIFY(!form.project().changed);

        QString caption;
        QList<QRgb> colours;
        frameOptions([&](TDelayForm& d) {
            caption = d.windowTitle();
            for (QWidget* w : std::initializer_list<QWidget*>{d.timeEdit(), d.leftEdit(), d.topEdit(),
                                                              d.widthEdit(), d.heightEdit()})
                colours << background(w);
            return true;
        });
        QCOMPARE(caption, QString("Frame 1"));
        QCOMPARE(colours, QList<QRgb>(5, kMarkedField));
        const FrameRecord& f = form.project().frames[0];
        QCOMPARE(frameImage(form.project(), 0).get().pixel(0, 0), kBlue);
        QCOMPARE(f.Time, std::uint16_t(500));
    }

    void timeOnlyForSeveralFrames_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("GIF") << int(ProjectGif);
        QTest::newRow("AVI") << int(ProjectAvi);
    }

    void timeOnlyForSeveralFrames()
    {
        QFETCH(int, type);
        TAVIForm& form = window(4, 100, 100, type);
        Project& p = form.project();
        for (int i = 0; i < 4; ++i) p.frames[std::size_t(i)].Left = 10 * i;
        p.selection.clear();
        for (int i : {1, 2, 3}) p.selection.add(i);

        QString caption;
        QRgb before = 0, after = 0;
        frameOptions([&](TDelayForm& d) {
            caption = d.windowTitle();
            before = background(d.timeEdit());
            d.timeEdit()->setValue(700);
            after = background(d.timeEdit());
            return true;
        });
        QCOMPARE(caption, QString("Frames: 2, 3, 4"));
        QCOMPARE(before, kUnmarkedField);
        QCOMPARE(after, kMarkedField);
        for (int i = 0; i < 4; ++i) {
            const FrameRecord& f = p.frames[std::size_t(i)];
            QCOMPARE(f.Left, 10 * i);
            const bool gets = i > 0 || type == ProjectAvi;
            QCOMPARE(int(f.Time), gets ? 700 : int(type == ProjectAvi ? 1000 : 500));
            QCOMPARE(form.frameCards()->timeText(i), QString("%1 msec").arg(f.Time));
        }
        if (type == ProjectAvi)
            QCOMPARE(p.settings.AviFrameTime, 700);
        QVERIFY(p.changed);
        QVERIFY(act(form, "ActionSave")->isEnabled());
    }

    void fillGivesTheWholeCanvas()
    {
        TAVIForm& form = window(1);
        frameOptions([](TDelayForm& d) {
            d.fillButton()->click();
            return true;
        });
        const FrameRecord& f = form.project().frames[0];
        QCOMPARE(QList<int>({f.Left, f.Top, f.Width, f.Height}), QList<int>({0, 0, 100, 100}));
        const FramePicture image = frameImage(form.project(), 0);
        QCOMPARE(image.get().width(), 100);
        QCOMPARE(image.get().pixel(9, 9), kRed);
        QCOMPARE(image.get().pixel(10, 10), kWhite);
    }

    void centerRoundsTowardZero()
    {
        window(1, 200, 100);
        int left = -1;
        frameOptions([&](TDelayForm& d) {
            d.widthEdit()->setValue(101);
            d.centerButton()->click();
            left = d.leftEdit()->value();
            return false;
        });
        QCOMPARE(left, 49);
    }

    // With several frames selected, so that the marks show what a click and
    // a drag do; the drag is applied, a plain click is not.
    void dragStopsAtTheRightEdge()
    {
        TAVIForm& form = window(2);
        act(form, "ActionSelectAll")->trigger();
        QRgb afterClick = 0;
        int dragged = -1;
        frameOptions([&](TDelayForm& d) {
            QWidget* r = d.rectangle();
            sendMouse(r, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
            sendMouse(r, QEvent::MouseButtonRelease, {5, 5}, Qt::LeftButton);
            afterClick = background(d.leftEdit());
            sendMouse(r, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
            sendMouse(r, QEvent::MouseMove, {60, 5}, Qt::LeftButton);
            sendMouse(r, QEvent::MouseMove, {5 + 300, 5}, Qt::LeftButton);
            sendMouse(r, QEvent::MouseButtonRelease, {5, 5}, Qt::LeftButton);
            dragged = d.leftEdit()->value();
            if (r->x() != dragged + d.margin())
                dragged = -2;
            return true;
        });
        QCOMPARE(afterClick, kUnmarkedField);
        QCOMPARE(dragged, 90);
        for (const FrameRecord& f : form.project().frames) {
            QCOMPARE(f.Left, 90);
            QCOMPARE(f.Top, 0);
        }
    }

    void scaleBoxDisablesPositionAndCentresThePreview()
    {
        window(2);
        act(*form_, "ActionSelectAll")->trigger();
        frameOptions([](TDelayForm& d) {
            QTest::mouseClick(d.scaleBox(), Qt::LeftButton);
            [&] {
                QVERIFY(d.scaleBox()->isChecked());
                for (QWidget* w :
                     std::initializer_list<QWidget*>{d.leftEdit(), d.topEdit(), d.widthEdit(), d.heightEdit(),
                                                     d.centerButton(), d.fillButton()})
                    QVERIFY(!w->isEnabled());
                QCOMPARE(d.widthEdit()->value(), 100);
                QCOMPARE(background(d.widthEdit()), kUnmarkedField);
                QCOMPARE(background(d.scaleBox()), d.palette().color(QPalette::Button).rgb() & 0xFFFFFF);
                const QImage& pv = d.previewImage();
                QCOMPARE(pv.size(), QSize(100, 100));
                QCOMPARE(pv.pixel(45, 45) & 0xFFFFFF, 0xFF0000u);
                QCOMPARE(pv.pixel(44, 44) & 0xFFFFFF, 0xFFFFFFu);
            }();
            return false;
        });
        QVERIFY(!QTest::currentTestFailed());
    }

    // A project file may name a canvas no picture can hold: the dialog shows
    // an empty rectangle and applying it leaves the frame's image with a log line.
    void canvasTooLargeForAPicture()
    {
        TAVIForm& form = window(1);
        form.project().settings.Width = 100000;
        form.project().settings.Height = 100000;
        bool empty = false;
        frameOptions([&](TDelayForm& d) {
            QTest::mouseClick(d.scaleBox(), Qt::LeftButton);
            empty = d.previewImage().isNull();
            QTest::mouseClick(d.scaleBox(), Qt::LeftButton);
            d.fillButton()->click();
            return true;
        });
        QVERIFY(empty);
        const FrameRecord& f = form.project().frames[0];
        QCOMPARE(f.Width, 100000);
        QCOMPARE(frameImage(form.project(), 0).status, SourceStatus::TooLarge);  // nothing to show
        QVERIFY(!form.project().log.empty());
        QCOMPARE(dialogs_->errors, QStringList());
    }

    void cardOptionsPictureSelectsThatFrameAlone()
    {
        TAVIForm& form = window(3);
        form.project().frames[0].Left = 50;
        act(form, "ActionSelectAll")->trigger();
        QString caption;
        QRgb backdrop = 0;
        dialogs_->frameOptionsScript = [&](TDelayForm& d) {
            caption = d.windowTitle();
            // frame 1, moved to Left 50, lies under frame 2 on a white canvas
            const QImage panel = d.previewPanel()->grab().toImage();
            const int m = d.margin();
            backdrop = (panel.pixel(m + 55, m + 5) & 0xFFFFFF) | (panel.pixel(m + 30, m + 30) & 0xFF) << 24;
            return false;
        };
        sendMouse(form.frameCards(), QEvent::MouseButtonRelease, FrameStrip::optionsPictureRect(1).center(),
                  Qt::LeftButton);
        QCOMPARE(caption, QString("Frame 2"));
        QCOMPARE(backdrop, 0xFFFF0000u);
        QCOMPARE(form.project().selection.indices(), std::vector<int>{1});
    }

    void enterInAFieldMovesToOk()
    {
        window(1);
        bool okFocused = false, stillOpen = false;
        frameOptions([&](TDelayForm& d) {
            d.timeEdit()->setFocus();
            QTest::keyClick(d.timeEdit(), Qt::Key_Return);
            okFocused = d.focusWidget() == d.okButton();
            stillOpen = d.isVisible();
            return false;
        });
        QVERIFY(stillOpen);
        QVERIFY(okFocused);
    }
};

QTEST_MAIN(FrameOptionsTest)
#include "frame_options_test.moc"
