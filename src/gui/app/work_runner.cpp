#include "gui/app/work_runner.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace pelko {
namespace {

// How often the dialog follows work that runs freely.
constexpr auto kTick = std::chrono::milliseconds(15);

// What the worker reports into and reads the user's Cancel from. In steps,
// each report parks the worker until the user-interface thread lets it go.
class SharedProgress : public ProgressSink {
public:
    SharedProgress(bool stepwise, std::function<int()> count) : stepwise_(stepwise), count_(std::move(count))
    {
    }

    void progress(int percent) override
    {
        std::unique_lock lock(mutex_);
        percent_ = percent;
        if (!stepwise_ || stop_)
            return;
        // In steps, the worker parks once a tick at most: parking at every
        // report served the events after each frame of a long list, and a
        // project of 100 000 frames took minutes to open.
        const auto now = std::chrono::steady_clock::now();
        if (now - lastPark_ < kTick)
            return;
        lastPark_ = now;
        if (count_)
            frameCount_ = count_();  // the project holds still while parked
        parked_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !parked_ || stop_; });
    }
    void frames(int done, int) override
    {
        std::lock_guard lock(mutex_);
        done_ = done;
    }
    bool cancelled() const override
    {
        std::lock_guard lock(mutex_);
        return stop_;
    }

    // The user-interface side: waits for a parked worker (in steps) or a
    // tick, whichever the mode asks; true once the work has ended.
    bool wait()
    {
        std::unique_lock lock(mutex_);
        if (stepwise_)
            changed_.wait(lock, [this] { return parked_ || ended_; });
        else
            changed_.wait_for(lock, kTick, [this] { return ended_; });
        return ended_ && !parked_;
    }
    void release()
    {
        std::lock_guard lock(mutex_);
        parked_ = false;
        changed_.notify_all();
    }
    void stop()
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        parked_ = false;
        changed_.notify_all();
    }
    void end()
    {
        std::lock_guard lock(mutex_);
        ended_ = true;
        changed_.notify_all();
    }
    int percent() const
    {
        std::lock_guard lock(mutex_);
        return percent_;
    }
    int done() const
    {
        std::lock_guard lock(mutex_);
        return done_;
    }
    int frameCount() const
    {
        std::lock_guard lock(mutex_);
        return frameCount_;
    }

private:
    const bool stepwise_;
    const std::function<int()> count_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int percent_ = 0;
    int done_ = -1;
    int frameCount_ = 0;
    bool parked_ = false;
    std::chrono::steady_clock::time_point lastPark_{};
    bool stop_ = false;
    bool ended_ = false;
};

void setUpDialog(QProgressDialog& dialog, const QString& title, bool cancellable)
{
    dialog.setObjectName("frameProgress");
    dialog.setWindowTitle(title);
    dialog.setWindowModality(Qt::WindowModal);
    if (cancellable)
        dialog.setCancelButtonText("Cancel");
    else
        dialog.setCancelButton(nullptr);
    dialog.setRange(0, 100);
    dialog.setMinimumDuration(500);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setValue(0);
}

}  // namespace

WorkRunner::WorkRunner(QWidget* parent, const QString& title, int frames, int framesShare, bool cancellable)
    : dialog_(parent), frames_(std::max(frames, 0)), framesShare_(std::clamp(framesShare, 1, 100))
{
    setUpDialog(dialog_, title, cancellable);
    dialog_.setLabelText(label(0));
}

WorkRunner::WorkRunner(QWidget* parent, const QString& title, bool cancellable,
                       std::function<int()> frameCount)
    : dialog_(parent), frameCount_(std::move(frameCount))
{
    setUpDialog(dialog_, title, cancellable);
    dialog_.setLabelText(QString("Frames: %1").arg(frameCount_()));
}

QString WorkRunner::label(int percent, int done) const
{
    if (percent >= 100)
        done = frames_;
    else if (done < 0)
        done = percent * frames_ / framesShare_;
    done = std::min(done, frames_);
    return QString("Frame %1 of %2").arg(std::clamp(done + 1, 1, std::max(frames_, 1))).arg(frames_);
}

void WorkRunner::show(int percent, const QString& text)
{
    if (dialog_.labelText() != text)
        dialog_.setLabelText(text);
    if (dialog_.value() != std::min(percent, 100))
        dialog_.setValue(std::min(percent, 100));
}

void WorkRunner::runOnWorker(const std::function<void(ProgressSink&)>& body)
{
    SharedProgress sink(bool(frameCount_), frameCount_);
    std::exception_ptr error;
    std::thread worker([&] {
        try {
            body(sink);
        } catch (...) {
            error = std::current_exception();
        }
        sink.end();
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

    const auto text = [&] {
        return frameCount_ ? QString("Frames: %1").arg(sink.frameCount())
                           : label(sink.percent(), sink.done());
    };
    while (!sink.wait()) {
        // A command must not start while this one works; once the dialog
        // shows, it blocks the window itself.
        QCoreApplication::processEvents(dialog_.isVisible() ? QEventLoop::AllEvents
                                                            : QEventLoop::ExcludeUserInputEvents);
        show(sink.percent(), text());
        if (dialog_.wasCanceled())
            sink.stop();
        sink.release();
    }
    show(sink.percent(), text());
    dialog_.hide();
    if (error)
        std::rethrow_exception(error);
}

}  // namespace pelko
