#include "gui/capture/capture_command.h"

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "engine/avi/avi_result.h"
#include "engine/base/work_folder.h"
#include "engine/capture/grab_picture.h"
#include "engine/capture/write_capture.h"
#include "engine/output/generate_avi.h"
#include "engine/rules/app_settings.h"
#include "gui/app/command_rail.h"
#include "gui/app/main_window.h"
#include "gui/capture/capture_dialogs.h"
#include "gui/capture/capture_form.h"
#include "gui/capture/handle_capture_form.h"
#include "gui/effects/effects_commands.h"
#include "gui/output/codec_window.h"
#include "gui/output/generate_command.h"
#include "platform/portal_screen_grabber.h"
#include "platform/x11_screen_grabber.h"

namespace pelko {

namespace {

const char* const kWorkFolderError = "One cannot create ";
const char* const kGrabberName = "CaptureGrabber";
const char* const kRestoreTokenName = "CapturePortalRestoreToken";
// Time for the desktop to take the hidden main window off the screen before
// the screen is grabbed for the preview.
constexpr int kHideSettleMs = 250;

QString fromStd(const std::string& s)
{
    return QString::fromStdString(s);
}

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

CaptureCommand* captureCommand(TAVIForm& window)
{
    return window.feature<CaptureCommand>();
}

void installCaptureCommands(TAVIForm& window)
{
    auto* capture = new CaptureCommand(&window, window.rail(), generateState(window), generatedState(window));
    capture->setParent(&window);
    capture->setAddToProject([&window](const QString& path) { window.addPictures({path}); });
    capture->setStore(&window.settingsStore());
    window.commands().add(
        {.id = "ActionCapture", .caption = "Capture", .execute = [capture](TAVIForm& w, bool) {
             w.rail().run([capture] { capture->execute(); });
         }});
}

CaptureCommand::CaptureCommand(QWidget* window, CommandRail& rail, GenerateState& generate,
                               const GeneratedFramesState& generated)
    : window_(window),
      rail_(rail),
      generate_(generate),
      generated_(generated),
      dialogs_(std::make_shared<WidgetCaptureDialogs>()),
      factory_([this] { return makeGrabber(); })
{
    // The bar is made once and shown for each capture.
    bar_ = new TFormHandleCapture([this] { return grabOne(); });
    connect(bar_, &TFormHandleCapture::finishRequested, this, [this] { rail_.run([this] { finish(); }); });
    connect(bar_, &TFormHandleCapture::closedByUser, this, &CaptureCommand::discard);
    TFormHandleCapture::Recording recording;
    recording.start = [this] {
        if (!grabber_)
            return;
        recorder_ = std::make_unique<Recorder>(*grabber_, pictures_, area_, settings_.withCursor,
                                               settings_.recordFps);
        recorder_->start();
    };
    recording.pause = [this](bool pause) {
        if (recorder_)
            pause ? recorder_->pause() : recorder_->resume();
    };
    recording.status = [this] { return recorder_ ? recorder_->status() : RecordingStatus(); };
    // the pictures grabbed so far stay, to be written
    recording.endedByItself = [this](const std::string& why) {
        stopRecording();
        dialogs_->message(bar_, "Error", fromStd(why));
    };
    bar_->setRecording(std::move(recording));
}

CaptureCommand::~CaptureCommand()
{
    recorder_.reset();
    delete bar_.data();
}

// The X display's grabber, or the desktop portal's on a Wayland session
// (or as the settings say); the portal's permission is remembered.
std::unique_ptr<ScreenGrabber> CaptureCommand::makeGrabber()
{
    const auto read = [this](const char* name) {
        return store_ && store_->canOpen() ? store_->readText(name).value_or("") : std::string();
    };
    if (!usePortalGrabber(read(kGrabberName)))
        return std::make_unique<X11ScreenGrabber>();
    PortalOptions options;
    options.withCursor = settings_.withCursor;
    options.restoreToken = read(kRestoreTokenName);
    auto grabber = std::make_unique<PortalScreenGrabber>(options);
    if (store_ && !grabber->restoreToken().empty() && grabber->restoreToken() != options.restoreToken) {
        store_->writeText(kRestoreTokenName, grabber->restoreToken());
        store_->flush();
    }
    return grabber;
}

void CaptureCommand::stopRecording()
{
    if (recorder_)
        recorder_->stop();
}

void CaptureCommand::execute()
{
    // The main window comes back unless the bar is shown, however this ends.
    struct ShowWindowUnlessCapturing {
        CaptureCommand& c;
        ~ShowWindowUnlessCapturing()
        {
            if (!(c.bar_ && c.bar_->isVisible()))
                c.window_->show();
        }
    } showBack{*this};
    window_->hide();
    Picture desktop;
    try {
        grabber_ = factory_();
        settle(kHideSettleMs);
        const DesktopSize size = grabber_->desktopSize();
        desktop = grabber_->grab(0, 0, size.width, size.height);
    } catch (const ScreenGrabError& e) {
        grabber_.reset();
        dialogs_->message(window_, "Error", fromStd(e.what()));
        return;
    }
    TFormCapture form(settings_, desktop);
    if (!dialogs_->captureSettings(form))
        return;
    const bool cursorBefore = settings_.withCursor;
    settings_ = form.settings();
    scale_ = form.scale();
    area_ = toScreen(settings_.area, scale_);
    // a desktop that draws the cursor in as asked at the start is asked again
    if (grabber_->cursorChosenAtStart() && settings_.withCursor != cursorBefore) {
        try {
            grabber_ = factory_();
        } catch (const ScreenGrabError& e) {
            grabber_.reset();
            dialogs_->message(window_, "Error", fromStd(e.what()));
            return;
        }
    }
    recorder_.reset();
    pictures_.clear(settings_.recordMode);
    bar_->start(settings_);
}

bool CaptureCommand::grabOne()
{
    try {
        if (!grabber_)
            throw ScreenGrabError("There is no screen to grab.");
        pictures_.add(grabCapturePicture(*grabber_, area_, settings_.withCursor));
        return true;
    } catch (const std::exception& e) {
        dialogs_->message(bar_, "Error", fromStd(e.what()));
        return false;
    }
}

void CaptureCommand::finish()
{
    // the recording ends before its pictures are read
    if (recorder_ && bar_->recordMode()) {
        stopRecording();
        bar_->recordingFinished();
    }
    if (pictures_.count() == 0)
        return;
    // The bar stops raising itself over the dialogs of writing; where it
    // stays up (writing failed or was cancelled) it goes on.
    bar_->stopTimers();
    struct KeepOnTopAfterwards {
        TFormHandleCapture* bar;
        ~KeepOnTopAfterwards()
        {
            if (bar)
                bar->keepOnTop();
        }
    } keepOnTop{bar_};
    // A work folder that cannot be made raises its message; the bar stays
    // with its pictures.
    const QString program = generated_.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                               : generated_.programFolder;
    const std::string folder =
        prepareWorkFolder(program.toStdString() + "/", userDataHome(), kWorkFolderError);
    if (settings_.format == CaptureFormat::Avi)
        writeAvi(folder);
    else
        writeGif(folder);
}

// A failure keeps the bar and its pictures: the user may finish again (with
// another codec) or close the bar.
void CaptureCommand::writeAvi(const std::string& folder)
{
    // a recording's AVI runs at its frame rate, each picture for its time
    const int frameMs = pictures_.timed() ? 1000 / settings_.recordFps : settings_.durationMs;
    for (;;) {
        CompressOptions chosen;
        const CompressOptions* compress = nullptr;
        if (generate_.output.ShowCodecWindow) {
            CodecWindow window(availableVideoCodecs(), generate_.codec, bar_);
            if (!dialogs_->codecWindow(window)) {
                dialogs_->message(bar_, "Error", fromStd(AviResultText(AVIERR_USERABORT)));
                return;
            }
            generate_.codec = window.choice();
            chosen = generate_.codec;
            compress = &chosen;
        }
        const std::string staged = captureStagingPath(folder, CaptureFormat::Avi);
        CaptureAviReport report;
        AviResult result = AVIERR_ERROR;
        // the progress dialog goes before any message
        result =
            rail_.work({nullptr, "Capture", true, pictures_.count(), 100, bar_}, [&](ProgressSink& sink) {
                return writeCaptureAvi(pictures_, staged, frameMs, compress, report, sink);
            });
        if (result == AVIERR_OK) {
            created(staged, folder);
            return;
        }
        QStringList texts;
        for (const std::string& m : report.messages) texts << fromStd(m);
        if (!texts.isEmpty())
            dialogs_->message(bar_, "Error", texts.join("\n\n"));
        // a codec that refused the pictures: choose again
        if (endsAviAttempts(result) || !generate_.output.ShowCodecWindow)
            return;
    }
}

void CaptureCommand::writeGif(const std::string& folder)
{
    storeCaptureGifDefaults();
    const std::string staged = captureStagingPath(folder, CaptureFormat::AnimatedGif);
    bool written = false;
    // the progress dialog goes before any message
    written = rail_.work({nullptr, "Capture", true, pictures_.count(), 100, bar_}, [&](ProgressSink& sink) {
        return writeCaptureGif(pictures_, staged, settings_.durationMs, sink);
    });
    if (written)
        created(staged, folder);
}

void CaptureCommand::created(const std::string& staged, const std::string& folder)
{
    const std::string path =
        claimFreeName(staged, folder, settings_.name, captureExtension(settings_.format));
    lastFile_ = fromStd(path);
    bar_->stopAndHide();
    discard();
    dialogs_->message(window_, "Information", "It was created the next file: " + lastFile_);
    if (settings_.addToProject && settings_.format == CaptureFormat::AnimatedGif && addToProject_)
        addToProject_(lastFile_);
}

void CaptureCommand::discard()
{
    recorder_.reset();
    pictures_.clear();
    grabber_.reset();
    window_->show();
}

}  // namespace pelko
