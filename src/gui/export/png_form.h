#pragma once
// TPNGForm: the PNG options of "Save frame": interlace, compression level
// and the transparent colour (chosen in the colour dialog).

#include <QDialog>
#include <QString>
#include <functional>

#include "engine/image/picture.h"

class QCheckBox;
class QFrame;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace pelko {

struct PngFormValues {
    bool interlace = false;
    int compressionLevel = 9;  // 0 to 9
    Color transparentColor = 0xFFFFFF;
    bool showAlways = true;
};

class TPNGForm : public QDialog {
    Q_OBJECT
public:
    // chooseColor runs the colour dialog on a colour; false when cancelled.
    using ChooseColor = std::function<bool(Color&)>;
    TPNGForm(const QString& caption, const PngFormValues& values, ChooseColor chooseColor,
             QWidget* parent = nullptr);

    PngFormValues values() const;
    void setValues(const PngFormValues& values);

    QCheckBox* interlaceBox() const { return interlace_; }
    QSpinBox* levelField() const { return level_; }
    QFrame* colorSwatch() const { return swatch_; }
    QToolButton* colorButton() const { return setColor_; }
    QCheckBox* showAlwaysBox() const { return showAlways_; }
    QToolButton* defaultButton() const { return byDefault_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    void showColor();

    ChooseColor chooseColor_;
    Color color_ = 0xFFFFFF;
    QCheckBox* interlace_ = nullptr;
    QSpinBox* level_ = nullptr;
    QFrame* swatch_ = nullptr;
    QToolButton* setColor_ = nullptr;
    QCheckBox* showAlways_ = nullptr;
    QToolButton* byDefault_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace pelko
