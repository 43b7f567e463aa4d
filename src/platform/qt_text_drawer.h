#pragma once
// QtTextDrawer: the engine's TextDrawer with Qt's fonts. A font's size counts
// in points at 96 pixels per inch whatever the screen, and the glyphs are
// hinted fully and smoothed without sub-pixel colours when the font asks for
// smoothing, so the window and pelko-cli draw the same pixels from the same
// font on any display.

#include <QFont>
#include <memory>

#include "engine/effects/text_drawer.h"

class QGuiApplication;

namespace pelko {

class QtTextDrawer : public TextDrawer {
public:
    int textWidth(const std::string& text, const TextFont& font) override;
    int textHeight(const std::string& text, const TextFont& font) override;
    void drawText(Picture& picture, int x, int y, const std::string& text, const TextFont& font) override;
};

// The Qt font for a TextFont, and back (the colour stays as it was in font).
QFont toQFont(const TextFont& font);
TextFont fromQFont(const QFont& qfont, const TextFont& font);

// Fonts need an application object. For a program without a window
// (pelko-cli) this makes one on the offscreen platform when there is none;
// null when one exists already.
std::unique_ptr<QGuiApplication> headlessTextApplication();

}  // namespace pelko
