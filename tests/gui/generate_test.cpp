// Generate through the real window: the output file, the options dialogs,
// the AVI and the animated GIF written and read back, Cancel while the
// frames are made, the retry of a failing AVI and the failure messages.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>

#include <sys/resource.h>
#include <unistd.h>

#include "engine/avi/avi_result.h"
#include "engine/gif/gif_extensions.h"
#include "engine/gif/gif_image.h"
#include "engine/output/write_animated_gif.h"
#include "engine/project/frame_cache.h"
#include "gui/app/work_runner.h"
#include "gui/output/gif_preview.h"
#include "gui/output/output_file_dialog.h"
#include "gui/project/options_form.h"
#include "gui_fixtures.h"
#include "output_fixtures.h"

using namespace pelko;
using namespace pelko::test;

namespace {

QString demoProject()
{
    return QFileInfo(QString(__FILE__)).dir().absoluteFilePath("../../data/demo/demo.mcp");
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeText(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// ffprobe's answer about the video stream, "" when ffprobe is missing.
QString probeVideo(const QString& path, const QString& entries)
{
    QProcess p;
    p.start("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                        "stream=" + entries, "-of", "csv=p=0", path});
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

bool haveFfprobe()
{
    QProcess p;
    p.start("ffprobe", {"-version"});
    return p.waitForFinished(10000) && p.exitCode() == 0;
}

// Keeps every file the process writes below limit bytes while it lives.
struct FileSizeLimit {
    rlimit old{};
    explicit FileSizeLimit(rlim_t limit)
    {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit l = old;
        l.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); }
};

}  // namespace

class GenerateTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir_;
    std::shared_ptr<FakeDialogs> dialogs_;
    std::shared_ptr<FakeOutputDialogs> output_;
    std::unique_ptr<TAVIForm> form_;

    QString file(const QString& name) const { return dir_->filePath(name); }

    TAVIForm& emptyWindow(const ProjectOptions& canvas = {})
    {
        dialogs_ = std::make_shared<FakeDialogs>();
        output_ = std::make_shared<FakeOutputDialogs>();
        form_ = newProjectWindow(file("settings.ini"), dialogs_, canvas);
        generateState(*form_).dialogs = (output_);
        return *form_;
    }

    // The bundled demo project: a GIF project of six 200 x 120 frames of
    // 120 ms, colour maps merged and similarities replaced.
    TAVIForm& demoWindow()
    {
        TAVIForm& form = emptyWindow();
        form.openProject(demoProject());
        return form;
    }

    // A new w x h project of n pictures of the canvas' size, each its colour.
    TAVIForm& pictureWindow(int n, int w, int h)
    {
        ProjectOptions canvas;
        canvas.Width = w;
        canvas.Height = h;
        TAVIForm& form = emptyWindow(canvas);
        QStringList pictures;
        for (int i = 0; i < n; ++i)
            pictures << writePng(file(QString("p%1.png").arg(i)), w, h, Color(0x10203 * (i * 7 % 80)));
        form.addPictures(pictures);
        return form;
    }

    QStringList outputsIn(const QString& folder) const
    {
        return QDir(folder).entryList({"*.avi", "*.gif", "*.AVI", ".pelko*"}, QDir::Files | QDir::Hidden);
    }

private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }
    void cleanup() { form_.reset(); }

    void offeredWithItsShortcutOnceTheListHasFrames()
    {
        TAVIForm& form = emptyWindow();
        QAction* generate = act(form, "ActionGenerate");
        QVERIFY(generate->isVisible());
        QVERIFY(!generate->isEnabled());
        QCOMPARE(generate->shortcut(), QKeySequence("Ctrl+G"));
        form.openProject(demoProject());
        QVERIFY(generate->isEnabled());
        QCOMPARE(generate->toolTip(), QString("Generate animated GIF"));
        // cancelling the file dialog writes nothing and asks nothing more
        generate->trigger();
        QCOMPARE(output_->filesAsked, 1);
        QCOMPARE(output_->filterIndex, 2);
        QCOMPARE(output_->defaultSuffix, QString("gif"));
        QCOMPARE(output_->folder, QFileInfo(demoProject()).absolutePath());
        QCOMPARE(output_->gifAsked + output_->aviAsked, 0);
    }

    void animatedGifOfTheDemoReadBack()
    {
        TAVIForm& form = demoWindow();
        const QString out = file("clip.gif");
        output_->file = out;
        std::shared_ptr<TGIFImage> previewed;
        output_->gifScript = [&](TAniGIFForm& d) {
            [&] {
                QCOMPARE(d.windowTitle(), QString("clip.gif"));
                QVERIFY(d.optimizeBox()->isChecked() && d.mergeBox()->isChecked());
                QVERIFY(d.infiniteBox()->isChecked() && !d.loopsField()->isEnabled());
                d.infiniteBox()->click();
                QVERIFY(d.loopsField()->isEnabled());
                d.loopsField()->setValue(3);
                d.show();  // builds the preview once on the screen
                QTRY_VERIFY(d.previewImage() != nullptr);
                previewed = d.previewImage();
                // the preview plays the animation: frames follow each other
                QTRY_VERIFY(d.preview()->framesShown() >= 2);
                QVERIFY(d.preview()->shown().pixel(100, 60) != qRgb(255, 255, 255));
            }();
            return true;
        };
        act(form, "ActionGenerate")->trigger();
        QCOMPARE(output_->gifAsked, 1);
        QVERIFY(dialogs_->errors.isEmpty());
        // the preview's animation was the one written, and it is GeneratedGif
        QVERIFY(previewed);
        QCOMPARE(generateState(form).generatedGif, previewed);

        TGIFImage gif;
        gif.LoadFromFile(out.toStdString());
        QCOMPARE(gif.Images().GetCount(), 6);
        QCOMPARE(gif.GetWidth(), 200);
        QCOMPARE(gif.GetHeight(), 120);
        int loops = -1;
        for (int i = 0; i < gif.Images().GetCount(); ++i) {
            TGIFSubImage& frame = *gif.Images().GetImage(i);
            QVERIFY(frame.GraphicControlExtension());
            QCOMPARE(frame.GraphicControlExtension()->GetDelay(), 12);
            for (int e = 0; e < frame.Extensions().GetCount(); ++e)
                if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(frame.Extensions().GetExtension(e)))
                    loops = loop->GetLoops();
        }
        QCOMPARE(loops, 3);
        QCOMPARE(generateState(form).output.GifLoops, std::uint16_t(3));
        // the loop count is no change of the project
        QVERIFY(!form.project().changed);
        QVERIFY(!act(form, "ActionSave")->isEnabled());
        QVERIFY(writtenText(form).startsWith("Generated clip.gif ("));

        // pointing at a tool button puts its hint beside the panels, not over them
        QStatusTipEvent tip("Create & Save");
        QCoreApplication::sendEvent(&form, &tip);
        QCOMPARE(form.statusHint(), QString("Create & Save"));
        QVERIFY(form.statusBar()->currentMessage().isEmpty());
        // the note of the file written goes once the project moves on
        form.project().selection.selectOnly(0);
        act(form, "ActionClone")->trigger();
        QVERIFY(writtenText(form).isEmpty());
    }

    // The saved file always matches the options shown: a preview built
    // before an option changed (the smaller-file strength among them) is
    // not the one written.
    void aPreviewBuiltBeforeAnOptionChangedIsNotWritten()
    {
        TAVIForm& form = demoWindow();
        const QString out = file("smaller.gif");
        output_->file = out;
        std::vector<std::uint8_t> previewBytes;
        AnimatedGifOptions chosen;
        output_->gifScript = [&](TAniGIFForm& d) {
            d.smallerFileBox()->setChecked(true);
            d.strengthSlider()->setValue(20);
            d.refreshPreview();
            if (d.previewBuild())
                previewBytes = d.previewBuild()->bytes;
            d.strengthSlider()->setValue(80);  // after the preview was built
            chosen = gifBuildOptionsOf(d.values());
            return true;
        };
        act(form, "ActionGenerate")->trigger();
        QVERIFY(dialogs_->errors.isEmpty());
        QVERIFY(!previewBytes.empty());
        const std::optional<std::vector<std::uint8_t>> expected =
            buildAnimatedGifBytes(form.project(), chosen);
        QVERIFY(expected);
        const QByteArray written = readAll(out);
        QCOMPARE(written,
                 QByteArray(reinterpret_cast<const char*>(expected->data()), qsizetype(expected->size())));
        QVERIFY(written != QByteArray(reinterpret_cast<const char*>(previewBytes.data()),
                                      qsizetype(previewBytes.size())));
    }

    void aviOfTheDemoReadBackAndTheDialogsRemembered()
    {
        if (!haveFfprobe())
            QSKIP("ffprobe is not installed");
        TAVIForm& form = demoWindow();
        output_->file = file("movie.AVI");  // the kind is chosen whatever the case
        output_->aviScript = [](TAviOptionsForm& d) {
            [&] {
                QCOMPARE(d.windowTitle(), QString("movie.AVI"));
                d.frameTimeField()->setValue(40);
                d.showAlwaysBox()->setChecked(false);
            }();
            return true;
        };
        QString firstCodec;
        output_->codecScript = [&](CodecWindow& w) {
            firstCodec = QString::fromStdString(w.choice().fourcc);
            [&] {
                QCOMPARE(w.codecList()->itemText(0), QString("Uncompressed frames (DIB)"));
                QVERIFY(w.selectCodec("FFV1") || w.selectCodec("DIVX"));
            }();
            return true;
        };
        act(form, "ActionGenerate")->trigger();
        QVERIFY2(dialogs_->errors.isEmpty(), qPrintable(dialogs_->errors.join('\n')));
        QCOMPARE(firstCodec, QString("DIVX"));
        QCOMPARE(probeVideo(file("movie.AVI"), "width,height,r_frame_rate,nb_read_frames"),
                 QString("200,120,25/1,6"));
        QCOMPARE(form.project().settings.AviFrameTime, 40);
        // AVI settings changed from a GIF project are no change of the project
        QVERIFY(!form.project().changed);
        QVERIFY(writtenText(form).startsWith("Generated movie.AVI ("));

        // "Show always" cleared: the options dialog is skipped; the codec
        // window comes up with the last choice
        const std::string chosen = generateState(form).codec.fourcc;
        std::string proposed;
        output_->file = file("second.avi");
        output_->codecScript = [&](CodecWindow& w) {
            proposed = w.choice().fourcc;
            return true;
        };
        act(form, "ActionGenerate")->trigger();
        QCOMPARE(output_->aviAsked, 1);
        QCOMPARE(output_->codecAsked, 2);
        QCOMPARE(proposed, chosen);
        QCOMPARE(probeVideo(file("second.avi"), "nb_read_frames"), QString("6"));
    }

    void cancelledOptionsWriteNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("avi") << "c.avi";
        QTest::newRow("gif") << "c.gif";
    }
    void cancelledOptionsWriteNothing()
    {
        QFETCH(QString, name);
        TAVIForm& form = demoWindow();
        output_->file = file(name);
        output_->aviScript = [](TAviOptionsForm& d) {
            d.frameTimeField()->setValue(60);
            return false;
        };
        output_->gifScript = [](TAniGIFForm& d) {
            d.cropBox()->setChecked(true);
            return false;
        };
        act(form, "ActionGenerate")->trigger();
        QCOMPARE(output_->aviAsked + output_->gifAsked, 1);
        QVERIFY(!QFile::exists(file(name)));
        QCOMPARE(form.project().settings.AviFrameTime, 1000);
        QVERIFY(!form.project().settings.Crop);
        QVERIFY(!act(form, "ActionSave")->isEnabled());
    }

    // A change of the stored options of the project's own type makes the
    // project changed once the file is written.
    void optionsOfTheProjectsTypeEnableSave()
    {
        TAVIForm& form = demoWindow();
        output_->file = file("crop.gif");
        output_->gifScript = [](TAniGIFForm& d) {
            d.cropBox()->setChecked(true);
            return true;
        };
        act(form, "ActionGenerate")->trigger();
        QVERIFY(QFile::exists(file("crop.gif")));
        QVERIFY(form.project().settings.Crop);
        QVERIFY(form.project().changed);
        QVERIFY(act(form, "ActionSave")->isEnabled());
    }

    void cancelDuringGenerationLeavesTheOldFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("avi") << "out.avi";
        QTest::newRow("gif") << "out.gif";
    }
    void cancelDuringGenerationLeavesTheOldFile()
    {
        QFETCH(QString, name);
        TAVIForm& form = pictureWindow(40, 320, 240);
        const QString out = file(name);
        writeText(out, "old");
        output_->file = out;
        output_->aviScript = [](TAviOptionsForm& d) {
            d.codecBox()->setChecked(false);  // uncompressed, no codec window
            return true;
        };
        // Cancel as soon as the frames are being made.
        int label = -1;
        QTimer::singleShot(0, &form, [&] {
            if (auto* progress = form.findChild<QProgressDialog*>("frameProgress")) {
                label =
                    progress->labelText().startsWith("Frame ") && progress->labelText().endsWith(" of 40");
                progress->cancel();
            }
        });
        act(form, "ActionGenerate")->trigger();
        QCOMPARE(label, 1);
        QCOMPARE(readAll(out), QByteArray("old"));
        QCOMPARE(outputsIn(dir_->path()), QStringList{name});
        QVERIFY2(dialogs_->errors.isEmpty(), qPrintable(dialogs_->errors.join('\n')));
        QVERIFY(writtenText(form).isEmpty());
        // the window goes on: the next run writes the file
        act(form, "ActionGenerate")->trigger();
        QVERIFY(readAll(out).size() > 3);
    }

    // Without the codec window a write failure that repeats asks whether to
    // try again; the first one is only shown.
    void repeatedFailureAsksTryAgain()
    {
        TAVIForm& form = pictureWindow(8, 320, 240);
        output_->file = file("big.avi");
        output_->aviScript = [](TAviOptionsForm& d) {
            d.codecBox()->setChecked(false);
            return true;
        };
        output_->tryAgain = {true, false};
        {
            FileSizeLimit limit(200 * 1024);  // two uncompressed frames
            act(form, "ActionGenerate")->trigger();
        }
        QCOMPARE(dialogs_->errors.size(), 1);
        QCOMPARE(output_->tryAgainAsked.size(), 2);
        QCOMPARE(output_->tryAgainAsked.at(0), dialogs_->errors.at(0));
        QVERIFY2(dialogs_->errors.at(0).contains("big.avi: File too large"),
                 qPrintable(dialogs_->errors.at(0)));
        QVERIFY(outputsIn(dir_->path()).isEmpty());
    }

    // The other outputs by the file's extension, each after its options
    // dialog: the file is written with its format's signature, and the
    // status bar names it.
    void otherOutputsByTheirExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("signature");  // at offset 'at'
        QTest::addColumn<int>("at");
        QTest::newRow("webp") << "clip.webp" << QByteArray("WEBP") << 8;
        QTest::newRow("apng") << "clip.apng" << QByteArray("\x89PNG") << 0;
        QTest::newRow("mp4") << "clip.mp4" << QByteArray("ftyp") << 4;
        QTest::newRow("webm") << "clip.webm" << QByteArray("\x1a\x45\xdf\xa3") << 0;
    }
    void otherOutputsByTheirExtension()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, signature);
        QFETCH(int, at);
        TAVIForm& form = demoWindow();
        output_->file = file(name);
        act(form, "ActionGenerate")->trigger();
        QCOMPARE(output_->animationAsked, 1);
        QVERIFY2(dialogs_->errors.isEmpty(), qPrintable(dialogs_->errors.join('\n')));
        QCOMPARE(readAll(file(name)).mid(at, signature.size()), signature);
        QVERIFY(writtenText(form).startsWith("Generated " + name + " ("));
    }

    // "Fit under" writes a WebP no larger than the budget and says how;
    // "Estimate sizes" shows every format's size.
    void webpUnderABudgetAndTheEstimates()
    {
        TAVIForm& form = demoWindow();
        output_->file = file("small.webp");
        QString estimates;
        output_->animationScript = [&](TAnimationOptionsForm& f) {
            f.estimateButton()->click();
            estimates = f.estimateLabel()->text();
            f.fitField()->setValue(0.02);  // 20 kB
            return true;
        };
        act(form, "ActionGenerate")->trigger();
        QVERIFY2(
            estimates.startsWith("GIF ") && estimates.contains(" · WebP ") && estimates.contains(" · MP4 "),
            qPrintable(estimates));
        QVERIFY2(dialogs_->errors.isEmpty(), qPrintable(dialogs_->errors.join('\n')));
        const qint64 size = QFileInfo(file("small.webp")).size();
        QVERIFY(size > 0 && size <= 20000);
        QVERIFY2(writtenText(form).contains("quality"), qPrintable(writtenText(form)));
        QCOMPARE(generateState(form).animation.fitUnderMB, 0.02);
    }

    // H.264 takes odd sizes: the frames are padded, and the codec window
    // does not come back. Cancelling the codec window ends generation with
    // "AVIERR_USERABORT" and leaves no file.
    void oddSizesWithH264AndCancellingTheCodecWindow()
    {
        if (!findVideoCodec("H264"))
            QSKIP("no H.264 encoder in this FFmpeg");
        TAVIForm& form = pictureWindow(2, 101, 11);
        output_->file = file("odd.avi");
        output_->codecScript = [&](CodecWindow& w) {
            w.selectCodec("H264");
            return true;
        };
        act(form, "ActionGenerate")->trigger();
        QCOMPARE(output_->codecAsked, 1);
        QVERIFY2(dialogs_->errors.isEmpty(), qPrintable(dialogs_->errors.join('\n')));
        QVERIFY(QFile::exists(file("odd.avi")));

        output_->file = file("cancelled.avi");
        output_->codecScript = [](CodecWindow&) { return false; };
        act(form, "ActionGenerate")->trigger();
        QCOMPARE(dialogs_->errors, QStringList{"AVIERR_USERABORT"});
        QVERIFY(output_->tryAgainAsked.isEmpty());
        QVERIFY(!QFile::exists(file("cancelled.avi")));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("case_");
        QTest::addColumn<QString>("message");  // the start of the one message; empty: no message
        QTest::addColumn<QString>("names");    // what the message names
        const QString another = "Select another name for saving file.\n";
        const QString create = "It is impossible to create file ";
        QTest::newRow("avi onto a folder") << "folder.avi"
                                           << "folder" << another << "folder.avi: Is a directory";
        QTest::newRow("gif onto a folder") << "folder.gif"
                                           << "folder" << another << "folder.gif: Is a directory";
        QTest::newRow("avi in a read-only folder") << "ro/x.avi"
                                                   << "read-only" << create << "x.avi";
        QTest::newRow("gif in a read-only folder") << "ro/x.gif"
                                                   << "read-only" << create << "x.gif";
        QTest::newRow("avi of a source gone") << "gone.avi"
                                              << "gone"
                                              << "It is impossible to get the Bitmap.\n"
                                              << "p1.png";
        QTest::newRow("gif of a source gone") << "gone.gif"
                                              << "gone"
                                              << ""
                                              << "p1.png";
        QTest::newRow("another extension") << "movie.mpg"
                                           << ""
                                           << ""
                                           << "";
    }
    void failures()
    {
        QFETCH(QString, name);
        QFETCH(QString, case_);
        QFETCH(QString, message);
        QFETCH(QString, names);
        if (case_ == "read-only" && ::geteuid() == 0)
            QSKIP("root writes into read-only folders");
        TAVIForm& form = pictureWindow(3, 40, 30);
        const QString out = file(name);
        if (case_ == "folder")
            QVERIFY(QDir().mkpath(out));
        if (case_ == "read-only") {
            QVERIFY(QDir().mkpath(file("ro")));
            QFile::setPermissions(file("ro"), QFile::ReadOwner | QFile::ExeOwner);
        }
        if (case_ == "gone") {
            QVERIFY(QFile::remove(file("p1.png")));
            form.project().cache->clear();
        }
        output_->file = out;
        act(form, "ActionGenerate")->trigger();
        if (case_ == "read-only")
            QFile::setPermissions(file("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(output_->aviAsked + output_->gifAsked, case_.isEmpty() ? 0 : 1);
        if (names.isEmpty()) {
            QVERIFY(dialogs_->errors.isEmpty());
        } else {
            QCOMPARE(dialogs_->errors.size(), 1);
            const QString& shown = dialogs_->errors.at(0);
            QVERIFY2(shown.startsWith(message) && shown.contains(names), qPrintable(shown));
        }
        QVERIFY(!QFileInfo(out).isFile());
        QVERIFY(writtenText(form).isEmpty());
    }

    // Switching the file type in the dialog gives the typed name that type's
    // extension, through the dialog's own file type list.
    void extensionFollowsTheFileType_data()
    {
        QTest::addColumn<int>("startIndex");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("gif to avi") << 2 << "clip.gif"
                                    << "clip.avi";
        QTest::newRow("avi to gif, no extension") << 1 << "clip"
                                                  << "clip.gif";
        QTest::newRow("avi to gif") << 1 << "clip.avi"
                                    << "clip.gif";
        QTest::newRow("another extension") << 1 << "movie.mpeg"
                                           << "movie.gif";
        QTest::newRow("empty field") << 1 << ""
                                     << "";
    }
    void extensionFollowsTheFileType()
    {
        QFETCH(int, startIndex);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        OutputFileDialog dialog(nullptr, startIndex, startIndex == 1 ? "avi" : "gif");
        dialog.setDirectory(dir_->path());
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QString("Save in AVI or GIF file"));
        QCOMPARE(dialog.nameFilters(),
                 QStringList({"Audio/Video Interleaved file(*.avi)", "Animated GIF(*.gif)",
                              "Animated WebP(*.webp)", "Animated PNG(*.apng)", "MP4 video(*.mp4)",
                              "WebM video(*.webm)"}));
        QCOMPARE(dialog.selectedNameFilter(), dialog.nameFilters().at(startIndex - 1));
        QLineEdit* field = dialog.nameField();
        QVERIFY(field);
        field->setText(typed);
        auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
        QVERIFY(types);
        types->setFocus();
        QTest::keyClick(types, startIndex == 1 ? Qt::Key_Down : Qt::Key_Up);
        QCOMPARE(types->currentIndex(), startIndex == 1 ? 1 : 0);
        QCOMPARE(field->text(), shown);
        QCOMPARE(dialog.defaultSuffix(), QString(startIndex == 1 ? "gif" : "avi"));
        if (startIndex == 1 && !typed.isEmpty()) {  // on to the animated WebP
            QTest::keyClick(types, Qt::Key_Down);
            QCOMPARE(field->text(), QFileInfo(shown).completeBaseName() + ".webp");
            QCOMPARE(dialog.defaultSuffix(), QString("webp"));
        }
    }

    void progressCountsFrames()
    {
        WorkRunner progress(nullptr, "Generate AVI", 300, 95);
        QCOMPARE(progress.label(0), QString("Frame 1 of 300"));
        QCOMPARE(progress.label(4, 11), QString("Frame 12 of 300"));  // counted frames win
        QCOMPARE(progress.label(95 * 150 / 300), QString("Frame 149 of 300"));
        QCOMPARE(progress.label(100), QString("Frame 300 of 300"));
        // work that raises gives its error to the caller, after the worker ended
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, progress.run([](ProgressSink&) -> int {
            throw std::runtime_error("frame 3: gone");
        }));
        QCOMPARE(progress.run([](ProgressSink& sink) {
            sink.frames(1, 1);
            return 7;
        }),
                 7);
    }
};

QTEST_MAIN(GenerateTest)
#include "generate_test.moc"
