#pragma once
// OutputDialogs: the modal dialogs of Generate. The window asks through this
// interface so that tests can answer in their place; the forms are made by
// the command and only run here.

#include <QString>

class QWidget;

namespace pelko {

class CodecWindow;
class TAniGIFForm;
class TAnimationOptionsForm;
class TAviOptionsForm;

class OutputDialogs {
public:
    virtual ~OutputDialogs() = default;
    // "Save in AVI or GIF file": the chosen file, empty when cancelled.
    // filterIndex 1 (AVI) or 2 (GIF) and defaultSuffix follow the project
    // type (the other types follow them in the list); folder is where the dialog starts (empty: where it
    // likes).
    virtual QString outputFile(QWidget* parent, int filterIndex, const QString& defaultSuffix,
                               const QString& folder) = 0;
    // Each runs the form it is given; true when it closes with "Save" ("OK").
    virtual bool aviOptions(TAviOptionsForm& form) = 0;
    virtual bool gifOptions(TAniGIFForm& form) = 0;
    virtual bool animationOptions(TAnimationOptionsForm& form) = 0;
    virtual bool codecWindow(CodecWindow& window) = 0;
    // The same failure came again: "Try again?"; true for Yes.
    virtual bool askTryAgain(QWidget* parent, const QString& failure) = 0;
    // A message box with its own caption (the sound file's measure).
    virtual void message(QWidget* parent, const QString& caption, const QString& text) = 0;
};

// The real dialogs.
class WidgetOutputDialogs : public OutputDialogs {
public:
    QString outputFile(QWidget* parent, int filterIndex, const QString& defaultSuffix,
                       const QString& folder) override;
    bool aviOptions(TAviOptionsForm& form) override;
    bool gifOptions(TAniGIFForm& form) override;
    bool animationOptions(TAnimationOptionsForm& form) override;
    bool codecWindow(CodecWindow& window) override;
    bool askTryAgain(QWidget* parent, const QString& failure) override;
    void message(QWidget* parent, const QString& caption, const QString& text) override;
};

}  // namespace pelko
