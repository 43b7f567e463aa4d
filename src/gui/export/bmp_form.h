#pragma once
// TBMPForm: the BMP options of "Save frame": the pixel format, with the
// picture "Before" and as that pixel format shows it "After".

#include <QDialog>
#include <QString>
#include <array>

#include "engine/image/picture.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace pelko {

class ExportPreview;

struct BmpFormValues {
    int bits = 24;  // 1, 4, 8, 16, 24 or 32
    bool showAlways = true;
};

class TBMPForm : public QDialog {
    Q_OBJECT
public:
    // caption: the name of the last saved file. A bits value other than the
    // six shows as 24.
    TBMPForm(const QString& caption, const Picture& picture, const BmpFormValues& values,
             QWidget* parent = nullptr);

    BmpFormValues values() const;
    void setValues(const BmpFormValues& values);

    QRadioButton* formatButton(int bits) const;  // nullptr for other bits
    QCheckBox* showAlwaysBox() const { return showAlways_; }
    QToolButton* defaultButton() const { return byDefault_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }
    ExportPreview* beforePreview() const { return before_; }
    ExportPreview* afterPreview() const { return after_; }

private:
    void showAfter();
    void restoreDefaults();

    Picture shown_;  // the part of the picture the previews can show
    std::array<QRadioButton*, 6> formats_{};
    QGroupBox* formatGroup_ = nullptr;
    QCheckBox* showAlways_ = nullptr;
    QToolButton* byDefault_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
    ExportPreview* before_ = nullptr;
    ExportPreview* after_ = nullptr;
};

}  // namespace pelko
