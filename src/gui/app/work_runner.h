#pragma once
// WorkRunner: how a command's long work runs. The work goes to a worker
// thread while the user-interface thread shows a progress dialog with a
// Cancel button where the work can stop. The dialog waits a moment before
// it appears, so short work shows none; until then clicks and keys wait.
//
// Work that changes the project runs in steps: at each progress report the
// worker waits while the user-interface thread serves its events, so
// nothing on screen reads the project while it changes. Work that only
// reads it runs freely beside the events.
//
// The label counts frames ("Frame 12 of 300") for work that makes a known
// number of frames, or shows the frames the project has ("Frames: 12").

#include <QProgressDialog>
#include <QString>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

#include "engine/base/progress.h"

class QWidget;

namespace pelko {

class WorkRunner {
public:
    // frames: the number of frames the work makes. Work that reports its
    // frames (ProgressSink::frames) is counted exactly; for other work the
    // count follows the percentage, framesShare being the percentage at which
    // its last frame is done.
    WorkRunner(QWidget* parent, const QString& title, int frames, int framesShare = 100,
               bool cancellable = true);
    // Work that changes the project, in steps; frameCount is read on the
    // worker at each step for the "Frames: N" label.
    WorkRunner(QWidget* parent, const QString& title, bool cancellable, std::function<int()> frameCount);

    // Runs work(ProgressSink&) on a worker thread and returns what it returns;
    // an error it raises is raised here. The sink's cancelled() turns true
    // once the user has pressed Cancel.
    template <class F>
    auto run(F&& work) -> decltype(work(std::declval<ProgressSink&>()));

    bool cancelled() const { return dialog_.wasCanceled(); }
    QProgressDialog& dialog() { return dialog_; }
    // "Frame 12 of 300": the frame being made, from the frames made so far
    // (done) or, when the work reports none (done -1), from its percentage.
    QString label(int percent, int done = -1) const;

private:
    void runOnWorker(const std::function<void(ProgressSink&)>& body);
    void show(int percent, const QString& text);

    QProgressDialog dialog_;
    int frames_ = 0;
    int framesShare_ = 100;
    std::function<int()> frameCount_;  // set: stepwise, "Frames: N"
};

template <class F>
auto WorkRunner::run(F&& work) -> decltype(work(std::declval<ProgressSink&>()))
{
    using Result = decltype(work(std::declval<ProgressSink&>()));
    if constexpr (std::is_void_v<Result>) {
        runOnWorker([&](ProgressSink& sink) { work(sink); });
    } else {
        std::optional<Result> result;
        runOnWorker([&](ProgressSink& sink) { result.emplace(work(sink)); });
        return std::move(*result);
    }
}

}  // namespace pelko
