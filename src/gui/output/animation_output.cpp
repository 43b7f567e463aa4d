#include "gui/output/animation_output.h"

#include <QFileInfo>
#include <QScrollArea>

#include "engine/output/generate_video.h"
#include "engine/output/size_budget.h"
#include "engine/output/size_estimate.h"
#include "gui/app/command_rail.h"
#include "gui/app/main_window.h"
#include "gui/output/animation_options_form.h"
#include "gui/output/generate_state.h"

namespace pelko {

namespace {

VideoFileOptions videoOptions(const AnimationOptionsValues& v, OutputKind kind)
{
    VideoFileOptions o;
    o.format = kind == OutputKind::Mp4 ? VideoFormat::Mp4 : VideoFormat::WebM;
    o.crf = kind == OutputKind::Mp4 ? v.h264Crf : v.vp9Crf;
    o.preset = v.preset;
    o.maxBytes = v.maxBytes();
    return o;
}

QString progressTitle(OutputKind kind)
{
    switch (kind) {
        case OutputKind::WebP:
            return QStringLiteral("Generate animated WebP");
        case OutputKind::Apng:
            return QStringLiteral("Generate animated PNG");
        case OutputKind::Mp4:
            return QStringLiteral("Generate MP4");
        default:
            return QStringLiteral("Generate WebM");
    }
}

}  // namespace

AnimationWritten writeAnimationOutput(TAVIForm& w, GenerateState& state, const QString& path, OutputKind kind)
{
    Project& project = w.project();
    CommandRail& rail = w.rail();
    AnimationWritten written;
    AnimationOptionsValues chosen;
    {
        QWidget* shown = nullptr;  // the form, once made: the estimate's progress sits over it
        const auto estimate = [&project, &rail, &state, &shown]() -> QString {
            EstimateOptions o;
            o.webp = state.animation.webp;
            o.apng = state.animation.apng;
            o.video = videoOptions(state.animation, OutputKind::Mp4);
            o.video.maxBytes = 0;
            const std::vector<SizeEstimate> sizes =
                rail.work({nullptr, "Estimating sizes", true, project.frames.count(), 100, shown},
                          [&](ProgressSink& sink) {
                              return estimateOutputSizes(project,
                                                         {OutputKind::Gif, OutputKind::WebP, OutputKind::Apng,
                                                          OutputKind::Mp4, OutputKind::WebM},
                                                         o, sink);
                          });
            return QString::fromStdString(estimateLine(sizes));
        };
        TAnimationOptionsForm form(QFileInfo(path).fileName(), kind, state.animation, estimate, &w);
        shown = &form;
        if (!state.dialogs->animationOptions(form))
            return written;
        chosen = form.values();
    }
    written.asked = true;
    state.animation = chosen;
    const std::string file = path.toStdString();
    const std::int64_t budget = chosen.maxBytes();
    CommandRail::Work how;
    how.held = w.frameStrip();
    how.progressTitle = progressTitle(kind);
    how.cancellable = true;
    how.frames = project.frames.count();
    const OutputResult result = rail.work(how, [&](ProgressSink& sink) {
        switch (kind) {
            case OutputKind::WebP:
                return budget > 0 ? generateWebpUnderBudget(project, chosen.webp, budget, file, sink)
                                  : generateWebpFile(project, chosen.webp, file, sink);
            case OutputKind::Apng:
                return generateApngFile(project, chosen.apng, file, sink);
            default:
                return generateVideoFile(project, file, videoOptions(chosen, kind), sink);
        }
    });
    rail.showErrors(result.messages);
    written.ok = result.ok;
    if (result.budget)
        written.budget = QString::fromStdString(budgetReportText(*result.budget));
    return written;
}

}  // namespace pelko
