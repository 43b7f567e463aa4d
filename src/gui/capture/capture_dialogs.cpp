#include "gui/capture/capture_dialogs.h"

#include <QMessageBox>

#include "gui/capture/capture_form.h"
#include "gui/output/codec_window.h"

namespace pelko {

bool WidgetCaptureDialogs::captureSettings(TFormCapture& form)
{
    return form.exec() == QDialog::Accepted;
}

bool WidgetCaptureDialogs::codecWindow(CodecWindow& window)
{
    return window.exec() == QDialog::Accepted;
}

void WidgetCaptureDialogs::message(QWidget* parent, const QString& caption, const QString& text)
{
    const QMessageBox::Icon icon = caption == "Error" ? QMessageBox::Critical : QMessageBox::Information;
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace pelko
