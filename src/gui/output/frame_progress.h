#pragma once
// FrameProgress: how generation runs. The work goes to a worker thread while
// the user-interface thread goes on serving events and shows a progress
// dialog that counts frames ("Frame 12 of 300") with a Cancel button. Until
// the dialog appears (it waits a moment, so short work shows none), clicks
// and keys wait, as with the command rail's own progress dialog.

#include <QProgressDialog>
#include <QString>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

#include "engine/base/progress.h"

class QWidget;

namespace pelko {

class FrameProgress {
public:
    // frames: the number of frames the work makes. Work that reports its
    // frames (ProgressSink::frames) is counted exactly; for other work the
    // count follows the percentage, framesShare being the percentage at which
    // its last frame is done.
    FrameProgress(QWidget* parent, const QString& title, int frames, int framesShare = 100);

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
    void show(int percent, int done);

    QProgressDialog dialog_;
    int frames_;
    int framesShare_;
};

template <class F>
auto FrameProgress::run(F&& work) -> decltype(work(std::declval<ProgressSink&>()))
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
