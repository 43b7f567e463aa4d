#include "gui/widget_dialogs.h"

#include <QFileDialog>

#include "gui/effects/font_dialog.h"
#include "gui/frames/frame_info_form.h"
#include "gui/project/options_form.h"

namespace pelko {

const char* const kPictureFilter =
    "All (*.png *.gif *.jpg *.jpeg *.bmp *.ico);;Portable Network Graphics (*.png);;GIF Image (*.gif);;"
    "JPEG Image File (*.jpg);;JPEG Image File (*.jpeg);;Bitmaps (*.bmp);;Icons (*.ico)";
const char* const kProjectFilter = "Project files (*.mcp)";

QStringList WidgetDialogProvider::pictureFiles(QWidget* parent)
{
    return QFileDialog::getOpenFileNames(parent, "Open", {}, kPictureFilter);
}

QString WidgetDialogProvider::openProjectFile(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, "Open", {}, kProjectFilter);
}

QString WidgetDialogProvider::saveProjectFile(QWidget* parent, const QString& current)
{
    QFileDialog dialog(parent, "Save As", current, kProjectFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("mcp");
    if (!current.isEmpty())
        dialog.selectFile(current);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

bool WidgetDialogProvider::projectOptions(QWidget* parent, ProjectOptions& options, ShowFlags& flags,
                                          bool newProject, DefaultFrameSize defaults)
{
    TOptionsForm form(parent);
    form.setOptions(options, flags, newProject, defaults);
    if (form.exec() != QDialog::Accepted)
        return false;
    options = form.options();
    flags = form.showFlags();
    return true;
}

QMessageBox::StandardButton WidgetDialogProvider::askSaveChanges(QWidget* parent)
{
    return QMessageBox::question(parent, "Information", "Save changes to project?",
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

void WidgetDialogProvider::error(QWidget* parent, const QString& text, bool icon)
{
    QMessageBox box(icon ? QMessageBox::Critical : QMessageBox::NoIcon, "Error", text, QMessageBox::Ok,
                    parent);
    box.exec();
}

void WidgetDialogProvider::showFrameInfo(QWidget* parent, const FrameInfo& info)
{
    TFormProperties dialog(info, parent);
    dialog.exec();
}

bool WidgetDialogProvider::chooseColor(QWidget* parent, Color& color)
{
    return chooseColourDialog(parent, color);
}

bool WidgetDialogProvider::chooseFont(QWidget* parent, TextFont& font)
{
    return chooseFontDialog(parent, font);
}

}  // namespace pelko
