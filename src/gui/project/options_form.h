#pragma once
// TOptionsForm: the "Project options" dialog. It only picks values: it is
// given the options to start from and hands back the ones chosen; the New
// and Project options commands do the rest.

#include <QDialog>
#include <QLineEdit>

#include "gui/app/dialog_provider.h"

class QCheckBox;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace pelko {

// A digits-only number field. Out-of-range values are clamped when it loses
// the focus; a field that holds no number reads as its minimum.
class NumberField : public QLineEdit {
    Q_OBJECT
public:
    NumberField(int minimum, int maximum, int step, QWidget* parent = nullptr);
    int value() const;
    void setValue(int v);

protected:
    void keyPressEvent(QKeyEvent* event) override;  // Up and Down step

private:
    int min_;
    int max_;
    int step_;
};

class TOptionsForm : public QDialog {
    Q_OBJECT
public:
    explicit TOptionsForm(QWidget* parent = nullptr);

    // newProject: the dialog serves the New command ("Fix at first frame" is
    // offered only then).
    void setOptions(const ProjectOptions& options, const ShowFlags& flags, bool newProject,
                    DefaultFrameSize defaults);
    ProjectOptions options() const;
    ShowFlags showFlags() const;

    NumberField* widthField() const { return width_; }
    NumberField* heightField() const { return height_; }
    NumberField* aviTimeField() const { return aviTime_; }
    NumberField* gifTimeField() const { return gifTime_; }
    QCheckBox* fixBox() const { return fix_; }
    QCheckBox* scaleBox() const { return scale_; }
    QRadioButton* aviButton() const { return avi_; }
    QRadioButton* gifButton() const { return gif_; }
    QToolButton* defaultButton() const { return byDefault_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    // "by default"
    void restoreDefaults();

protected:
private:
    void typeChosen();
    void fixChanged();

    DefaultFrameSize defaults_;
    NumberField* width_ = nullptr;
    NumberField* height_ = nullptr;
    NumberField* aviTime_ = nullptr;
    NumberField* gifTime_ = nullptr;
    QCheckBox* fix_ = nullptr;
    QCheckBox* scale_ = nullptr;
    QRadioButton* avi_ = nullptr;
    QRadioButton* gif_ = nullptr;
    std::array<QCheckBox*, 6> show_{};
    QToolButton* byDefault_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace pelko
