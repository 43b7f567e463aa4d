#include "gui/effects/font_dialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/effects/text_drawer.h"
#include "platform/qt_text_drawer.h"

namespace pelko {

namespace {

QColor qColor(Color c)
{
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

Color toColor(const QColor& c)
{
    return rgb(std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue()));
}

// The colour button of the font dialog: shows its colour, asks for another.
void showColour(QPushButton* button, const QColor& c)
{
    QPixmap swatch(24, 12);
    swatch.fill(c);
    button->setIcon(QIcon(swatch));
}

}  // namespace

bool chooseColourDialog(QWidget* parent, Color& color)
{
    // the dialog opens whole, with the custom colours
    const QColor c =
        QColorDialog::getColor(qColor(color), parent, "Color", QColorDialog::DontUseNativeDialog);
    if (!c.isValid())
        return false;
    color = toColor(c);
    return true;
}

bool chooseFontDialog(QWidget* parent, TextFont& font)
{
    QDialog dialog(parent);
    dialog.setWindowTitle("Font");
    auto* fonts = new QFontDialog(&dialog);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setWindowFlags(Qt::Widget);
    QFont shown = toQFont(font);
    // the family the desktop draws with: an alias ("Sans Serif") offers no bold style
    shown.setFamily(QFontInfo(shown).family());
    shown.setPointSize(font.size);
    fonts->setCurrentFont(shown);
    QColor colour = qColor(font.color);
    auto* colourButton = new QPushButton("Color...");
    colourButton->setObjectName("fontColor");
    showColour(colourButton, colour);
    QObject::connect(colourButton, &QPushButton::clicked, &dialog, [&] {
        const QColor c = QColorDialog::getColor(colour, &dialog, "Color", QColorDialog::DontUseNativeDialog);
        if (c.isValid()) {
            colour = c;
            showColour(colourButton, colour);
        }
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel("Color:"));
    bottom->addWidget(colourButton);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(fonts);
    layout->addLayout(bottom);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    font = fromQFont(fonts->currentFont(), font);
    font.color = toColor(colour);
    return true;
}

}  // namespace pelko
