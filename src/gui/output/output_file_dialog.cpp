#include "gui/output/output_file_dialog.h"

#include <QLineEdit>

#include "engine/output/output_target.h"

namespace pelko {

const char* const kOutputDialogTitle = "Save in AVI or GIF file";
const char* const kOutputFilter = "Audio/Video Interleaved file(*.avi);;Animated GIF(*.gif)";

OutputFileDialog::OutputFileDialog(QWidget* parent, int filterIndex, const QString& defaultSuffix)
    : QFileDialog(parent, kOutputDialogTitle, {}, kOutputFilter)
{
    setObjectName("SaveDialog1");
    // Qt's own dialog, whose name field the type follow-up can reach
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setDefaultSuffix(defaultSuffix);
    const QStringList filters = nameFilters();
    selectNameFilter(filters.value(filterIndex == 2 ? 1 : 0));
    connect(this, &QFileDialog::filterSelected, this,
            [this](const QString& filter) { followFileType(int(nameFilters().indexOf(filter))); });
}

QLineEdit* OutputFileDialog::nameField() const
{
    return findChild<QLineEdit*>("fileNameEdit");
}

void OutputFileDialog::followFileType(int index)
{
    const bool avi = index == 0;
    setDefaultSuffix(avi ? "avi" : "gif");
    QLineEdit* field = nameField();
    if (!field || field->text().isEmpty())
        return;
    field->setText(QString::fromStdString(nameForOutputType(field->text().toStdString(), avi)));
}

}  // namespace pelko
