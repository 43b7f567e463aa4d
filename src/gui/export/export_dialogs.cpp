#include "gui/export/export_dialogs.h"

#include "gui/colour/gif_option_form.h"
#include "gui/export/bmp_form.h"
#include "gui/export/jpg_form.h"
#include "gui/export/png_form.h"
#include "gui/export/save_frame_dialog.h"

namespace pelko {

QString WidgetExportDialogs::saveFrameFile(QWidget* parent)
{
    SaveFrameDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

bool WidgetExportDialogs::bmpOptions(TBMPForm& form)
{
    return form.exec() == QDialog::Accepted;
}

bool WidgetExportDialogs::jpgOptions(TJPGForm& form)
{
    return form.exec() == QDialog::Accepted;
}

bool WidgetExportDialogs::pngOptions(TPNGForm& form)
{
    return form.exec() == QDialog::Accepted;
}

bool WidgetExportDialogs::gifOptions(TGifOptionForm& form)
{
    return form.exec() == QDialog::Accepted;
}

}  // namespace pelko
