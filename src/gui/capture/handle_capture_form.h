#pragma once
// TFormHandleCapture: the capture bar. A small tool window captioned
// "Capture", kept above all windows, with "Capture", "Pause", "Finish and
// create" and the counter. It follows the rules of CaptureBarState; the
// capture timer and the keep-on-top timer are Qt timers on the user-interface
// thread, so a tick and a click never overlap. Grabbing and writing are the
// command's: the bar calls grab() when a picture is due and says when the
// user wants the file or closes the bar.
//
// In "Record" mode the bar follows RecordingBarState instead: "Capture"
// starts the recorder (which grabs on threads of its own), "Pause" pauses and
// resumes it, and a status timer shows the recorded time, the pictures and
// the turns missed; a recording that ends by itself is reported once.

#include <QTimer>
#include <QWidget>
#include <functional>

#include "engine/capture/capture_bar_state.h"
#include "engine/capture/recording_bar_state.h"

class QLabel;
class QToolButton;

namespace pelko {

class TFormHandleCapture : public QWidget {
    Q_OBJECT
public:
    // What the bar asks of the command in "Record" mode.
    struct Recording {
        std::function<void()> start;
        std::function<void(bool pause)> pause;
        std::function<RecordingStatus()> status;
        std::function<void(const std::string& why)> endedByItself;
    };

    // grab: takes one picture into the list; false when it failed (it has
    // said why).
    explicit TFormHandleCapture(std::function<bool()> grab, QWidget* parent = nullptr);

    void setRecording(Recording recording) { recording_ = std::move(recording); }
    // Shows the bar for a new capture (nothing grabbed yet).
    void start(const CaptureSettings& settings);
    // The recording has stopped for "Finish and create".
    void recordingFinished();
    bool recordMode() const { return recordMode_; }
    const RecordingBarState& recordingState() const { return recordingState_; }
    // Reads the recorder's status now, as the status timer does.
    void showStatus();
    // Stops both timers (the bar stays up, e.g. under the dialogs of
    // writing the file), and starts keeping it on top again.
    void stopTimers();
    void keepOnTop();
    // Stops both timers and hides the bar without a word.
    void stopAndHide();

    const CaptureBarState& state() const { return state_; }
    QToolButton* captureButton() const { return capture_; }
    QToolButton* pauseButton() const { return pause_; }
    QToolButton* finishButton() const { return finish_; }
    QLabel* counter() const { return counter_; }
    QTimer& captureTimer() { return captureTimer_; }
    // One tick of the capture timer, as the timer gives it.
    void tick();

signals:
    void finishRequested();
    // The user closed the bar: its pictures are to go.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void captureClicked();
    void pauseClicked();
    void runStep(CaptureBarState::Step step);
    void mirror();

    std::function<bool()> grab_;
    CaptureBarState state_;
    QToolButton* capture_ = nullptr;
    QToolButton* pause_ = nullptr;
    QToolButton* finish_ = nullptr;
    QLabel* counter_ = nullptr;
    QTimer captureTimer_;
    QTimer topTimer_;
    QTimer statusTimer_;
    Recording recording_;
    RecordingBarState recordingState_;
    bool recordMode_ = false;
    bool endReported_ = false;
    bool hiding_ = false;
};

}  // namespace pelko
