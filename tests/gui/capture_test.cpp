// Screen capture through the real window, dialog and bar on a private X
// display (Xvfb) that shows a known picture: the settings dialog's sums and
// drag, Cancel, manual and automatic capture, the files written into the work
// folder (checked with ffprobe and ffmpeg) and the cursor at its hot spot.
// Without Xvfb the test says so and passes.

#include <sys/wait.h>
#include <unistd.h>
#include <QCheckBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <csignal>
#include <cstdio>
#include <fstream>

#include "engine/gif/gif_image.h"
#include "gui/capture/capture_command.h"
#include "gui/capture/capture_dialogs.h"
#include "gui/capture/capture_form.h"
#include "gui/capture/capture_preview.h"
#include "gui/capture/handle_capture_form.h"
#include "gui/output/codec_window.h"
#include "gui_fixtures.h"
#include "platform/x11_screen_grabber.h"

using namespace pelko;
using namespace pelko::test;

namespace {

constexpr int kScreenWidth = 1024, kScreenHeight = 768;

// The known picture: every pixel a colour of its place.
QRgb fixtureAt(int x, int y)
{
    return qRgb(x & 255, y & 255, ((x >> 8) * 50 + (y >> 8) * 20) & 255);
}

QImage fixtureImage()
{
    QImage image(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) image.setPixel(x, y, fixtureAt(x, y));
    return image;
}

// A private X server for the whole run.
struct Xvfb {
    pid_t pid = -1;
    QString display;

    bool start()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return false;
        pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            const std::string screen =
                std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24";
            std::freopen("/dev/null", "w", stderr);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
                     "tcp", "-noreset", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        // the number and a newline, once the server is ready (closing the
        // pipe before the newline would end the server)
        std::string number;
        char c = 0;
        while (pid > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(fds[0]);
        if (number.empty())
            return false;
        display = ":" + QString::fromStdString(number);
        return true;
    }
    ~Xvfb()
    {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    }
};

// Answers the capture's dialogs by script and keeps the messages.
struct FakeCaptureDialogs : CaptureDialogs {
    std::function<bool(TFormCapture&)> settings;  // unset: Cancel
    std::function<bool(CodecWindow&)> codec = [](CodecWindow& w) { return w.selectCodec("DIB "); };
    QStringList messages;
    bool captureSettings(TFormCapture& form) override { return settings && settings(form); }
    bool codecWindow(CodecWindow& window) override { return codec && codec(window); }
    void message(QWidget*, const QString& caption, const QString& text) override
    {
        messages << caption + ": " + text;
    }
};

std::string run(const QString& command)
{
    std::string out;
    if (std::FILE* p = ::popen(command.toLocal8Bit().constData(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

std::vector<std::uint8_t> readAll(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

class CaptureTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir_;
    std::shared_ptr<FakeDialogs> windowDialogs_;
    std::shared_ptr<FakeCaptureDialogs> dialogs_;
    std::unique_ptr<TAVIForm> form_;
    std::unique_ptr<QLabel> fixture_;

    CaptureCommand& capture() { return *captureCommand(*form_); }
    TFormHandleCapture& bar() { return *capture().bar(); }
    QString work(const QString& name) const { return dir_->filePath("program/Work/" + name); }

    // Runs Tool > Capture with the dialog answered by script.
    void startCapture(std::function<bool(TFormCapture&)> script)
    {
        dialogs_->settings = std::move(script);
        act(*form_, "ActionCapture")->trigger();
    }

    // A script for "OK" in manual or automatic mode with the area at
    // (left, top) of width x height screen pixels.
    static std::function<bool(TFormCapture&)> chosen(QRect area, bool autoMode, int maxFrames = 10,
                                                     bool gif = false, bool cursor = false)
    {
        return [=](TFormCapture& f) {
            f.autoBox()->setChecked(autoMode);
            f.maxFramesEdit()->setValue(maxFrames);
            f.leftEdit()->setValue(area.left());
            f.topEdit()->setValue(area.top());
            f.widthEdit()->setValue(area.width());
            f.heightEdit()->setValue(area.height());
            f.cursorBox()->setChecked(cursor);
            f.durationEdit()->setValue(250);
            (gif ? f.gifButton() : f.aviButton())->setChecked(true);
            return true;
        };
    }

    // The fixture's pixels (with nothing drawn in) of the capture's area.
    QImage expected() const
    {
        const Rect a = captureCommand(*form_)->screenArea();
        return fixtureImage().copy(a.left, a.top, a.width, a.height).convertToFormat(QImage::Format_RGB888);
    }

private slots:
    void initTestCase()
    {
        fixture_ = std::make_unique<QLabel>();
        fixture_->setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint);
        fixture_->setPixmap(QPixmap::fromImage(fixtureImage()));
        fixture_->setGeometry(0, 0, kScreenWidth, kScreenHeight);
        fixture_->show();
        QVERIFY(QTest::qWaitForWindowExposed(fixture_.get()));
        QTest::qWait(200);
    }

    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        windowDialogs_ = std::make_shared<FakeDialogs>();
        form_ = std::make_unique<TAVIForm>(testStartOptions(dir_->filePath("settings.ini"), windowDialogs_));
        form_->show();
        QCoreApplication::processEvents();
        QDir(dir_->path()).mkdir("program");
        generatedState(*form_).programFolder = dir_->filePath("program");
        generateState(*form_).output.ShowCodecWindow = true;
        dialogs_ = std::make_shared<FakeCaptureDialogs>();
        capture().setDialogs(dialogs_);
    }

    void cleanup()
    {
        if (capture().bar()->isVisible())
            capture().bar()->close();
        form_.reset();
    }

    void settingsShowTheStoredAreaInScreenPixels()
    {
        QVERIFY(act(*form_, "ActionCapture")->isVisible());
        bool asked = false;
        startCapture([&](TFormCapture& f) {
            asked = true;
            [&] {
                QVERIFY(!form_->isVisible());  // hidden under the settings
                QCOMPARE(f.windowTitle(), QString("Settings for capture"));
                QCOMPARE(f.preview()->size(), QSize(506, 381));
                QCOMPARE(f.leftEdit()->value(), 40);
                QCOMPARE(f.topEdit()->value(), 40);
                QCOMPARE(f.widthEdit()->value(), 202);
                QCOMPARE(f.heightEdit()->value(), 201);
                QCOMPARE(f.leftEdit()->maximum(), 1024);
                QCOMPARE(f.heightEdit()->maximum(), 768);
                QCOMPARE(f.preview()->area(), QRect(20, 20, 100, 100));
                // the reduced screen is the fixture's
                const QImage shown = f.preview()->screen().convertToFormat(QImage::Format_RGB32);
                QCOMPARE(shown.size(), QSize(506, 381));
                const QRgb mid = shown.pixel(300, 100);  // away from the pattern's wrap-arounds
                const QRgb want = fixtureAt(int(300 * 1024 / 506.0), int(100 * 768 / 381.0));
                QVERIFY(std::abs(qRed(mid) - qRed(want)) < 12 && std::abs(qGreen(mid) - qGreen(want)) < 12);
                QVERIFY(f.periodEdit()->isEnabled());
                f.autoBox()->click();
                QVERIFY(!f.periodEdit()->isEnabled());
                QVERIFY(!f.maxFramesEdit()->isEnabled());
            }();
            return false;
        });
        QVERIFY(asked);
        QVERIFY(form_->isVisible());  // Cancel: the window is back
        QVERIFY(!bar().isVisible());
    }

    void dragStopsAtTheEdgesAxisByAxis()
    {
        startCapture([&](TFormCapture& f) {
            [&] {
                CapturePreview* p = f.preview();
                sendMouse(p, QEvent::MouseButtonPress, {70, 70}, Qt::LeftButton);
                QVERIFY(p->dragging());
                QCOMPARE(p->cursor().shape(), Qt::SizeAllCursor);
                // far past the right edge, and 30 down: x stops at the edge, y moves
                sendMouse(p, QEvent::MouseMove, {900, 100}, Qt::LeftButton);
                QCOMPARE(p->area(), QRect(406, 50, 100, 100));
                QCOMPARE(f.leftEdit()->value(), int(406 * (1024.0f / 506)));
                QCOMPARE(f.topEdit()->value(), int(50 * (768.0f / 381)));
                // up past the top, and left: y stops, x moves
                sendMouse(p, QEvent::MouseMove, {400, -500}, Qt::LeftButton);
                QCOMPARE(p->area(), QRect(350, 0, 100, 100));
                sendMouse(p, QEvent::MouseButtonRelease, {400, -500}, Qt::LeftButton);
                QVERIFY(!p->dragging());
                // the spin edits move the rectangle back
                f.leftEdit()->setValue(40);
                QCOMPARE(p->area().left(), 20);
            }();
            return true;
        });
        QCOMPARE(capture().settings().area.left, 20);
        QCOMPARE(capture().settings().area.top, 0);
        QCOMPARE(capture().settings().area.width, 100);
        QVERIFY(bar().isVisible());
    }

    void cancelKeepsEverySetting()
    {
        CaptureSettings before = capture().settings();
        startCapture([&](TFormCapture& f) {
            f.autoBox()->setChecked(false);
            f.cursorBox()->setChecked(false);
            f.nameEdit()->setText("Other");
            f.durationEdit()->setValue(50);
            f.gifButton()->setChecked(true);
            f.leftEdit()->setValue(500);
            return false;
        });
        const CaptureSettings& after = capture().settings();
        QCOMPARE(after.autoMode, before.autoMode);
        QCOMPARE(after.withCursor, before.withCursor);
        QCOMPARE(after.name, before.name);
        QCOMPARE(after.durationMs, before.durationMs);
        QVERIFY(after.format == before.format);
        QCOMPARE(after.area.left, before.area.left);
        QVERIFY(form_->isVisible());
        // with "Auto" off the period and frame count keep their stored values
        startCapture([&](TFormCapture& f) {
            f.autoBox()->setChecked(false);
            f.periodEdit()->setValue(5000);
            f.maxFramesEdit()->setValue(3);
            return true;
        });
        QCOMPARE(capture().settings().periodMs, 1000);
        QCOMPARE(capture().settings().maxFrames, 10);
    }

    void manualThreeClicksMakeAThreeFrameAvi()
    {
        startCapture(chosen(QRect(300, 200, 202, 120), false));
        QVERIFY(!form_->isVisible());
        QVERIFY(bar().isVisible());
        QCOMPARE(bar().windowTitle(), QString("Capture"));
        QCOMPARE(bar().counter()->text(), QString(" 0 frame"));
        QVERIFY(!bar().finishButton()->isEnabled());  // nothing grabbed yet
        QVERIFY(!bar().pauseButton()->isVisible());
        QCOMPARE(bar().finishButton()->toolTip(), QString("Finish capture, create AVI and exit"));
        for (int i = 0; i < 3; ++i) bar().captureButton()->click();
        QCOMPARE(bar().counter()->text(), QString(" 3 frames"));
        QVERIFY(bar().finishButton()->isEnabled());
        bar().finishButton()->click();

        const QString path = work("Capture.avi");
        QCOMPARE(dialogs_->messages, QStringList{"Information: It was created the next file: " + path});
        QVERIFY(!bar().isVisible());
        QVERIFY(form_->isVisible());
        QCOMPARE(capture().pictures().count(), 0);
        const std::string probe =
            run("ffprobe -v error -count_frames -show_entries stream=r_frame_rate,"
                "nb_read_frames,width,height -of csv=p=0 '" +
                path + "'");
        const Rect a = capture().screenArea();
        QCOMPARE(QString::fromStdString(probe).trimmed(), QString("%1,%2,4/1,3").arg(a.width).arg(a.height));
        const QString raw = dir_->filePath("frames.bgr");
        run("ffmpeg -v error -i '" + path + "' -f rawvideo -pix_fmt rgb24 '" + raw + "'");
        const std::vector<std::uint8_t> bytes = readAll(raw);
        const QImage want = expected();
        const std::size_t frame = std::size_t(want.width()) * want.height() * 3;
        QCOMPARE(bytes.size(), 3 * frame);
        for (int k = 0; k < 3; ++k)
            for (int y = 0; y < want.height(); ++y)
                QVERIFY(std::equal(
                    want.constScanLine(y), want.constScanLine(y) + want.width() * 3,
                    bytes.begin() + std::ptrdiff_t(k * frame + std::size_t(y) * want.width() * 3)));

        // a second capture of the same name: Capture1, the first untouched
        const std::vector<std::uint8_t> first = readAll(path);
        dialogs_->messages.clear();
        startCapture(chosen(QRect(300, 200, 202, 120), false));
        bar().captureButton()->click();
        bar().finishButton()->click();
        QCOMPARE(dialogs_->messages,
                 QStringList{"Information: It was created the next file: " + work("Capture1.avi")});
        QVERIFY(readAll(path) == first);
    }

    void automaticWithOneFrameStopsOnTheFirstTick()
    {
        startCapture(chosen(QRect(400, 300, 64, 48), true, 1, true));
        QVERIFY(bar().pauseButton()->isVisible());
        QCOMPARE(bar().finishButton()->toolTip(), QString("Finish capture, create GIF and exit"));
        bar().captureButton()->click();
        QCOMPARE(bar().windowTitle(), QString("Capture: start"));
        QVERIFY(bar().captureTimer().isActive());
        QCOMPARE(bar().captureTimer().interval(), 1000);
        QVERIFY(!bar().captureButton()->isEnabled());
        QVERIFY(bar().pauseButton()->isEnabled());
        // the timer's own tick, after its period
        QTRY_COMPARE_WITH_TIMEOUT(bar().windowTitle(), QString("Capture: finish"), 3000);
        QVERIFY(!bar().captureTimer().isActive());
        QCOMPARE(capture().pictures().count(), 1);
        QVERIFY(bar().captureButton()->isEnabled());
        QVERIFY(!bar().pauseButton()->isEnabled());
        bar().finishButton()->click();
        const QString path = work("Capture.gif");
        QCOMPARE(dialogs_->messages, QStringList{"Information: It was created the next file: " + path});
        TGIFImage gif;
        gif.LoadFromFile(path.toStdString());
        QCOMPARE(gif.Images().GetCount(), 1);
        QCOMPARE(int(gif.GetWidth()), 64);
    }

    void cursorIsDrawnWithItsHotSpotOnTheMouse()
    {
        startCapture(chosen(QRect(500, 400, 80, 80), false, 10, false, true));
        const Rect a = capture().screenArea();
        QCursor::setPos(a.left + 30, a.top + 25);
        QTRY_COMPARE(QCursor::pos(), QPoint(a.left + 30, a.top + 25));
        X11ScreenGrabber grabber;
        const std::optional<CursorImage> cursor = grabber.cursor();
        QVERIFY(cursor && !cursor->picture.empty());
        QCOMPARE(cursor->x, a.left + 30);
        QCOMPARE(cursor->y, a.top + 25);
        bar().captureButton()->click();
        const Picture got = capture().pictures().at(0);
        const QImage plain = expected();
        int opaque = 0;
        for (int j = 0; j < cursor->picture.height(); ++j)
            for (int i = 0; i < cursor->picture.width(); ++i) {
                const int x = 30 - cursor->hotX + i, y = 25 - cursor->hotY + j;
                if (x < 0 || y < 0 || x >= got.width() || y >= got.height())
                    continue;
                const std::uint8_t alpha = cursor->alpha[std::size_t(j * cursor->picture.width() + i)];
                const QRgb p = plain.pixel(x, y);
                if (alpha == 255) {
                    QCOMPARE(got.pixel(x, y), cursor->picture.pixel(i, j));
                    ++opaque;
                } else if (alpha == 0) {
                    QCOMPARE(got.pixel(x, y), rgb(qRed(p), qGreen(p), qBlue(p)));
                }
            }
        QVERIFY(opaque > 0);
        // far from the mouse the picture is the screen
        const QRgb corner = plain.pixel(79, 79);
        QCOMPARE(got.pixel(79, 79), rgb(qRed(corner), qGreen(corner), qBlue(corner)));
    }

    void closingTheBarDropsThePictures()
    {
        startCapture(chosen(QRect(300, 300, 50, 50), false));
        bar().captureButton()->click();
        QCOMPARE(capture().pictures().count(), 1);
        bar().close();
        QVERIFY(form_->isVisible());
        QCOMPARE(capture().pictures().count(), 0);
        QVERIFY(!QFile::exists(work("Capture.avi")));
        QVERIFY(dialogs_->messages.isEmpty());
    }

    void noWorkFolderKeepsTheBarAndItsPictures()
    {
        startCapture(chosen(QRect(300, 300, 50, 50), false));
        bar().captureButton()->click();
        std::ofstream(dir_->filePath("file").toStdString()) << "not a folder";
        generatedState(*form_).programFolder = dir_->filePath("gone");
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir_->filePath("file").toUtf8());
        bar().finishButton()->click();
        qputenv("XDG_DATA_HOME", saved);
        QCOMPARE(windowDialogs_->errors,
                 QStringList{"One cannot create " + dir_->filePath("gone") + "/ Work directory."});
        QVERIFY(bar().isVisible());
        QCOMPARE(capture().pictures().count(), 1);
        QVERIFY(bar().captureButton()->isEnabled());
    }

    void refusedGrabsAreExplainedBeforeTheSettings()
    {
        // where the desktop says no, the window says why and comes back
        capture().setGrabberFactory([]() -> std::unique_ptr<ScreenGrabber> {
            throw ScreenGrabError(screenCaptureUnavailableReason("wayland"));
        });
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        qputenv("WAYLAND_DISPLAY", "wayland-0");
        bool asked = false;
        startCapture([&](TFormCapture&) { return asked = true; });
        qputenv("DISPLAY", display);
        qunsetenv("WAYLAND_DISPLAY");
        QVERIFY(!asked);
        QCOMPARE(dialogs_->messages.size(), 1);
        QVERIFY(
            dialogs_->messages[0].startsWith("Error: Screen capture needs an X11 display: this is a Wayland "
                                             "session without an X server"));
        QVERIFY(form_->isVisible());
        QVERIFY(!bar().isVisible());
        QVERIFY(screenCaptureUnavailableReason("xcb").empty());
    }

    // "Record": the bar counts time, pictures and misses, pauses and
    // resumes; the GIF's delays add up to the recorded time and its frames
    // go into the project when asked.
    void recordingPausesAndWritesItsTimesIntoTheProject()
    {
        startCapture([](TFormCapture& f) {
            f.recordBox()->setChecked(true);
            f.fpsEdit()->setValue(20);
            f.leftEdit()->setValue(100);
            f.topEdit()->setValue(100);
            f.widthEdit()->setValue(64);
            f.heightEdit()->setValue(48);
            f.gifButton()->setChecked(true);
            f.addToProjectBox()->setChecked(true);
            return true;
        });
        QVERIFY(capture().settings().recordMode);
        QVERIFY(bar().pauseButton()->isVisible());
        QVERIFY(!bar().pauseButton()->isEnabled());
        QVERIFY(!bar().finishButton()->isEnabled());
        QCOMPARE(bar().counter()->text(), QString(" 0:00.0, 0 frames, 0 missed"));
        QElapsedTimer wall;
        wall.start();
        bar().captureButton()->click();
        QCOMPARE(bar().windowTitle(), QString("Capture: recording"));
        QVERIFY(!bar().captureButton()->isEnabled());
        QTest::qWait(400);  // the window answers meanwhile: the grabs are elsewhere
        bar().pauseButton()->click();
        QCOMPARE(bar().windowTitle(), QString("Capture: paused"));
        QCOMPARE(bar().pauseButton()->toolTip(), QString("Resume"));
        QTest::qWait(300);
        bar().pauseButton()->click();
        QTest::qWait(300);
        bar().showStatus();
        QVERIFY(bar().finishButton()->isEnabled());
        QVERIFY(
            bar().counter()->text().contains(QRegularExpression(R"(^ 0:0\d\.\d, \d+ frames, \d+ missed$)")));
        const int before = form_->project().frames.count();
        bar().finishButton()->click();
        const qint64 wallMs = wall.elapsed();
        const RecordingStatus recorded = bar().recordingState().status();
        const QString path = work("Capture.gif");
        QCOMPARE(dialogs_->messages, QStringList{"Information: It was created the next file: " + path});
        TGIFImage gif;
        gif.LoadFromFile(path.toStdString());
        const int frames = gif.Images().GetCount();
        QCOMPARE(frames, recorded.frames);
        QVERIFY2(frames >= 8, qPrintable(QString::number(frames)));
        int hundredths = 0;
        for (int i = 0; i < frames; ++i)
            hundredths += gif.Images().GetImage(i)->GraphicControlExtension()->GetDelay();
        // the delays add up to the time recorded, which leaves the pause out
        QVERIFY2(std::abs(hundredths * 10 - recorded.elapsedMs) <= 30,
                 qPrintable(QString("%1 cs for %2 ms").arg(hundredths).arg(recorded.elapsedMs)));
        QVERIFY(recorded.elapsedMs >= 700);
        QVERIFY(recorded.elapsedMs <= wallMs - 300);
        QCOMPARE(form_->project().frames.count(), before + frames);
    }

    // A desktop that stops giving pictures mid-recording: the bar says why
    // and the pictures grabbed so far are still written.
    void recordingThatEndsByItselfKeepsItsPictures()
    {
        struct Ending : ScreenGrabber {
            int grabs = 0;
            DesktopSize desktopSize() override { return {kScreenWidth, kScreenHeight}; }
            Picture grab(int, int, int w, int h) override
            {
                if (++grabs > 6)  // the settings dialog's picture, then five
                    throw ScreenGrabError("The shared screen's stream has ended.");
                Picture p(w, h);
                p.fill(rgb(10, 20, 30));
                return p;
            }
            std::optional<CursorImage> cursor() override { return std::nullopt; }
        };
        capture().setGrabberFactory([] { return std::make_unique<Ending>(); });
        startCapture([](TFormCapture& f) {
            f.recordBox()->setChecked(true);
            f.fpsEdit()->setValue(30);
            f.aviButton()->setChecked(true);
            return true;
        });
        bar().captureButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(dialogs_->messages,
                                  QStringList{"Error: The shared screen's stream has ended."}, 3000);
        QCOMPARE(bar().windowTitle(), QString("Capture: finish"));
        QVERIFY(!bar().pauseButton()->isEnabled());
        QVERIFY(bar().finishButton()->isEnabled());
        QCOMPARE(capture().pictures().count(), 5);
        dialogs_->messages.clear();
        bar().finishButton()->click();
        QCOMPARE(dialogs_->messages,
                 QStringList{"Information: It was created the next file: " + work("Capture.avi")});
    }

    void cancelledCodecWindowKeepsThePictures()
    {
        startCapture(chosen(QRect(300, 300, 50, 50), false));
        bar().captureButton()->click();
        dialogs_->codec = nullptr;
        bar().finishButton()->click();
        QCOMPARE(dialogs_->messages, QStringList{"Error: AVIERR_USERABORT"});
        QVERIFY(bar().isVisible());
        QCOMPARE(capture().pictures().count(), 1);
        QVERIFY(!QDir(work("")).exists() || QDir(work("")).isEmpty());
    }
};

int main(int argc, char** argv)
{
    Xvfb x;
    if (!x.start()) {
        std::puts("SKIP: Xvfb is not installed or did not start: the capture tests need an X display");
        return 0;
    }
    qputenv("DISPLAY", x.display.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    CaptureTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "capture_test.moc"
