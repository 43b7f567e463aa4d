// The PulseAudio player against a real server: the test starts a private
// PulseAudio daemon on a null sink under its own runtime folder, records the
// sink's monitor while the player plays WAV files it wrote itself, and stops
// the daemon. Without the pulseaudio program it skips.

#include <pulse/error.h>
#include <pulse/simple.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <thread>
#include <vector>

#include "platform/pulse_sound_player.h"

namespace pelko {

namespace {

void putLe(std::vector<std::uint8_t>& v, std::uint32_t x, int bytes)
{
    for (int i = 0; i < bytes; ++i) v.push_back(std::uint8_t(x >> (8 * i)));
}

// A 440 Hz tone of ms milliseconds at a quarter of full scale, every channel
// alike.
QString writeTone(const QString& path, int channels, std::uint32_t rate, int bits, int ms)
{
    const int block = channels * bits / 8;
    const std::uint32_t frames = rate * std::uint32_t(ms) / 1000;
    std::vector<std::uint8_t> v;
    v.insert(v.end(), {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putLe(v, 16, 4);
    putLe(v, 1, 2);
    putLe(v, std::uint32_t(channels), 2);
    putLe(v, rate, 4);
    putLe(v, rate * std::uint32_t(block), 4);
    putLe(v, std::uint32_t(block), 2);
    putLe(v, std::uint32_t(bits), 2);
    v.insert(v.end(), {'d', 'a', 't', 'a'});
    putLe(v, frames * std::uint32_t(block), 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double s = 0.25 * std::sin(2 * std::numbers::pi * 440 * i / rate);
        for (int c = 0; c < channels; ++c)
            if (bits == 8)
                v.push_back(std::uint8_t(128 + std::lround(s * 127)));
            else
                putLe(v, std::uint32_t(std::uint16_t(std::int16_t(std::lround(s * 32767)))), 2);
    }
    const std::uint32_t riff = std::uint32_t(v.size() - 8);
    for (int i = 0; i < 4; ++i) v[std::size_t(4 + i)] = std::uint8_t(riff >> (8 * i));
    std::FILE* f = std::fopen(path.toLocal8Bit().constData(), "wb");
    std::fwrite(v.data(), 1, v.size(), f);
    std::fclose(f);
    return path;
}

}  // namespace

class PulseSoundTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QProcess daemon_;
    QString server_;

    // The loudest sample that reached the null sink's monitor while work ran.
    int loudestWhile(const std::function<void()>& work)
    {
        const pa_sample_spec sampleFormat{PA_SAMPLE_S16LE, 44100, 1};
        // small fragments, or the server records (and so plays) in slices of seconds
        pa_buffer_attr attr;
        attr.maxlength = std::uint32_t(-1);
        attr.fragsize = std::uint32_t(pa_usec_to_bytes(20'000, &sampleFormat));
        attr.tlength = attr.prebuf = attr.minreq = std::uint32_t(-1);
        int error = 0;
        pa_simple* rec =
            pa_simple_new(server_.toUtf8().constData(), "pelko-test", PA_STREAM_RECORD, "pelko_null.monitor",
                          "monitor", &sampleFormat, nullptr, &attr, &error);
        if (!rec) {
            qWarning("cannot record the monitor: %s", pa_strerror(error));
            return -1;
        }
        std::atomic<bool> done{false};
        std::atomic<int> loudest{0};
        std::thread reader([&] {
            std::vector<std::int16_t> buf(441);
            while (!done) {
                if (pa_simple_read(rec, buf.data(), buf.size() * 2, &error) < 0)
                    break;
                for (std::int16_t s : buf) loudest = std::max(loudest.load(), std::abs(int(s)));
            }
        });
        QThread::msleep(200);  // the sink takes the recorder's latency
        loudest = 0;
        work();
        QThread::msleep(300);  // what the server still held
        done = true;
        reader.join();
        pa_simple_free(rec);
        return loudest;
    }

private slots:
    void initTestCase()
    {
        const QString program = QStandardPaths::findExecutable("pulseaudio");
        if (program.isEmpty())
            QSKIP("the pulseaudio program is not installed (Debian package pulseaudio): skipped");
        QVERIFY(dir_.isValid());
        QDir(dir_.path()).mkpath("runtime");
        QDir(dir_.path()).mkpath("home");
        QFile::setPermissions(dir_.filePath("runtime"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QString socket = dir_.filePath("native");
        QProcessEnvironment env;
        env.insert("PATH", qEnvironmentVariable("PATH"));
        env.insert("XDG_RUNTIME_DIR", dir_.filePath("runtime"));
        env.insert("HOME", dir_.filePath("home"));
        env.insert("XDG_CONFIG_HOME", dir_.filePath("home"));
        daemon_.setProcessEnvironment(env);
        daemon_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        daemon_.start(
            program, {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disable-shm=yes",
                      "--log-level=error", "-L", "module-null-sink sink_name=pelko_null", "-L",
                      "module-native-protocol-unix auth-anonymous=1 socket=" + socket});
        QVERIFY2(daemon_.waitForStarted(5000), "pulseaudio did not start");
        QElapsedTimer waited;
        waited.start();
        while (!QFile::exists(socket) && waited.elapsed() < 15000 && daemon_.state() == QProcess::Running)
            QThread::msleep(50);
        QVERIFY2(QFile::exists(socket), "pulseaudio made no socket");
        server_ = "unix:" + socket;
        // this process as a client: no autospawning, no cookie of the user's
        QFile conf(dir_.filePath("client.conf"));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("autospawn = no\n");
        conf.close();
        qputenv("PULSE_CLIENTCONFIG", dir_.filePath("client.conf").toLocal8Bit());
    }

    void cleanupTestCase()
    {
        if (daemon_.state() == QProcess::NotRunning)
            return;
        daemon_.terminate();
        if (!daemon_.waitForFinished(5000)) {
            daemon_.kill();
            daemon_.waitForFinished(2000);
        }
    }

    void playsTheFileInItsOwnFormat_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("bits");
        QTest::newRow("16-bit mono 44100") << 1 << 44100 << 16;
        QTest::newRow("8-bit stereo 22050") << 2 << 22050 << 8;
        QTest::newRow("16-bit stereo 8000") << 2 << 8000 << 16;
    }
    void playsTheFileInItsOwnFormat()
    {
        QFETCH(int, channels);
        QFETCH(int, rate);
        QFETCH(int, bits);
        const QString wav =
            writeTone(dir_.filePath(QString("tone-%1-%2-%3.wav").arg(channels).arg(rate).arg(bits)), channels,
                      std::uint32_t(rate), bits, 400);
        PulseSoundPlayer player(server_.toStdString());
        SoundResult result;
        QElapsedTimer clock;
        const int loudest = loudestWhile([&] {
            clock.start();
            result = player.play(wav.toStdString());
        });
        QVERIFY2(result.ok, result.message.c_str());
        // a quarter of full scale, give or take the server's resampling
        QVERIFY2(loudest > 4000, qPrintable(QString("loudest sample %1").arg(loudest)));
        // played to its end, not beyond it by much
        QVERIFY2(clock.elapsed() >= 350 && clock.elapsed() < 3000,
                 qPrintable(QString::number(clock.elapsed())));
    }

    void stopEndsABackgroundSoundAtOnce()
    {
        const QString wav = writeTone(dir_.filePath("long.wav"), 1, 44100, 16, 5000);
        PulseSoundPlayer player(server_.toStdString());
        std::atomic<int> ended{0};
        std::atomic<bool> endedOk{false};
        player.playAsync(wav.toStdString(), [&](const SoundResult& r) {
            endedOk = r.ok;
            ++ended;
        });
        QThread::msleep(300);
        QElapsedTimer clock;
        clock.start();
        player.stop();
        // Stop waits a second at most for the sound to end, however busy the
        // machine (the margin is for a loaded test run)
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(ended.load(), 1, 5000);
        QVERIFY(endedOk);
        // and the sink falls silent
        const int loudest = loudestWhile([] { QThread::msleep(300); });
        QVERIFY2(loudest < 100, qPrintable(QString("loudest sample %1").arg(loudest)));
    }

    void problemsAreMessagesNeverAHang_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("content");  // "tone", or bytes of a file that is no WAV
        QTest::addColumn<QString>("expected");
        QTest::newRow("no server") << "unix:/nonexistent/pelko/native"
                                   << "tone"
                                   << "no sound server to play it on";
        QTest::newRow("not a WAV") << ""
                                   << "just text"
                                   << "not a RIFF file";
        QTest::newRow("missing file") << ""
                                      << ""
                                      << "No such file or directory";
    }
    void problemsAreMessagesNeverAHang()
    {
        QFETCH(QString, server);
        QFETCH(QString, content);
        QFETCH(QString, expected);
        QString wav = dir_.filePath("problem.wav");
        QFile::remove(wav);
        if (content == "tone") {
            writeTone(wav, 1, 8000, 16, 100);
        } else if (!content.isEmpty()) {
            QFile f(wav);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content.toUtf8());
        }
        PulseSoundPlayer player(server.isEmpty() ? server_.toStdString() : server.toStdString());
        QElapsedTimer clock;
        clock.start();
        const SoundResult r = player.play(wav.toStdString());
        QVERIFY(!r.ok);
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        const QString message = QString::fromStdString(r.message);
        QVERIFY2(message.startsWith(wav + ": "), qPrintable(message));
        QVERIFY2(message.contains(expected), qPrintable(message));

        // the same in the background, through done
        std::atomic<int> ended{0};
        std::string got;
        player.playAsync(wav.toStdString(), [&](const SoundResult& a) {
            got = a.message;
            ++ended;
        });
        QTRY_COMPARE_WITH_TIMEOUT(ended.load(), 1, 3000);
        QCOMPARE(QString::fromStdString(got), message);
    }
};

}  // namespace pelko

QTEST_GUILESS_MAIN(pelko::PulseSoundTest)
#include "pulse_sound_test.moc"
