// "Save frame" and "Copy": the picture of the frame shown in the preview
// written to a BMP, GIF, JPEG or PNG file after the format's options
// dialog, or put on the clipboard; and the preview's pop-up menu that
// offers both.

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <exception>

#include "engine/export/export_frame.h"
#include "engine/project/gif_color_options.h"
#include "gui/app/main_window.h"
#include "gui/app/picture_image.h"
#include "gui/colour/gif_option_form.h"
#include "gui/export/bmp_form.h"
#include "gui/export/jpg_form.h"
#include "gui/export/png_form.h"
#include "gui/frames/preview_canvas.h"
#include "gui/output/frame_progress.h"

namespace pelko {

const char* const kGifMimeType = "image/gif";

void TAVIForm::connectExportCommands()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    export_.settings = initialExportSettings(screen ? screen->depth() : 24);
    connect(ActionSaveFrame, &QAction::triggered, this, &TAVIForm::ActionSaveFrameExecute);
    connect(ActionCopy, &QAction::triggered, this, &TAVIForm::ActionCopyExecute);

    export_.previewMenu = new QMenu(this);
    export_.previewMenu->setObjectName("previewMenu");
    export_.previewMenu->addAction(ActionSaveFrame);
    export_.previewMenu->addSeparator();
    export_.previewMenu->addAction(ActionCopy);
    canvas_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(canvas_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (QMenu* menu = previewPopupMenu())
            menu->popup(canvas_->mapToGlobal(pos));
    });
}

QMenu* TAVIForm::previewPopupMenu() const
{
    return project_.selection.empty() ? nullptr : export_.previewMenu;
}

void TAVIForm::ActionSaveFrameExecute()
{
    rail_.run([this] { saveFrame(); });
}

void TAVIForm::ActionCopyExecute()
{
    rail_.run([this] { copyFrame(); });
}

void TAVIForm::saveFrame()
{
    const int index = project_.selection.first();
    if (index < 0)
        return;
    ExportSettings& s = export_.settings;
    s.showBmp = showFlags_[2];
    s.showJpg = showFlags_[3];
    s.gif.showAlways = showFlags_[4];
    s.showPng = showFlags_[5];
    const QString path = export_.dialogs->saveFrameFile(this);
    repaint();
    if (path.isEmpty())
        return;
    // the options dialogs of Generate show the same name
    s.lastSavedName = QFileInfo(path).fileName().toStdString();
    generate_.output.OutputName = s.lastSavedName;
    const ExportFormat format = exportFormatOf(path.toStdString());
    if (format == ExportFormat::None)
        return;  // an extension of no format saves nothing

    const Picture picture = exportPicture(project_, index);
    const bool confirmed = exportOptions(format, picture);
    showFlags_[2] = s.showBmp;
    showFlags_[3] = s.showJpg;
    showFlags_[4] = s.gif.showAlways;
    showFlags_[5] = s.showPng;
    if (takeRenderProblems())
        showLog();
    if (!confirmed)
        return;
    if (format == ExportFormat::Gif)
        setGifCodecDefaults(s.gif.gif);
    repaint();

    const std::string file = path.toStdString();
    const ExportSettings settings = s;
    try {
        FrameProgress progress(this, "Save frame", 1);
        rail_.work({canvas_, {}, false}, [&](ProgressSink&) {
            progress.run([&](ProgressSink&) { saveExport(picture, file, settings); });
        });
    } catch (const std::bad_alloc&) {
        rail_.showError(path + ": not enough memory to save the frame");
    } catch (const std::exception& e) {
        rail_.showError(QString::fromUtf8(e.what()));
    }
}

bool TAVIForm::exportOptions(ExportFormat format, const Picture& picture)
{
    ExportSettings& s = export_.settings;
    const QString caption = QString::fromStdString(s.lastSavedName);
    switch (format) {
        case ExportFormat::Bmp: {
            if (!s.showBmp)
                return true;
            TBMPForm form(caption, picture, {s.bmpBits, s.showBmp}, this);
            if (!export_.dialogs->bmpOptions(form))
                return false;
            s.bmpBits = form.values().bits;
            s.showBmp = form.values().showAlways;
            return true;
        }
        case ExportFormat::Jpeg: {
            if (!s.showJpg)
                return true;
            TJPGForm form(caption, picture, {s.jpegQuality, s.showJpg}, this);
            if (!export_.dialogs->jpgOptions(form))
                return false;
            s.jpegQuality = form.values().quality;
            s.showJpg = form.values().showAlways;
            return true;
        }
        case ExportFormat::Png: {
            if (!s.showPng)
                return true;
            TPNGForm form(
                caption, {s.pngInterlace, s.pngCompressionLevel, s.pngTransparentColor, s.showPng},
                [this](Color& c) { return dialogs_->chooseColor(this, c); }, this);
            if (!export_.dialogs->pngOptions(form))
                return false;
            const PngFormValues v = form.values();
            s.pngInterlace = v.interlace;
            s.pngCompressionLevel = v.compressionLevel;
            s.pngTransparentColor = v.transparentColor;
            s.showPng = v.showAlways;
            return true;
        }
        case ExportFormat::Gif: {
            if (!s.gif.showAlways)
                return true;
            TGifOptionForm form(caption, picture, s.gif, this);
            if (!export_.dialogs->gifOptions(form))
                return false;
            s.gif = form.stillSettings();
            return true;
        }
        case ExportFormat::None:
            break;
    }
    return false;
}

void TAVIForm::copyFrame()
{
    const int index = project_.selection.first();
    if (index < 0)
        return;
    auto data = std::make_unique<QMimeData>();
    rail_.work({canvas_, {}, false}, [&](ProgressSink&) {
        const Picture picture = exportPicture(project_, index);
        data->setImageData(toImage(picture));
        // the GIF stream beside it, for the programs that paste GIF; a
        // picture the GIF settings cannot take goes as the picture alone
        try {
            const std::vector<std::uint8_t> gif = encodeStillGif(picture, export_.settings.gif.gif);
            data->setData(kGifMimeType,
                          QByteArray(reinterpret_cast<const char*>(gif.data()), qsizetype(gif.size())));
        } catch (const std::exception&) {
        }
    });
    QGuiApplication::clipboard()->setMimeData(data.release());
    if (takeRenderProblems())
        showLog();
}

}  // namespace pelko
