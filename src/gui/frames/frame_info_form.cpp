#include "gui/frames/frame_info_form.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/app/dialog_provider.h"

namespace pelko {

TFormProperties::TFormProperties(const FrameInfo& info, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromStdString(info.caption));
    setFixedSize(454, 352);

    auto* picture = new QLabel;
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop);

    auto* origin = new QGroupBox("Origin");
    auto* originForm = new QFormLayout;
    auto* path = new QLabel(QString::fromStdString(info.path));
    path->setToolTip(path->text());
    path->setWordWrap(true);
    originForm->addRow("Path:", path);
    originForm->addRow("Name:", new QLabel(QString::fromStdString(info.name)));
    originForm->addRow("Frame in file:", new QLabel(QString::fromStdString(info.frameInFile)));
    fileTest_ = new QLabel(QString::fromStdString(info.fileTest));
    fileTest_->setFrameShape(QFrame::StyledPanel);
    fileTest_->setAutoFillBackground(true);
    if (!info.fileFound) {
        QPalette p = fileTest_->palette();
        p.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0x00));  // yellow: the file has gone
        fileTest_->setPalette(p);
    }
    fileTest_->setWordWrap(true);
    auto* originBox = new QVBoxLayout(origin);
    originBox->addLayout(originForm);
    originBox->addStretch();
    originBox->addWidget(fileTest_);

    auto* effects = new QGroupBox("Effects");
    auto* effectsForm = new QFormLayout(effects);
    effectsForm->addRow("Flip:", new QLabel(QString::fromStdString(info.flip)));
    effectsForm->addRow("Inverse:", new QLabel(QString::fromStdString(info.inverse)));
    effectsForm->addRow("Grey:", new QLabel(QString::fromStdString(info.grey)));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    auto* right = new QVBoxLayout;
    right->addWidget(origin);
    right->addWidget(effects);
    right->addWidget(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(picture);
    layout->addLayout(right, 1);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
}

}  // namespace pelko
