#pragma once
// WidgetDialogProvider: the real modal dialogs of the window's commands.

#include "gui/app/dialog_provider.h"

namespace pelko {

class WidgetDialogProvider : public DialogProvider {
public:
    QStringList pictureFiles(QWidget* parent) override;
    QString openProjectFile(QWidget* parent) override;
    QString saveProjectFile(QWidget* parent, const QString& current) override;
    bool projectOptions(QWidget* parent, ProjectOptions& options, ShowFlags& flags, bool newProject,
                        DefaultFrameSize defaults) override;
    QMessageBox::StandardButton askSaveChanges(QWidget* parent) override;
    void error(QWidget* parent, const QString& text, bool icon) override;
    void showFrameInfo(QWidget* parent, const FrameInfo& info) override;
    bool chooseColor(QWidget* parent, Color& color) override;
    bool chooseFont(QWidget* parent, TextFont& font) override;
};

}  // namespace pelko
