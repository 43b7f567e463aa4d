#pragma once
// ExportDialogs: the modal dialogs of "Save frame". The window asks through
// this interface so that tests can answer in their place; the options forms
// are made by the command and only run here.

#include <QString>

class QWidget;

namespace pelko {

class TBMPForm;
class TGifOptionForm;
class TJPGForm;
class TPNGForm;

class ExportDialogs {
public:
    virtual ~ExportDialogs() = default;
    // The "Save frame" file dialog: the chosen file, empty when cancelled.
    virtual QString saveFrameFile(QWidget* parent) = 0;
    // Each runs the form it is given; true when it closes with "Save".
    virtual bool bmpOptions(TBMPForm& form) = 0;
    virtual bool jpgOptions(TJPGForm& form) = 0;
    virtual bool pngOptions(TPNGForm& form) = 0;
    virtual bool gifOptions(TGifOptionForm& form) = 0;
};

// The real dialogs.
class WidgetExportDialogs : public ExportDialogs {
public:
    QString saveFrameFile(QWidget* parent) override;
    bool bmpOptions(TBMPForm& form) override;
    bool jpgOptions(TJPGForm& form) override;
    bool pngOptions(TPNGForm& form) override;
    bool gifOptions(TGifOptionForm& form) override;
};

}  // namespace pelko
