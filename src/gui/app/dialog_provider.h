#pragma once
// DialogProvider: the modal dialogs the window's commands open. The commands
// ask through this interface so that tests can answer without a dialog ever
// blocking. The real dialogs are WidgetDialogProvider (gui/widget_dialogs.h).

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include "engine/image/picture.h"
#include "engine/project/frame_info.h"
#include "engine/project/project_options.h"

class QWidget;

namespace pelko {

struct TextFont;

// The boxes of "Showing of the settings window": whether each options
// dialog is shown before its output is written.
struct ShowFlags {
    bool avi = false;
    bool animatedGif = false;
    bool bmp = false;
    bool jpg = false;
    bool gif = false;
    bool png = false;
    bool operator==(const ShowFlags&) const = default;

    static ShowFlags all() { return {true, true, true, true, true, true}; }
    // The flags in the order of the dialog's boxes.
    static constexpr bool ShowFlags::*kInOrder[] = {&ShowFlags::avi, &ShowFlags::animatedGif,
                                                    &ShowFlags::bmp, &ShowFlags::jpg,
                                                    &ShowFlags::gif, &ShowFlags::png};
};

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
    // The frame info dialog.
    virtual void showFrameInfo(QWidget*, const FrameInfo&) {}
    // Runs a dialog a command made (frame options, alpha blending, creeping
    // line); true when it closes accepted.
    virtual bool runForm(QWidget*, QDialog& form) { return form.exec() == QDialog::Accepted; }
    // The colour dialog, fully open, on color; false when cancelled.
    virtual bool chooseColor(QWidget*, Color&) { return false; }
    // The font dialog on font, with the text colour; false when cancelled.
    virtual bool chooseFont(QWidget*, TextFont&) { return false; }
};

// The picture dialog's filter.
extern const char* const kPictureFilter;
extern const char* const kProjectFilter;

}  // namespace pelko
