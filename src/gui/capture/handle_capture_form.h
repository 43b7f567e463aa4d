#pragma once
// TFormHandleCapture: the capture bar. A small tool window captioned
// "Capture", kept above all windows, with "Capture", "Pause", "Finish and
// create" and the counter. It follows the rules of CaptureBarState; the
// capture timer and the keep-on-top timer are Qt timers on the user-interface
// thread, so a tick and a click never overlap. Grabbing and writing are the
// command's: the bar calls grab() when a picture is due and says when the
// user wants the file or closes the bar.

#include <QTimer>
#include <QWidget>
#include <functional>

#include "engine/capture/capture_bar_state.h"

class QLabel;
class QToolButton;

namespace pelko {

class TFormHandleCapture : public QWidget {
    Q_OBJECT
public:
    // grab: takes one picture into the list; false when it failed (it has
    // said why).
    explicit TFormHandleCapture(std::function<bool()> grab, QWidget* parent = nullptr);

    // Shows the bar for a new capture (nothing grabbed yet).
    void start(const CaptureSettings& settings);
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
    bool hiding_ = false;
};

}  // namespace pelko
