#pragma once
// CaptureDialogs: the modal parts of screen capture. The capture command asks
// through this interface so that tests can answer in their place; the forms
// are made by the command and only run here.

#include <QString>

class QWidget;

namespace pelko {

class CodecWindow;
class TFormCapture;

class CaptureDialogs {
public:
    virtual ~CaptureDialogs() = default;
    // Runs "Settings for capture"; true when it closes with "OK".
    virtual bool captureSettings(TFormCapture& form) = 0;
    // The AVI's codec before the first frame; true for "OK".
    virtual bool codecWindow(CodecWindow& window) = 0;
    // A message box with its caption ("Information", "Error").
    virtual void message(QWidget* parent, const QString& caption, const QString& text) = 0;
};

class WidgetCaptureDialogs : public CaptureDialogs {
public:
    bool captureSettings(TFormCapture& form) override;
    bool codecWindow(CodecWindow& window) override;
    void message(QWidget* parent, const QString& caption, const QString& text) override;
};

}  // namespace pelko
