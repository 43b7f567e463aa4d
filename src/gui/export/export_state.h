#pragma once
// What "Save frame" and "Copy" keep beside the project while the program
// runs: the export settings, the dialogs they ask through (tests answer in
// their place) and the preview's pop-up menu.

#include <memory>

#include "engine/export/export_settings.h"
#include "gui/export/export_dialogs.h"

namespace pelko {

struct ExportState {
    // The four "Show always" flags live in the window's show flags, which
    // the project options dialog sets as well; the command copies them in
    // and back.
    ExportSettings settings;
    std::shared_ptr<ExportDialogs> dialogs = std::make_shared<WidgetExportDialogs>();
};

// The clipboard type of the GIF stream beside the picture.
extern const char* const kGifMimeType;

}  // namespace pelko
