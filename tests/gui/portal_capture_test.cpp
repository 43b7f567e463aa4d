// Screen capture through the desktop portal against a real D-Bus session bus
// and a real PipeWire server (with its session manager), both private to
// the test: a stand-in portal answers the ScreenCast calls and shares a
// PipeWire video source whose frames carry a known moving pattern. The
// grabber's calls, the pattern cut out of the shared monitor, the
// remembered permission, cancel, refusal, a missing portal, a stream that
// ends mid-recording, and the capture command choosing the portal.
// Without the services the test says so and passes.

#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <chrono>
#include <thread>

#include "engine/capture/recorder.h"
#include "engine/capture/write_capture.h"
#include "engine/gif/gif_image.h"
#include "gui/capture/capture_command.h"
#include "gui/capture/capture_dialogs.h"
#include "gui/capture/capture_form.h"
#include "gui/capture/capture_preview.h"
#include "gui/capture/handle_capture_form.h"
#include "gui_fixtures.h"
#include "platform/portal_screen_grabber.h"

using namespace pelko;
using namespace pelko::test;

namespace {

constexpr int kWidth = 320, kHeight = 240;
const char* const kPython = "/usr/bin/python3";

// The source's pattern: blue 128, green the row, red (column + 4n) for
// frame n. The red offset of a grab at (left, top), or -1 when the picture
// is not one whole frame of the pattern.
int patternOffset(const Picture& p, int left, int top)
{
    const int offset = int(p.pixel(0, 0) & 0xFF) - left;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const Color c = p.pixel(x, y);
            if (((c >> 16) & 0xFF) != 128 || ((c >> 8) & 0xFF) != std::uint32_t((top + y) & 255) ||
                (c & 0xFF) != std::uint32_t((left + x + offset) & 255))
                return -1;
        }
    return (offset + 256) & 255;
}

struct Services {
    QTemporaryDir dir;
    QProcess bus, pipewire, session, source, portal;
    QString node;
    QString why;  // why the services are missing

    QString runtime() const { return dir.filePath("run"); }
    QString log() const { return dir.filePath("portal.log"); }

    QProcessEnvironment env() const
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("XDG_RUNTIME_DIR", runtime());
        e.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime() + "/bus");
        e.insert("PIPEWIRE_RUNTIME_DIR", runtime());
        return e;
    }

    bool startProcess(QProcess& p, const QString& program, const QStringList& args)
    {
        p.setProcessEnvironment(env());
        p.setProcessChannelMode(QProcess::SeparateChannels);
        p.start(program, args);
        return p.waitForStarted(5000);
    }

    static void stopProcess(QProcess& p)
    {
        if (p.state() == QProcess::NotRunning)
            return;
        p.terminate();
        if (!p.waitForFinished(3000)) {
            p.kill();
            p.waitForFinished(3000);
        }
    }

    bool start()
    {
        for (const char* tool : {"dbus-daemon", "pipewire", "wireplumber"})
            if (QStandardPaths::findExecutable(tool).isEmpty()) {
                why = QString(tool) + " is not installed";
                return false;
            }
        if (QProcess::execute(kPython, {"-c", "import dbus, gi"}) != 0) {
            why = "python3-dbus or python3-gi is not installed";
            return false;
        }
        QDir().mkpath(runtime());
        QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!startProcess(bus, "dbus-daemon",
                          {"--session", "--nofork", "--address=unix:path=" + runtime() + "/bus"}) ||
            !startProcess(pipewire, "pipewire", {})) {
            why = "the bus or PipeWire did not start";
            return false;
        }
        for (int i = 0;
             i < 100 && !(QFile::exists(runtime() + "/pipewire-0") && QFile::exists(runtime() + "/bus")); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!startProcess(session, "wireplumber", {})) {
            why = "wireplumber did not start";
            return false;
        }
        return startSource();
    }

    bool startSource()
    {
        if (!startProcess(source, PELKO_SCREEN_SOURCE,
                          {QString::number(kWidth), QString::number(kHeight), "30"}) ||
            !source.waitForReadyRead(10000)) {
            why = "the PipeWire video source did not start: " + source.readAllStandardError();
            return false;
        }
        node = QString::fromUtf8(source.readLine()).trimmed();
        return !node.isEmpty();
    }

    // The stand-in portal in a mode: "ok", "cancel", "refuse".
    bool startPortal(const QString& mode = "ok")
    {
        stopProcess(portal);
        QFile::remove(log());
        if (!startProcess(portal, kPython, {PELKO_STANDIN_PORTAL, node, log(), mode}) ||
            !portal.waitForReadyRead(10000))
            return false;
        return portal.readLine().trimmed() == "ready";
    }

    // The options of each call of the last portal run, in order.
    QList<QPair<QString, QJsonObject>> calls() const
    {
        QList<QPair<QString, QJsonObject>> out;
        QFile f(log());
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray& line : f.readAll().split('\n'))
                if (!line.isEmpty()) {
                    const QJsonObject o = QJsonDocument::fromJson(line).object();
                    out.append({o["method"].toString(), o["options"].toObject()});
                }
        return out;
    }

    void stopAll()
    {
        for (QProcess* p : {&portal, &source, &session, &pipewire, &bus}) stopProcess(*p);
    }
    ~Services() { stopAll(); }
};

Services* services = nullptr;

std::string grabError(const PortalOptions& options)
{
    try {
        PortalScreenGrabber grabber(options);
    } catch (const ScreenGrabError& e) {
        return e.what();
    }
    return "no error";
}

struct FakeCaptureDialogs : CaptureDialogs {
    std::function<bool(TFormCapture&)> settings;
    QStringList messages;
    bool captureSettings(TFormCapture& form) override { return settings && settings(form); }
    bool codecWindow(CodecWindow&) override { return false; }
    void message(QWidget*, const QString& caption, const QString& text) override
    {
        messages << caption + ": " + text;
    }
};

}  // namespace

class PortalCaptureTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(services->startPortal()); }

    void grabsTheAreaOfTheSharedMonitorAndRemembersThePermission()
    {
        PortalOptions options;
        options.withCursor = true;
        std::string token;
        {
            PortalScreenGrabber grabber(options);
            QCOMPARE(grabber.desktopSize().width, kWidth);
            QCOMPARE(grabber.desktopSize().height, kHeight);
            QVERIFY(!grabber.cursor());  // drawn in by the desktop
            const Picture first = grabber.grab(30, 40, 100, 60);
            const int a = patternOffset(first, 30, 40);
            QVERIFY2(a >= 0, "the grab is not one whole frame of the shared monitor");
            QTest::qWait(200);
            const int b = patternOffset(grabber.grab(30, 40, 100, 60), 30, 40);
            QVERIFY(b >= 0);
            QVERIFY2(a != b, "the shared monitor does not move");
            // past the monitor's edge: black
            const Picture edge = grabber.grab(kWidth - 10, kHeight - 10, 20, 20);
            QCOMPARE(edge.pixel(15, 15), Color(0));
            QVERIFY(patternOffset(grabber.grab(kWidth - 10, kHeight - 10, 10, 10), kWidth - 10,
                                  kHeight - 10) >= 0);
            token = grabber.restoreToken();
        }
        QCOMPARE(QString::fromStdString(token), QString("token-1"));
        auto calls = services->calls();
        QStringList order;
        for (const auto& c : calls) order << c.first;
        QCOMPARE(order, (QStringList{"CreateSession", "SelectSources", "Start", "OpenPipeWireRemote"}));
        const QJsonObject select = calls[1].second;
        QCOMPARE(select["types"].toInt(), 1);         // a monitor
        QCOMPARE(select["cursor_mode"].toInt(), 2);   // embedded
        QCOMPARE(select["persist_mode"].toInt(), 2);  // kept until taken back
        QVERIFY(!select.contains("restore_token"));

        // the next session hands the token back; without the cursor, hidden
        options.withCursor = false;
        options.restoreToken = token;
        {
            PortalScreenGrabber again(options);
        }
        calls = services->calls();
        QCOMPARE(calls[5].second["restore_token"].toString(), QString("token-1"));
        QCOMPARE(calls[5].second["cursor_mode"].toInt(), 1);
    }

    void cancelRefusalAndMissingPortalSayWhy()
    {
        QVERIFY(services->startPortal("cancel"));
        QCOMPARE(grabError({}), std::string("Screen capture was cancelled in the desktop's dialog."));
        QVERIFY(services->startPortal("refuse"));
        QCOMPARE(grabError({}), std::string("The desktop refused to share the screen."));
        Services::stopProcess(services->portal);
        QTest::qWait(100);
        const std::string missing = grabError({});
        QVERIFY2(missing.rfind("Screen capture needs the desktop portal's screen sharing "
                               "(org.freedesktop.portal.ScreenCast), and this desktop has none: ",
                               0) == 0,
                 missing.c_str());
    }

    // The capture command on a Wayland session: the settings dialog shows
    // the shared monitor, a recording goes into the GIF, and the permission
    // is kept in the settings.
    void captureCommandRecordsThroughThePortal()
    {
        QTemporaryDir dir;
        auto windowDialogs = std::make_shared<FakeDialogs>();
        auto form = std::make_unique<TAVIForm>(testStartOptions(dir.filePath("settings.ini"), windowDialogs));
        form->show();
        QDir(dir.path()).mkdir("program");
        generatedState(*form).programFolder = dir.filePath("program");
        auto dialogs = std::make_shared<FakeCaptureDialogs>();
        CaptureCommand& capture = *captureCommand(*form);
        capture.setDialogs(dialogs);
        qputenv("XDG_SESSION_TYPE", "wayland");
        bool shown = false;
        dialogs->settings = [&](TFormCapture& f) {
            shown = !f.preview()->screen().isNull();
            f.widthEdit()->setValue(100);
            f.heightEdit()->setValue(60);
            f.recordBox()->setChecked(true);
            f.fpsEdit()->setValue(25);
            f.gifButton()->setChecked(true);
            return true;
        };
        act(*form, "ActionCapture")->trigger();
        qunsetenv("XDG_SESSION_TYPE");
        QVERIFY2(dialogs->messages.isEmpty(), qPrintable(dialogs->messages.join("; ")));
        QVERIFY(shown);
        QCOMPARE(capture.scale().sx, float(kWidth) / float(CapturePreview::kWidth));
        capture.bar()->captureButton()->click();
        QTest::qWait(600);
        capture.bar()->showStatus();
        capture.bar()->finishButton()->click();
        const QString path = dir.filePath("program/Work/Capture.gif");
        QCOMPARE(dialogs->messages, QStringList{"Information: It was created the next file: " + path});
        TGIFImage gif;
        gif.LoadFromFile(path.toStdString());
        QVERIFY(gif.Images().GetCount() >= 8);
        QCOMPARE(int(gif.GetWidth()), capture.screenArea().width);
        QCOMPARE(
            QString::fromStdString(form->settingsStore().readText("CapturePortalRestoreToken").value_or("")),
            QString("token-1"));
    }

    // Last: the shared monitor's stream ends mid-recording (the source
    // goes); the recording stops with a message and what was grabbed is
    // written.
    void streamThatEndsKeepsThePicturesGrabbed()
    {
        PortalScreenGrabber grabber({});
        CapturedPictures pictures;
        Recorder recorder(grabber, pictures, {0, 0, 64, 48}, false, 30);
        recorder.start();
        QTest::qWait(400);
        Services::stopProcess(services->source);
        for (int i = 0; i < 100 && recorder.status().running; ++i) QTest::qWait(50);
        const RecordingStatus status = recorder.status();
        QVERIFY(!status.running);
        QCOMPARE(QString::fromStdString(status.error), QString("The shared screen's stream has ended."));
        recorder.stop();
        QVERIFY(pictures.count() >= 5);
        for (int i = 0; i < pictures.count(); ++i) QVERIFY(patternOffset(pictures.at(i), 0, 0) >= 0);
        QTemporaryDir dir;
        QVERIFY(writeCaptureGif(pictures, dir.filePath("ended.gif").toStdString(), 100));
        QVERIFY_THROWS_EXCEPTION(ScreenGrabError, grabber.grab(0, 0, 8, 8));
    }
};

int main(int argc, char** argv)
{
    Services s;
    if (!s.start()) {
        std::printf("SKIP: %s: the portal capture tests need a private bus and PipeWire\n",
                    qPrintable(s.why));
        return 0;
    }
    services = &s;
    // the bus of this process is the private one
    qputenv("DBUS_SESSION_BUS_ADDRESS", s.env().value("DBUS_SESSION_BUS_ADDRESS").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", s.runtime().toLocal8Bit());
    QApplication app(argc, argv);
    PortalCaptureTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "portal_capture_test.moc"
