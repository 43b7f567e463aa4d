#include "gui/output/frame_progress.h"

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <future>
#include <thread>

namespace pelko {
namespace {

// How often the dialog follows the work.
constexpr auto kTick = std::chrono::milliseconds(15);

// What the worker reports into and reads the user's Cancel from.
class SharedProgress : public ProgressSink {
public:
    void progress(int percent) override { percent_ = percent; }
    void frames(int done, int) override { done_ = done; }
    bool cancelled() const override { return stop_; }
    int percent() const { return percent_; }
    int done() const { return done_; }
    void stop() { stop_ = true; }

private:
    std::atomic<int> percent_{0};
    std::atomic<int> done_{-1};
    std::atomic<bool> stop_{false};
};

}  // namespace

FrameProgress::FrameProgress(QWidget* parent, const QString& title, int frames, int framesShare)
    : dialog_(parent), frames_(std::max(frames, 0)), framesShare_(std::clamp(framesShare, 1, 100))
{
    dialog_.setObjectName("frameProgress");
    dialog_.setWindowTitle(title);
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setCancelButtonText("Cancel");
    dialog_.setRange(0, 100);
    dialog_.setMinimumDuration(500);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.setLabelText(label(0));
    dialog_.setValue(0);
}

QString FrameProgress::label(int percent, int done) const
{
    if (percent >= 100)
        done = frames_;
    else if (done < 0)
        done = percent * frames_ / framesShare_;
    done = std::min(done, frames_);
    return QString("Frame %1 of %2").arg(std::clamp(done + 1, 1, std::max(frames_, 1))).arg(frames_);
}

void FrameProgress::show(int percent, int done)
{
    const QString text = label(percent, done);
    if (dialog_.labelText() != text)
        dialog_.setLabelText(text);
    if (dialog_.value() != std::min(percent, 100))
        dialog_.setValue(std::min(percent, 100));
}

void FrameProgress::runOnWorker(const std::function<void(ProgressSink&)>& body)
{
    SharedProgress sink;
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
    std::exception_ptr error;
    std::thread worker([&] {
        try {
            body(sink);
        } catch (...) {
            error = std::current_exception();
        }
        finished.set_value();
    });
    // However this loop ends (an event handler may raise), the worker is
    // told to stop and waited for: it reads what its caller owns.
    struct Join {
        std::thread& worker;
        SharedProgress& sink;
        ~Join()
        {
            sink.stop();
            worker.join();
        }
    } join{worker, sink};

    do {
        if (dialog_.wasCanceled())
            sink.stop();
        // A command must not start while this one works; once the dialog
        // shows, it blocks the window itself.
        QCoreApplication::processEvents(dialog_.isVisible() ? QEventLoop::AllEvents
                                                            : QEventLoop::ExcludeUserInputEvents);
        if (dialog_.wasCanceled())
            sink.stop();
        show(sink.percent(), sink.done());
    } while (done.wait_for(kTick) != std::future_status::ready);
    show(sink.percent(), sink.done());
    dialog_.hide();
    if (error)
        std::rethrow_exception(error);
}

}  // namespace pelko
