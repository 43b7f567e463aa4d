#pragma once
// CaptureCommand: "Capture" of the "Tool" menu. The main window hides, the
// settings dialog frames the area on the reduced screen, the capture bar
// grabs the pictures, and "Finish and create" writes them as an AVI or an
// animated GIF into the work folder behind a progress dialog and tells the
// user the file's path; then the main window comes back. Closing the bar
// drops the pictures; a cancelled dialog or an error brings the main window
// back at once. The settings are kept for the program run.
//
// "Record" runs a Recorder between "Capture" and "Finish and create"; the
// pictures it grabbed stay when it ends by itself, and are written with their
// times. "Add to project when done" adds the written GIF's frames to the
// project.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "engine/base/geometry.h"
#include "engine/capture/capture_settings.h"
#include "engine/capture/captured_pictures.h"
#include "engine/capture/recorder.h"
#include "engine/capture/screen_grabber.h"
#include "gui/capture/handle_capture_form.h"

class QWidget;

namespace pelko {

class CaptureDialogs;
class SettingsStore;
class CommandRail;
struct GenerateState;
struct GeneratedFramesState;
class TAVIForm;

class CaptureCommand : public QObject {
    Q_OBJECT
public:
    using GrabberFactory = std::function<std::unique_ptr<ScreenGrabber>()>;

    // window: the main window (hidden while capturing); generate: where the
    // codec window's choice lives; generated: where the work folder is
    // looked for.
    CaptureCommand(QWidget* window, CommandRail& rail, GenerateState& generate,
                   const GeneratedFramesState& generated);
    ~CaptureCommand() override;

    // The command's body (on the rail).
    void execute();

    const CaptureSettings& settings() const { return settings_; }
    void setSettings(const CaptureSettings& s) { settings_ = s; }
    CaptureScale scale() const { return scale_; }
    // The capture rectangle in screen pixels, as the bar grabs it.
    Rect screenArea() const { return area_; }
    const CapturedPictures& pictures() const { return pictures_; }
    TFormHandleCapture* bar() const { return bar_; }
    QString lastFile() const { return lastFile_; }

    // Where the grabber's choice ("CaptureGrabber": "x11", "portal", or
    // empty to follow the session) and the portal's permission are kept.
    void setStore(SettingsStore* store) { store_ = store; }
    // Where a written file's frames go ("Add to project when done").
    void setAddToProject(std::function<void(const QString& path)> add) { addToProject_ = std::move(add); }
    const Recorder* recorder() const { return recorder_.get(); }

    // Tests answer the dialogs and may bring their own desktop.
    void setDialogs(std::shared_ptr<CaptureDialogs> dialogs) { dialogs_ = std::move(dialogs); }
    void setGrabberFactory(GrabberFactory factory) { factory_ = std::move(factory); }

private:
    bool grabOne();
    std::unique_ptr<ScreenGrabber> makeGrabber();
    void stopRecording();
    void finish();
    void writeAvi(const std::string& folder);
    void writeGif(const std::string& folder);
    void created(const std::string& staged, const std::string& folder);
    void discard();

    QWidget* window_;
    CommandRail& rail_;
    GenerateState& generate_;
    const GeneratedFramesState& generated_;
    std::shared_ptr<CaptureDialogs> dialogs_;
    GrabberFactory factory_;
    std::unique_ptr<ScreenGrabber> grabber_;
    CaptureSettings settings_;
    CaptureScale scale_;
    Rect area_;
    CapturedPictures pictures_;
    std::unique_ptr<Recorder> recorder_;
    std::function<void(const QString&)> addToProject_;
    SettingsStore* store_ = nullptr;
    QPointer<TFormHandleCapture> bar_;
    QString lastFile_;
};

// Tool > Capture. Needs the Generate and Effects features.
void installCaptureCommands(TAVIForm& window);
// The capture command of the window (tests answer its dialogs).
CaptureCommand* captureCommand(TAVIForm& window);

}  // namespace pelko
