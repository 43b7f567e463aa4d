#pragma once
// Generate: the output file dialog, the options dialog of the kind the
// file's extension chooses, and the AVI or the animated GIF written on a
// worker behind a progress dialog that counts frames; and what it keeps.

#include <QObject>
#include <QString>

#include "gui/output/generate_state.h"

class QLabel;

namespace pelko {

class TAVIForm;

class GenerateFeature : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    GenerateState state;
    // The output file dialog's choice for the project type.
    int filterIndex = 1;
    QString defaultExtension = "avi";
};

void installGenerateCommands(TAVIForm& window);
// Generate's state for the run, and the dialogs it asks (tests answer).
GenerateState& generateState(TAVIForm& window);
GenerateFeature& generateFeature(TAVIForm& window);
// The status bar's note of the file Generate wrote last.
QString writtenText(TAVIForm& window);

}  // namespace pelko
