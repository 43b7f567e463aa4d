#include "gui/export/save_frame_dialog.h"

#include <QLineEdit>

#include "engine/export/export_settings.h"

namespace pelko {

const char* const kSaveFrameTitle = "Save frame";
const char* const kSaveFrameFilter =
    "Bitmaps(*.bmp);;GIF Image(*.gif);;JPEG Image(*.jpg);;Portable Network Graphics(*.png)";

SaveFrameDialog::SaveFrameDialog(QWidget* parent) : QFileDialog(parent, kSaveFrameTitle, {}, kSaveFrameFilter)
{
    setObjectName("SavePictureDialog1");
    // Qt's own dialog, whose name field the type follow-up can reach
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setDefaultSuffix("bmp");
    selectNameFilter(nameFilters().value(0));
    connect(this, &QFileDialog::filterSelected, this,
            [this](const QString& filter) { followFileType(int(nameFilters().indexOf(filter))); });
}

QLineEdit* SaveFrameDialog::nameField() const
{
    return findChild<QLineEdit*>("fileNameEdit");
}

void SaveFrameDialog::followFileType(int index)
{
    if (index < 0 || index >= kExportTypeCount)
        return;
    setDefaultSuffix(QString(exportTypeExtension(index + 1)).mid(1));
    QLineEdit* field = nameField();
    if (!field || field->text().isEmpty())
        return;
    field->setText(QString::fromStdString(nameForExportType(field->text().toStdString(), index + 1)));
}

}  // namespace pelko
