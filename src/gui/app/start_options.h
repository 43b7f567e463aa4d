#pragma once
// What the main window is started with.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "engine/rules/app_settings.h"
#include "gui/app/dialog_provider.h"

namespace pelko {

class TAVIForm;

// What the window is started with. Tests replace the store, the screen and
// the dialogs; install registers the features' commands (gui/features.h).
struct StartOptions {
    std::shared_ptr<SettingsStore> store;     // null: the user's settings store
    std::optional<ScreenSize> screen;         // null: the primary screen
    QString projectArgument;                  // first command-line argument, if any
    QStringList pictureArguments;             // pictures to start a new project with
    std::shared_ptr<DialogProvider> dialogs;  // the modal dialogs the commands open
    std::function<void(TAVIForm&)> install;   // registers the commands and features
};

}  // namespace pelko
