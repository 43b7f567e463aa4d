#pragma once
// X11ScreenGrabber: the capture's ScreenGrabber on an X11 desktop. Pictures
// are read from the root window into memory shared with the server (XShm)
// on a connection of its own, so a recording can grab from a thread of its
// own; where the server shares no memory, with XGetImage on a scaled screen
// (where Qt addresses logical pixels) and Qt's screen grab otherwise, exact
// at any device pixel where the server's pixels are 32-bit RGB; the
// cursor's picture, hot spot and position come through the XFixes extension;
// every place and size is in device pixels, so a HiDPI screen gives the area
// the user framed.
//
// It needs a QGuiApplication on the xcb platform. Where there is none (a
// Wayland session without an X server, a program started without a
// display), making it throws ScreenGrabError with a sentence saying why.

#include <memory>
#include <string>

#include "engine/capture/screen_grabber.h"

class QGuiApplication;
class QScreen;

namespace pelko {

class X11ScreenGrabber : public ScreenGrabber {
public:
    // Throws ScreenGrabError when this desktop gives no screen pictures.
    X11ScreenGrabber();
    ~X11ScreenGrabber() override;

    DesktopSize desktopSize() override;
    // Throws ScreenGrabError for an empty grab, or an all-black one where
    // grabs are blacked out (below).
    Picture grab(int left, int top, int width, int height) override;
    std::optional<CursorImage> cursor() override;

private:
    struct Display;
    QScreen* screen_ = nullptr;
    std::unique_ptr<Display> display_;
    // An X server inside a Wayland session hands back black for what it
    // cannot see: an all-black grab is a refusal there (on a plain X
    // server a black screen is just black).
    bool blacksOut_ = false;
};

// The message for a desktop that cannot be captured at all ("" when it
// seems able to): no display, or a Wayland session without X.
std::string screenCaptureUnavailableReason(const std::string& platformName);

// For a program without a window (pelko-cli): an application on the X
// display of $DISPLAY, or null with why set when there is no display to
// reach (Qt would end the program instead). Null without a word when an
// application exists already.
std::unique_ptr<QGuiApplication> x11CaptureApplication(std::string& why);

}  // namespace pelko
