#pragma once
// CommandRail: how every command of the main window runs. A command's handler
// hands its body to run(), which refuses to start it while another command is
// at work (a progress dialog lets events through), shows an error that
// escapes the body in the "Error" box and goes on, and brings the window up to
// date once the outermost command ends. Inside the body, work() runs the long
// part with the wait cursor, a held widget and, where asked, on a worker
// behind a progress dialog (WorkRunner); showErrors() shows the texts a
// command collected, all in one box.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "engine/base/progress.h"
#include "engine/project/project.h"
#include "gui/app/dialog_provider.h"
#include "gui/app/wait_guard.h"
#include "gui/app/work_runner.h"

namespace pelko {

// The text of an error that is not one of the program's own exceptions.
extern const char* const kUnknownError;

class CommandRail {
public:
    // How the long part of a command runs.
    struct Work {
        QWidget* held = nullptr;   // its drawing is held back while the work runs
        QString progressTitle;     // empty: no progress dialog, the work runs here
        bool cancellable = false;  // Cancel only where the work can stop halfway
        // Work that makes this many frames and only reads the project (-1:
        // work that changes the project, in steps; see WorkRunner).
        int frames = -1;
        int framesShare = 100;
        QWidget* dialogParent = nullptr;  // null: the window
    };

    // dialogs is asked on every use, so a window may swap its provider.
    // started runs before the outermost command, finished after it,
    // however it ended.
    CommandRail(QWidget* window, const Project& project, std::function<DialogProvider&()> dialogs,
                std::function<void()> started, std::function<void()> finished);

    // Runs a command's body. False when it was refused because another
    // command is at work, or when an error escaped it.
    template <class F>
    bool run(F&& body);

    // The long part of a command; returns what work returns.
    template <class F>
    auto work(const Work& how, F&& work) -> decltype(work(std::declval<ProgressSink&>()));

    // The message box texts a command collected: one box for one text, one box
    // listing them all for several.
    void showErrors(const std::vector<std::string>& errors);
    void showError(const QString& text, bool icon = true);

    bool busy() const { return depth_ > 0; }
    bool working() const { return working_; }

private:
    void reportEscaped(const char* what);

    QWidget* window_;
    const Project& project_;
    std::function<DialogProvider&()> dialogs_;
    std::function<void()> started_;
    std::function<void()> finished_;
    int depth_ = 0;         // commands running, the outermost first
    bool working_ = false;  // in work(): events may arrive, new commands wait
};

template <class F>
bool CommandRail::run(F&& body)
{
    if (working_)
        return false;
    struct Depth {
        CommandRail& rail;
        explicit Depth(CommandRail& r) : rail(r)
        {
            if (rail.depth_++ == 0 && rail.started_)
                rail.started_();
        }
        ~Depth()
        {
            if (--rail.depth_ == 0 && rail.finished_)
                rail.finished_();
        }
    } depth(*this);
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        reportEscaped(e.what());
    } catch (...) {
        reportEscaped(nullptr);
    }
    return false;
}

template <class F>
auto CommandRail::work(const Work& how, F&& work) -> decltype(work(std::declval<ProgressSink&>()))
{
    struct Working {
        bool& flag;
        bool was;
        explicit Working(bool& f) : flag(f), was(f) { flag = true; }
        ~Working() { flag = was; }
    } working(working_);
    WaitGuard wait(how.held);
    if (how.progressTitle.isEmpty())
        return work(noProgress());
    QWidget* parent = how.dialogParent ? how.dialogParent : window_;
    if (how.frames >= 0) {
        WorkRunner runner(parent, how.progressTitle, how.frames, how.framesShare, how.cancellable);
        return runner.run(std::forward<F>(work));
    }
    WorkRunner runner(parent, how.progressTitle, how.cancellable, [this] { return project_.frames.count(); });
    return runner.run(std::forward<F>(work));
}

}  // namespace pelko
