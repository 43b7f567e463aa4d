#include "gui/export/export_form_parts.h"

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/app/icons.h"
#include "gui/export/export_preview.h"

namespace pelko {

ExportButtons makeExportButtons(QDialog* dialog)
{
    ExportButtons b;
    b.byDefault = new QToolButton;
    b.byDefault->setObjectName("byDefault");
    b.byDefault->setIcon(drawnIcon(IconKind::Refresh));
    b.byDefault->setToolTip("by default");
    b.showAlways = new QCheckBox("Show always");
    b.save = new QPushButton("Save");
    b.save->setDefault(true);
    b.cancel = new QPushButton("Cancel");
    b.row = new QHBoxLayout;
    b.row->addWidget(b.byDefault);
    b.row->addWidget(b.showAlways);
    b.row->addStretch(1);
    b.row->addWidget(b.save);
    b.row->addWidget(b.cancel);
    QObject::connect(b.save, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(b.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return b;
}

QWidget* titledPreview(const QString& title, ExportPreview*& preview)
{
    auto* panel = new QWidget;
    auto* rows = new QVBoxLayout(panel);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->addWidget(new QLabel(title));
    preview = new ExportPreview;
    preview->setObjectName(title);
    preview->setFixedSize(kExportPreviewWidth, kExportPreviewHeight);
    preview->setAutoFillBackground(true);
    rows->addWidget(preview);
    return panel;
}

Picture previewPart(const Picture& picture)
{
    Picture part(std::min(picture.width(), kExportPreviewWidth),
                 std::min(picture.height(), kExportPreviewHeight));
    part.draw(picture, 0, 0);
    return part;
}

}  // namespace pelko
