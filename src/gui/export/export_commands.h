#pragma once
// "Save frame" and "Copy", and what they keep for the run.

#include <QObject>

#include "gui/export/export_state.h"

class QMenu;

namespace pelko {

class TAVIForm;

class ExportFeature : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ExportState state;
};

void installExportCommands(TAVIForm& window);
// What the commands keep, and the dialogs they ask (tests answer).
ExportState& exportState(TAVIForm& window);
// The preview's pop-up menu as it is now: none with nothing selected.
QMenu* previewPopupMenu(TAVIForm& window);

}  // namespace pelko
