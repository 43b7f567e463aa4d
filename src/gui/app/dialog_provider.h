#pragma once
// DialogProvider: the modal dialogs the main window's commands open. The
// window asks through this interface so that tests can answer without a
// dialog ever blocking.

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <array>

#include "engine/image/picture.h"
#include "engine/project/frame_info.h"
#include "engine/project/project_options.h"

class QWidget;

namespace pelko {

class TDelayForm;
class TFormAlpha;
class TFormText;
struct TextFont;

// The six boxes of "Showing of the settings window": AVI, Animated GIF, BMP,
// JPG, GIF, PNG.
using ShowFlags = std::array<bool, 6>;

class DialogProvider {
public:
    virtual ~DialogProvider() = default;
    // Pictures for Add and Insert; empty when cancelled.
    virtual QStringList pictureFiles(QWidget* parent) = 0;
    // The project to open; empty when cancelled.
    virtual QString openProjectFile(QWidget* parent) = 0;
    // Where to save the project; current is the project's path (may be empty).
    virtual QString saveProjectFile(QWidget* parent, const QString& current) = 0;
    // The project options dialog. False when cancelled.
    virtual bool projectOptions(QWidget* parent, ProjectOptions& options, ShowFlags& flags, bool newProject,
                                DefaultFrameSize defaults) = 0;
    // "Save changes to project?" with Yes, No and Cancel.
    virtual QMessageBox::StandardButton askSaveChanges(QWidget* parent) = 0;
    // A message box with caption "Error"; icon false shows none.
    virtual void error(QWidget* parent, const QString& text, bool icon) = 0;
    // The frame info dialog (TFormProperties).
    virtual void showFrameInfo(QWidget* parent, const FrameInfo& info);
    // Runs the frame options dialog the window made; false when cancelled.
    virtual bool frameOptions(QWidget* parent, TDelayForm& form);
    // Run the alpha-blend and creeping-line dialogs the window made; false
    // when cancelled.
    virtual bool alphaBlend(QWidget* parent, TFormAlpha& form);
    virtual bool creepingLine(QWidget* parent, TFormText& form);
    // The colour dialog, fully open, on color; false when cancelled.
    virtual bool chooseColor(QWidget* parent, Color& color);
    // The font dialog on font, with the text colour; false when cancelled.
    virtual bool chooseFont(QWidget* parent, TextFont& font);
};

// The real dialogs.
class WidgetDialogProvider : public DialogProvider {
public:
    QStringList pictureFiles(QWidget* parent) override;
    QString openProjectFile(QWidget* parent) override;
    QString saveProjectFile(QWidget* parent, const QString& current) override;
    bool projectOptions(QWidget* parent, ProjectOptions& options, ShowFlags& flags, bool newProject,
                        DefaultFrameSize defaults) override;
    QMessageBox::StandardButton askSaveChanges(QWidget* parent) override;
    void error(QWidget* parent, const QString& text, bool icon) override;
};

// The picture dialog's filter.
extern const char* const kPictureFilter;
extern const char* const kProjectFilter;

}  // namespace pelko
