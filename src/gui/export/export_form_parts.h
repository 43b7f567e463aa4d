#pragma once
// What the options dialogs of "Save frame" share: the row of "by default",
// "Show always", "Save" and "Cancel", the labelled preview panels, and the
// part of a picture the previews can show.

#include <QString>

#include "engine/image/picture.h"

class QCheckBox;
class QDialog;
class QHBoxLayout;
class QPushButton;
class QToolButton;
class QWidget;

namespace pelko {

class ExportPreview;

// The size of the "Before" and "After" panels.
constexpr int kExportPreviewWidth = 280;
constexpr int kExportPreviewHeight = 210;

struct ExportButtons {
    QToolButton* byDefault = nullptr;
    QCheckBox* showAlways = nullptr;
    QPushButton* save = nullptr;
    QPushButton* cancel = nullptr;
    QHBoxLayout* row = nullptr;
};
// Made for dialog: "Save" accepts it (the default button), "Cancel" rejects it.
ExportButtons makeExportButtons(QDialog* dialog);

// A panel with its title ("Before", "After") above a preview.
QWidget* titledPreview(const QString& title, ExportPreview*& preview);

// The top-left part of picture that a preview panel can show.
Picture previewPart(const Picture& picture);

}  // namespace pelko
