#pragma once
// TextDrawer: drawing a line of text in a chosen font onto a picture. The
// engine only says what to draw; the desktop's font machinery draws it
// (platform/qt_text_drawer.h), so the window and the command line draw the
// same pixels from the same font. Tests give a drawer of their own.

#include <string>

#include "engine/image/picture.h"

namespace pelko {

struct TextFont {
    std::string family = "Sans Serif";  // resolved by the desktop's font matching
    int size = 12;                      // points, at 96 pixels per inch
    bool bold = true;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    Color color = rgb(255, 0, 0);
    bool antialias = true;  // smoothed edges (no sub-pixel colours)

    friend bool operator==(const TextFont&, const TextFont&) = default;
};

class TextDrawer {
public:
    virtual ~TextDrawer() = default;
    // Width of text (UTF-8) in pixels: the advance of the whole line.
    virtual int textWidth(const std::string& text, const TextFont& font) = 0;
    // Height of a line of text in font: ascent plus descent.
    virtual int textHeight(const std::string& text, const TextFont& font) = 0;
    // Draws text in the font's colour with the top-left corner of its line at
    // (x, y), cut at the picture's edges; the background stays as it is.
    virtual void drawText(Picture& picture, int x, int y, const std::string& text, const TextFont& font) = 0;
};

}  // namespace pelko
