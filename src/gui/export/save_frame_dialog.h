#pragma once
// SaveFrameDialog: the file dialog of "Save frame". Its types are BMP, GIF,
// JPEG and PNG, the BMP type first; when the user picks another type, the
// name typed so far takes that type's extension (shot.bmp becomes shot.jpg,
// shot becomes shot.jpg).

#include <QFileDialog>

class QLineEdit;

namespace pelko {

extern const char* const kSaveFrameTitle;
extern const char* const kSaveFrameFilter;

class SaveFrameDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit SaveFrameDialog(QWidget* parent);

    // The file name field, as the user types into it.
    QLineEdit* nameField() const;
    // What the field shows after the user picked the file type of index (0
    // BMP .. 3 PNG). Called by the dialog itself.
    void followFileType(int index);
};

}  // namespace pelko
