// The Animation menu: the whole-animation tools of engine/edit. Each command
// asks for its values, runs the tool on the rail (one undo step) and shows
// the project again; a value the project cannot take ends in the rail's
// error box with nothing changed.

#include <QAction>
#include <QCoreApplication>
#include <QScrollArea>
#include <functional>

#include "engine/base/work_folder.h"
#include "engine/edit/canvas_crop.h"
#include "engine/edit/canvas_resize.h"
#include "engine/edit/edit_scope.h"
#include "engine/edit/frame_likeness.h"
#include "engine/edit/frame_order.h"
#include "engine/edit/frame_times.h"
#include "engine/edit/repeated_frames.h"
#include "engine/effects/alpha_blend.h"
#include "engine/project/editing.h"
#include "engine/project/project_options.h"
#include "gui/animation/animation_dialogs.h"
#include "gui/app/main_window.h"

namespace pelko {

namespace {

// The dialogs, and the values last chosen, for the rest of the run.
class AnimationFeature : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    std::shared_ptr<AnimationDialogs> dialogs = std::make_shared<WidgetAnimationDialogs>();
    int tolerance = 0;
    int percent = 50;
    int every = 2;
};

using Tool = std::function<EditToolResult(Project&, ProgressSink&)>;

// Runs tool on the rail behind a progress dialog titled title, then shows
// the project, its problems and the tool's note.
void runTool(TAVIForm& w, AnimationDialogs& dialogs, const QString& title, bool cancellable, const Tool& tool)
{
    Project& project = w.project();
    const EditToolResult r = w.rail().work({w.frameStrip(), title, cancellable},
                                           [&](ProgressSink& progress) { return tool(project, progress); });
    for (const std::string& line : r.problems) project.log.add(line);
    w.sizeCanvas(true);
    w.showSizeStatus();
    w.mirrorProject(project.selection.first());
    if (!r.note.empty())
        dialogs.information(&w, QString::fromStdString(r.note));
}

bool ask(TAVIForm& w, AnimationFeature& f, const QString& title, const QString& text,
         std::vector<ToolNumber>& fields)
{
    return f.dialogs->numbers(&w, title, text, fields);
}

QString scopeText(const Project& project)
{
    return project.selection.count() >= 2
               ? QString("The tool works on the %1 selected frames.").arg(project.selection.count())
               : QString("The tool works on all %1 frames.").arg(project.frames.count());
}

void repeatsCommand(TAVIForm& w, AnimationFeature& f, bool trim)
{
    w.rail().run([&] {
        const bool gif = w.project().settings.isGif();
        const QString title = trim ? "Trim" : gif ? "Remove duplicate frames" : "Drop identical frames";
        QString text =
            trim ? "Frames at the start and the end that differ from their neighbour by no more than "
                   "the tolerance are removed."
                 : "Each run of frames that differ from its first frame by no more than the tolerance "
                   "becomes its first frame.";
        text += gif ? " Their time goes to the frame that stays, so the animation keeps its timing."
                    : " Every frame of an AVI lasts the AVI frame time: the animation gets shorter by the "
                      "frames dropped.";
        std::vector<ToolNumber> fields{{"Tolerance (0: identical pixels)", 0, kMaxTolerance, f.tolerance}};
        if (!ask(w, f, title, text + "\n" + scopeText(w.project()), fields))
            return;
        f.tolerance = fields[0].value;
        const int tolerance = f.tolerance;
        runTool(w, *f.dialogs, title, true, [&](Project& p, ProgressSink& progress) {
            return trim ? trimRepeats(p, tolerance, progress) : dedupeRepeats(p, tolerance, progress);
        });
    });
}

void speedCommand(TAVIForm& w, AnimationFeature& f)
{
    w.rail().run([&] {
        std::vector<ToolNumber> fields{{"Times in percent", kMinSpeedPercent, kMaxSpeedPercent, f.percent}};
        if (!ask(w, f, "Change speed",
                 "The frames' times are multiplied by the percentage (50 plays twice as fast).\n" +
                     scopeText(w.project()),
                 fields))
            return;
        f.percent = fields[0].value;
        runTool(w, *f.dialogs, "Change speed", false,
                [&](Project& p, ProgressSink&) { return scaleTimes(p, f.percent); });
    });
}

void timeCommand(TAVIForm& w, AnimationFeature& f)
{
    w.rail().run([&] {
        Project& project = w.project();
        const std::vector<int> scope = editScope(project);
        const int now = scope.empty() ? 100 : project.frames[std::size_t(scope.front())].Time;
        const int longest = maxFrameTime(project.settings);
        std::vector<ToolNumber> fields{
            {"Time (msec)", minFrameTime(), longest, std::clamp(now, minFrameTime(), longest)}};
        if (!ask(w, f, "Frame time", scopeText(project), fields))
            return;
        const int ms = fields[0].value;
        runTool(w, *f.dialogs, "Frame time", false,
                [&](Project& p, ProgressSink&) { return setTimes(p, ms); });
    });
}

void dropCommand(TAVIForm& w, AnimationFeature& f)
{
    w.rail().run([&] {
        std::vector<ToolNumber> fields{
            {"Drop every Nth frame, N", 2, std::max(2, w.project().frames.count()), f.every}};
        if (!ask(w, f, "Drop every Nth frame",
                 "Each dropped frame's time goes to the frame before it.\n" + scopeText(w.project()), fields))
            return;
        f.every = fields[0].value;
        runTool(w, *f.dialogs, "Drop every Nth frame", false,
                [&](Project& p, ProgressSink&) { return dropEveryNth(p, f.every); });
    });
}

// Select frames and Delete frames: a range by number.
void rangeCommand(TAVIForm& w, AnimationFeature& f, bool erase)
{
    w.rail().run([&] {
        Project& project = w.project();
        const int count = project.frames.count();
        std::vector<ToolNumber> fields{{"From frame", 1, count, 1}, {"To frame", 1, count, count}};
        const QString title = erase ? "Delete frames" : "Select frames";
        if (!ask(w, f, title,
                 erase ? "Frames From to To (both included) are deleted."
                       : "Frames From to To (both included) are selected: the tools work on them.",
                 fields))
            return;
        const int first = fields[0].value, last = fields[1].value;
        runTool(w, *f.dialogs, title, false, [&](Project& p, ProgressSink&) {
            selectRange(p, first, last);
            EditToolResult r;
            if (erase) {
                r.removed = p.selection.count();
                deleteSelected(p);
            }
            return r;
        });
    });
}

std::string workFolder()
{
    return prepareWorkFolder(QCoreApplication::applicationDirPath().toStdString() + "/", userDataHome(),
                             kBlendWorkFolderError);
}

void cropCommand(TAVIForm& w, AnimationFeature& f)
{
    w.rail().run([&] {
        const ProjectSettings& s = w.project().settings;
        std::vector<ToolNumber> fields{{"Left", 0, s.Width - kMinCanvasSide, 0},
                                       {"Top", 0, s.Height - kMinCanvasSide, 0},
                                       {"Width", kMinCanvasSide, s.Width, s.Width},
                                       {"Height", kMinCanvasSide, s.Height, s.Height}};
        if (!ask(w, f, "Crop canvas",
                 QString(
                     "The canvas of %1 x %2 is cut to the rectangle; the pictures stay where they are on it.")
                     .arg(s.Width)
                     .arg(s.Height),
                 fields))
            return;
        const Rect crop{fields[0].value, fields[1].value, fields[2].value, fields[3].value};
        const std::string work = workFolder();
        runTool(w, *f.dialogs, "Crop canvas", true,
                [&](Project& p, ProgressSink& progress) { return cropCanvas(p, crop, work, progress); });
    });
}

void resizeCommand(TAVIForm& w, AnimationFeature& f)
{
    w.rail().run([&] {
        const ProjectSettings& s = w.project().settings;
        std::vector<ToolNumber> fields{{"Width", kMinCanvasSide, kMaxCanvasSide, s.Width},
                                       {"Height", kMinCanvasSide, kMaxCanvasSide, s.Height}};
        if (!ask(w, f, "Resize animation",
                 "Every frame is scaled with the canvas; the source pictures stay as they are.", fields))
            return;
        const int width = fields[0].value, height = fields[1].value;
        const std::string work = workFolder();
        runTool(w, *f.dialogs, "Resize animation", true, [&](Project& p, ProgressSink& progress) {
            return resizeAnimation(p, width, height, work, progress);
        });
    });
}

void orderCommand(TAVIForm& w, AnimationFeature& f, bool yoyo)
{
    w.rail().run([&] {
        runTool(w, *f.dialogs, yoyo ? "Yo-yo" : "Reverse frames", false,
                [&](Project& p, ProgressSink&) { return yoyo ? yoyoFrames(p) : reverseFrames(p); });
    });
}

}  // namespace

void setAnimationDialogs(TAVIForm& window, std::shared_ptr<AnimationDialogs> dialogs)
{
    window.feature<AnimationFeature>()->dialogs = std::move(dialogs);
}

void installAnimationCommands(TAVIForm& window)
{
    auto* f = new AnimationFeature(&window);
    CommandRegistry& c = window.commands();
    const auto add = [&](const char* id, const char* caption, const char* hint, const char* undo,
                         std::function<void(TAVIForm&)> body) {
        c.add({.id = id,
               .caption = caption,
               .hint = hint,
               .enabled = enabled::listNotEmpty,
               .execute = [body](TAVIForm& w, bool) { body(w); },
               .undoName = undo});
    };
    add("ActionTrim", "Trim...", "Remove repeated frames at the start and the end", "Trim",
        [f](TAVIForm& w) { repeatsCommand(w, *f, true); });
    add("ActionRemoveDuplicates", "Remove duplicate frames...",
        "Make each run of repeated frames one frame (in an AVI: drop identical frames)", "Remove duplicates",
        [f](TAVIForm& w) { repeatsCommand(w, *f, false); });
    add("ActionSpeed", "Change speed...", "Multiply the frames' times by a percentage", "Change speed",
        [f](TAVIForm& w) { speedCommand(w, *f); });
    add("ActionFrameTime", "Frame time...", "Give the frames one time", "Frame time",
        [f](TAVIForm& w) { timeCommand(w, *f); });
    add("ActionDropEvery", "Drop every Nth frame...", "Drop every Nth frame, its time to the frame before",
        "Drop every Nth frame", [f](TAVIForm& w) { dropCommand(w, *f); });
    add("ActionSelectRange", "Select frames...", "Select frames by number", "Select frames",
        [f](TAVIForm& w) { rangeCommand(w, *f, false); });
    add("ActionDeleteRange", "Delete frames...", "Delete frames by number", "Delete %n",
        [f](TAVIForm& w) { rangeCommand(w, *f, true); });
    add("ActionReverse", "Reverse", "Reverse the order of the frames", "Reverse",
        [f](TAVIForm& w) { orderCommand(w, *f, false); });
    add("ActionYoyo", "Yo-yo", "Append the frames backwards, so the loop goes there and back", "Yo-yo",
        [f](TAVIForm& w) { orderCommand(w, *f, true); });
    add("ActionCropCanvas", "Crop canvas...", "Cut the canvas to a rectangle", "Crop canvas",
        [f](TAVIForm& w) { cropCommand(w, *f); });
    add("ActionResizeAnimation", "Resize animation...", "Scale the whole animation to a new size",
        "Resize animation", [f](TAVIForm& w) { resizeCommand(w, *f); });
}

}  // namespace pelko

#include "animation_commands.moc"
