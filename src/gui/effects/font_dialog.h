#pragma once
// The creeping line's colour dialog (fully open, with the custom colours)
// and its font dialog with the text colour. Each returns false when
// cancelled.

#include "engine/effects/text_drawer.h"
#include "engine/image/picture.h"

class QWidget;

namespace pelko {

bool chooseColourDialog(QWidget* parent, Color& color);
bool chooseFontDialog(QWidget* parent, TextFont& font);

}  // namespace pelko
