// Showing the project in the window: the cards, the preview, the enabled
// commands, the log panel and the status panels after a command.

#include <QScrollArea>
#include <QScrollBar>

#include "engine/project/editing.h"
#include "engine/project/frame_cache.h"
#include "gui/app/main_window.h"
#include "gui/app/picture_image.h"
#include "gui/frames/frame_strip.h"
#include "gui/frames/preview_canvas.h"

namespace pelko {

void TAVIForm::setSourceReader(std::unique_ptr<SourceReader> reader)
{
    reader_ = std::move(reader);
    project_.cache->setReader(reader_);
}

void TAVIForm::mirrorProject(int previewIndex)
{
    cards_->frameCountChanged();
    showPreview(previewIndex);
    applyEnabling();
    showLog();
    showFrameStatus();
}

void TAVIForm::scrollStripTo(int y)
{
    QScrollBar* bar = frameStrip_->verticalScrollBar();
    bar->setRange(0, std::max(0, cards_->contentHeight() - frameStrip_->viewport()->height()));
    bar->setValue(std::clamp(y, bar->minimum(), bar->maximum()));
}

void TAVIForm::showPreview(int index)
{
    previewArea_->horizontalScrollBar()->setValue(0);
    previewArea_->verticalScrollBar()->setValue(0);
    if (index < 0 || index >= project_.frames.count()) {
        canvas_->setPicture({}, {});
        return;
    }
    // rendered here when the cache does not hold it: one frame is quick, and
    // the preview shows what was asked for at once
    const FrameRecord& f = project_.frames[std::size_t(index)];
    canvas_->setPicture(toImage(previewPicture(f, frameImage(project_, index).get())), {f.Left, f.Top});
    if (takeRenderProblems())
        showLog();
}

void TAVIForm::sizeCanvas(bool shown)
{
    canvas_->setSurfaceSize(project_.settings.Width, project_.settings.Height);
    // a canvas without size would show nothing but its bevel
    canvas_->setVisible(shown && project_.settings.Width > 0 && project_.settings.Height > 0);
}

void TAVIForm::afterEdit(const EditResult& result)
{
    if (result.canvasChanged || !project_.settings.FixAtFirstFrame)
        sizeCanvas(true);
    showSizeStatus();
    mirrorProject(project_.selection.first());
    showErrors(result.errors);
}

}  // namespace pelko
