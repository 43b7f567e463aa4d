#pragma once
// OutputFileDialog: "Save in AVI or GIF file", the output file dialog of
// Generate. Its file type starts at the project's type; when the user picks
// the other type, the name typed in the field takes that type's extension
// (clip.gif becomes clip.avi, movie.mpeg becomes movie.gif).

#include <QFileDialog>

class QLineEdit;

namespace pelko {

extern const char* const kOutputDialogTitle;
extern const char* const kOutputFilter;  // the AVI type first, then the GIF type

class OutputFileDialog : public QFileDialog {
    Q_OBJECT
public:
    // filterIndex 1 for AVI, 2 for GIF; defaultSuffix "avi" or "gif".
    OutputFileDialog(QWidget* parent, int filterIndex, const QString& defaultSuffix);

    // The file name field, as the user types into it.
    QLineEdit* nameField() const;
    // What the field shows after the user picked the file type of index
    // (0 the AVI type, 1 the GIF type). Called by the dialog itself.
    void followFileType(int index);
};

}  // namespace pelko
