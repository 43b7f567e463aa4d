#include "gui/playback/sound_dialogs.h"

#include <QMessageBox>

#include "gui/playback/add_sound_form.h"

namespace pelko {

bool WidgetSoundDialogs::addSound(TFormAddSound& form)
{
    return form.exec() == QDialog::Accepted;
}

void WidgetSoundDialogs::message(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(caption == "Error" ? QMessageBox::Critical : QMessageBox::NoIcon, caption, text,
                    QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace pelko
