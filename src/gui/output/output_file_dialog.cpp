#include "gui/output/output_file_dialog.h"

#include <QLineEdit>
#include <iterator>
#include <string>

#include "engine/output/output_target.h"

namespace pelko {

const char* const kOutputDialogTitle = "Save in AVI or GIF file";
const char* const kOutputFilter =
    "Audio/Video Interleaved file(*.avi);;Animated GIF(*.gif);;Animated WebP(*.webp);;Animated PNG(*.apng);;"
    "MP4 video(*.mp4);;WebM video(*.webm)";
// The extensions of the types, in the order of the list.
const char* const kOutputSuffixes[] = {"avi", "gif", "webp", "apng", "mp4", "webm"};

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
    if (index < 0 || index >= int(std::size(kOutputSuffixes)))
        return;
    const bool avi = index == 0;
    setDefaultSuffix(kOutputSuffixes[index]);
    QLineEdit* field = nameField();
    if (!field || field->text().isEmpty())
        return;
    std::string name = nameForOutputType(field->text().toStdString(), avi);
    if (index >= 2)  // the other types: ".gif" swapped for theirs
        name = name.substr(0, name.size() - 3) + kOutputSuffixes[index];
    field->setText(QString::fromStdString(name));
}

}  // namespace pelko
