// "Save frame" and "Copy": the picture of the frame shown in the preview
// written to a BMP, GIF, JPEG or PNG file after the format's options
// dialog, or put on the clipboard; and the preview's pop-up menu that
// offers both.

#include "gui/export/export_commands.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <exception>

#include "engine/export/export_frame.h"
#include "engine/gif_options/gif_color_options.h"
#include "gui/app/main_window.h"
#include "gui/app/picture_image.h"
#include "gui/app/preview_canvas.h"
#include "gui/colour/gif_option_form.h"
#include "gui/export/bmp_form.h"
#include "gui/export/jpg_form.h"
#include "gui/export/png_form.h"
#include "gui/output/generate_command.h"

namespace pelko {

const char* const kGifMimeType = "image/gif";

namespace {

bool exportOptions(TAVIForm& w, ExportState& state, ExportFormat format, const Picture& picture);

void saveFrame(TAVIForm& w, ExportState& state)
{
    const int index = w.project().selection.first();
    if (index < 0)
        return;
    ExportSettings& s = state.settings;
    ShowFlags flags = w.showFlags();
    s.showBmp = flags.bmp;
    s.showJpg = flags.jpg;
    s.gif.showAlways = flags.gif;
    s.showPng = flags.png;
    const QString path = state.dialogs->saveFrameFile(&w);
    w.repaint();
    if (path.isEmpty())
        return;
    // the options dialogs of Generate show the same name
    s.lastSavedName = QFileInfo(path).fileName().toStdString();
    generateState(w).output.OutputName = s.lastSavedName;
    const ExportFormat format = exportFormatOf(path.toStdString());
    if (format == ExportFormat::None)
        return;  // an extension of no format saves nothing

    const Picture picture = exportPicture(w.project(), index);
    const bool confirmed = exportOptions(w, state, format, picture);
    flags.bmp = s.showBmp;
    flags.jpg = s.showJpg;
    flags.gif = s.gif.showAlways;
    flags.png = s.showPng;
    w.setShowFlags(flags);
    if (w.takeRenderProblems())
        w.showLog();
    if (!confirmed)
        return;
    if (format == ExportFormat::Gif)
        setGifCodecDefaults(s.gif.gif);
    w.repaint();

    const std::string file = path.toStdString();
    const ExportSettings settings = s;
    const OutputResult result =
        w.rail().work({w.previewCanvas(), "Save frame", false, 1},
                      [&](ProgressSink&) { return saveFrameFile(picture, file, settings); });
    w.showErrors(result.messages);
}

bool exportOptions(TAVIForm& w, ExportState& state, ExportFormat format, const Picture& picture)
{
    ExportSettings& s = state.settings;
    const QString caption = QString::fromStdString(s.lastSavedName);
    switch (format) {
        case ExportFormat::Bmp: {
            if (!s.showBmp)
                return true;
            TBMPForm form(caption, picture, {s.bmpBits, s.showBmp}, &w);
            if (!state.dialogs->bmpOptions(form))
                return false;
            s.bmpBits = form.values().bits;
            s.showBmp = form.values().showAlways;
            return true;
        }
        case ExportFormat::Jpeg: {
            if (!s.showJpg)
                return true;
            TJPGForm form(caption, picture, {s.jpegQuality, s.showJpg}, &w);
            if (!state.dialogs->jpgOptions(form))
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
                [&w](Color& c) { return w.dialogs().chooseColor(&w, c); }, &w);
            if (!state.dialogs->pngOptions(form))
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
            TGifOptionForm form(caption, picture, s.gif, &w);
            if (!state.dialogs->gifOptions(form))
                return false;
            s.gif = form.stillSettings();
            return true;
        }
        case ExportFormat::None:
            break;
    }
    return false;
}

void copyFrame(TAVIForm& w, ExportState& state)
{
    const int index = w.project().selection.first();
    if (index < 0)
        return;
    auto data = std::make_unique<QMimeData>();
    w.rail().work({w.previewCanvas(), {}, false}, [&](ProgressSink&) {
        const Picture picture = exportPicture(w.project(), index);
        data->setImageData(toImage(picture));
        // the GIF stream beside it, for the programs that paste GIF; a
        // picture the GIF settings cannot take goes as the picture alone
        try {
            const std::vector<std::uint8_t> gif = encodeStillGif(picture, state.settings.gif.gif);
            data->setData(kGifMimeType,
                          QByteArray(reinterpret_cast<const char*>(gif.data()), qsizetype(gif.size())));
        } catch (const std::exception&) {
        }
    });
    QGuiApplication::clipboard()->setMimeData(data.release());
    if (w.takeRenderProblems())
        w.showLog();
}

}  // namespace

ExportState& exportState(TAVIForm& window)
{
    return window.feature<ExportFeature>()->state;
}

QMenu* previewPopupMenu(TAVIForm& window)
{
    return window.project().selection.empty() ? nullptr : window.menu("previewMenu");
}

void installExportCommands(TAVIForm& window)
{
    auto* feature = new ExportFeature(&window);
    ExportState& state = feature->state;
    const QScreen* screen = QGuiApplication::primaryScreen();
    state.settings = initialExportSettings(screen ? screen->depth() : 24);
    window.commands().add(
        {.id = "ActionSaveFrame",
         .caption = "Save frame",
         .keys = keys("Ctrl+F"),
         .icon = IconKind::SaveFrame,
         .enabled = enabled::selected,
         .execute = [&state](TAVIForm& w, bool) { w.rail().run([&] { saveFrame(w, state); }); }});
    window.commands().add(
        {.id = "ActionCopy",
         .caption = "Copy",
         .keys = keys("Ctrl+C"),
         .icon = IconKind::Copy,
         .enabled = enabled::selected,
         .execute = [&state](TAVIForm& w, bool) { w.rail().run([&] { copyFrame(w, state); }); }});
    PreviewCanvas* canvas = window.previewCanvas();
    canvas->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(canvas, &QWidget::customContextMenuRequested, feature,
                     [&window, canvas](const QPoint& pos) {
                         if (QMenu* menu = previewPopupMenu(window))
                             menu->popup(canvas->mapToGlobal(pos));
                     });
}

}  // namespace pelko
