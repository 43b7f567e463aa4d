#include "gui/capture/handle_capture_form.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace pelko {

namespace {

constexpr int kKeepOnTopMs = 1000;

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
    connect(capture_, &QToolButton::clicked, this, &TFormHandleCapture::captureClicked);
    connect(pause_, &QToolButton::clicked, this, &TFormHandleCapture::pauseClicked);
    connect(finish_, &QToolButton::clicked, this, [this] {
        if (state_.finishEnabled())
            emit finishRequested();
    });
    mirror();
}

void TFormHandleCapture::start(const CaptureSettings& settings)
{
    state_.show(settings.autoMode, settings.maxFrames, settings.format);
    captureTimer_.setInterval(settings.periodMs);
    captureTimer_.stop();
    mirror();
    adjustSize();
    show();
    raise();
    topTimer_.start();
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
    captureTimer_.stop();
    topTimer_.stop();
    hiding_ = true;
    hide();
    hiding_ = false;
}

void TFormHandleCapture::captureClicked()
{
    runStep(state_.captureClicked());
}

void TFormHandleCapture::pauseClicked()
{
    state_.pauseClicked();
    mirror();
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
    captureTimer_.stop();
    topTimer_.stop();
    QWidget::closeEvent(event);
    if (!hiding_)
        emit closedByUser();
}

}  // namespace pelko
