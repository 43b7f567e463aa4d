#include "gui/capture/handle_capture_form.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace pelko {

namespace {

constexpr int kKeepOnTopMs = 1000;
constexpr int kStatusMs = 100;

QToolButton* barButton(const char* name, const char* hint, QStyle::StandardPixmap icon, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setAutoRaise(true);
    return b;
}

}  // namespace

TFormHandleCapture::TFormHandleCapture(std::function<bool()> grab, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), grab_(std::move(grab))
{
    setObjectName("TFormHandleCapture");
    setWindowTitle("Capture");
    // the main window is hidden while the bar is up: closing the bar ends
    // the capture, not the program
    setAttribute(Qt::WA_QuitOnClose, false);
    capture_ = barButton("Capture", "Capture", QStyle::SP_MediaPlay, this);
    pause_ = barButton("Pause", "Pause", QStyle::SP_MediaPause, this);
    finish_ = barButton("Finish", "Finish and create", QStyle::SP_DialogSaveButton, this);
    counter_ = new QLabel(this);
    counter_->setObjectName("counter");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 4, 4, 4);
    row->addWidget(capture_);
    row->addWidget(pause_);
    row->addWidget(finish_);
    row->addWidget(counter_);

    captureTimer_.setTimerType(Qt::PreciseTimer);
    connect(&captureTimer_, &QTimer::timeout, this, &TFormHandleCapture::tick);
    topTimer_.setInterval(kKeepOnTopMs);
    connect(&topTimer_, &QTimer::timeout, this, [this] {
        show();
        raise();
    });
    statusTimer_.setInterval(kStatusMs);
    connect(&statusTimer_, &QTimer::timeout, this, &TFormHandleCapture::showStatus);
    connect(capture_, &QToolButton::clicked, this, &TFormHandleCapture::captureClicked);
    connect(pause_, &QToolButton::clicked, this, &TFormHandleCapture::pauseClicked);
    connect(finish_, &QToolButton::clicked, this, [this] {
        if (recordMode_ ? recordingState_.finishEnabled() : state_.finishEnabled())
            emit finishRequested();
    });
    mirror();
}

void TFormHandleCapture::start(const CaptureSettings& settings)
{
    state_.show(settings.autoMode, settings.maxFrames, settings.format);
    captureTimer_.setInterval(settings.periodMs);
    captureTimer_.stop();
    recordMode_ = settings.recordMode;
    recordingState_.show(settings.format);
    endReported_ = false;
    statusTimer_.stop();
    mirror();
    adjustSize();
    show();
    raise();
    topTimer_.start();
}

void TFormHandleCapture::recordingFinished()
{
    showStatus();
    recordingState_.finished();
    statusTimer_.stop();
    mirror();
}

void TFormHandleCapture::showStatus()
{
    if (!recordMode_ || !recordingState_.started() || !recording_.status)
        return;
    const RecordingStatus status = recording_.status();
    recordingState_.update(status);
    mirror();
    if (!status.running && !status.error.empty() && !endReported_) {
        endReported_ = true;
        statusTimer_.stop();
        if (recording_.endedByItself)
            recording_.endedByItself(status.error);
    }
}

void TFormHandleCapture::stopTimers()
{
    state_.stop();
    topTimer_.stop();
    mirror();
}

void TFormHandleCapture::keepOnTop()
{
    if (isVisible())
        topTimer_.start();
}

void TFormHandleCapture::stopAndHide()
{
    state_.stop();
    statusTimer_.stop();
    captureTimer_.stop();
    topTimer_.stop();
    hiding_ = true;
    hide();
    hiding_ = false;
}

void TFormHandleCapture::captureClicked()
{
    if (!recordMode_) {
        runStep(state_.captureClicked());
        return;
    }
    if (recordingState_.captureClicked() == RecordingBarState::Step::Start && recording_.start) {
        recording_.start();
        statusTimer_.start();
    }
    showStatus();
}

void TFormHandleCapture::pauseClicked()
{
    if (!recordMode_) {
        state_.pauseClicked();
        mirror();
        return;
    }
    const RecordingBarState::Step step = recordingState_.pauseClicked();
    if (step != RecordingBarState::Step::Nothing && recording_.pause)
        recording_.pause(step == RecordingBarState::Step::Pause);
    showStatus();
}

void TFormHandleCapture::tick()
{
    runStep(state_.tick());
}

void TFormHandleCapture::runStep(CaptureBarState::Step step)
{
    if (step == CaptureBarState::Step::Grab) {
        if (grab_ && grab_())
            state_.grabbed();
        else
            state_.grabFailed();
    }
    mirror();
}

void TFormHandleCapture::mirror()
{
    if (recordMode_) {
        capture_->setEnabled(recordingState_.captureEnabled());
        pause_->setVisible(true);
        pause_->setEnabled(recordingState_.pauseEnabled());
        pause_->setToolTip(recordingState_.pauseHint());
        finish_->setEnabled(recordingState_.finishEnabled());
        finish_->setToolTip(recordingState_.finishHint());
        counter_->setText(QString::fromStdString(recordingState_.counterText()));
        setWindowTitle(QString::fromStdString(recordingState_.caption()));
        return;
    }
    pause_->setToolTip("Pause");
    capture_->setEnabled(state_.captureEnabled());
    pause_->setVisible(state_.pauseVisible());
    pause_->setEnabled(state_.pauseEnabled());
    finish_->setEnabled(state_.finishEnabled());
    finish_->setToolTip(state_.finishHint());
    counter_->setText(QString::fromStdString(state_.counterText()));
    setWindowTitle(QString::fromStdString(state_.caption()));
    // the timer follows the rules: started with a run, stopped from its own tick
    if (state_.timerRunning() && !captureTimer_.isActive())
        captureTimer_.start();
    else if (!state_.timerRunning() && captureTimer_.isActive())
        captureTimer_.stop();
}

void TFormHandleCapture::closeEvent(QCloseEvent* event)
{
    state_.stop();
    statusTimer_.stop();
    captureTimer_.stop();
    topTimer_.stop();
    QWidget::closeEvent(event);
    if (!hiding_)
        emit closedByUser();
}

}  // namespace pelko
