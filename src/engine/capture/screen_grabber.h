#pragma once
// ScreenGrabber: what the capture needs from the desktop. Pictures of a
// screen area and the mouse cursor, all in device pixels of the whole
// desktop (a HiDPI screen gives its real pixels). The platform layer
// implements it for X11 and for the desktop portal.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "engine/image/picture.h"

namespace pelko {

// The desktop refuses or cannot give screen pictures; what() says why in a
// sentence the window shows as it is.
class ScreenGrabError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The mouse cursor as it looks now: its picture with one opacity byte per
// pixel (0 clear .. 255 opaque), its hot spot inside the picture and the
// hot spot's place on the desktop.
struct CursorImage {
    Picture picture;
    std::vector<std::uint8_t> alpha;  // width x height, rows top to bottom
    int hotX = 0;
    int hotY = 0;
    int x = 0;  // the mouse position
    int y = 0;
};

struct DesktopSize {
    int width = 0;
    int height = 0;
};

class ScreenGrabber {
public:
    virtual ~ScreenGrabber() = default;
    // The size of the desktop in device pixels.
    virtual DesktopSize desktopSize() = 0;
    // The pixels of the area; parts outside the desktop come out black.
    // Throws ScreenGrabError when the desktop gives nothing.
    virtual Picture grab(int left, int top, int width, int height) = 0;
    // The cursor now; nothing when the desktop does not say.
    virtual std::optional<CursorImage> cursor() = 0;
    // Whether the cursor is drawn in (or left out) by the desktop as chosen
    // when the grabber was made: a change of "With cursor" then needs a new
    // grabber.
    virtual bool cursorChosenAtStart() const { return false; }
};

}  // namespace pelko
