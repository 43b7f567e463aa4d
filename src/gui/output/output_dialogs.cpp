#include "gui/output/output_dialogs.h"

#include <QMessageBox>

#include "gui/output/ani_gif_form.h"
#include "gui/output/animation_options_form.h"
#include "gui/output/avi_options_form.h"
#include "gui/output/codec_window.h"
#include "gui/output/output_file_dialog.h"

namespace pelko {

QString WidgetOutputDialogs::outputFile(QWidget* parent, int filterIndex, const QString& defaultSuffix,
                                        const QString& folder)
{
    OutputFileDialog dialog(parent, filterIndex, defaultSuffix);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

bool WidgetOutputDialogs::aviOptions(TAviOptionsForm& form)
{
    return form.exec() == QDialog::Accepted;
}

bool WidgetOutputDialogs::gifOptions(TAniGIFForm& form)
{
    return form.exec() == QDialog::Accepted;
}

bool WidgetOutputDialogs::animationOptions(TAnimationOptionsForm& form)
{
    return form.exec() == QDialog::Accepted;
}

bool WidgetOutputDialogs::codecWindow(CodecWindow& window)
{
    return window.exec() == QDialog::Accepted;
}

bool WidgetOutputDialogs::askTryAgain(QWidget* parent, const QString& failure)
{
    return QMessageBox::question(parent, "Information", failure + "\n\nTry again?",
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void WidgetOutputDialogs::message(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace pelko
