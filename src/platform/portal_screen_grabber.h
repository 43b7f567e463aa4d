#pragma once
// PortalScreenGrabber: the capture's ScreenGrabber on a desktop that shares
// its screen through the desktop portal (Wayland). It asks the portal's
// ScreenCast interface on the session bus, in order, for a session
// (CreateSession), a monitor with the cursor drawn in or left out
// (SelectSources, remembering the permission: persist mode 2 with the last
// restore token), the desktop's consent (Start) and a PipeWire connection
// (OpenPipeWireRemote), waiting for each request's Response. The monitor's
// frames then come from PipeWire; a grab cuts the area out of the newest.
//
// Failures are ScreenGrabErrors with a sentence: no portal on the bus, the
// user cancelling the desktop's dialog, the desktop refusing, and (on a
// grab) the stream having ended.

#include <memory>
#include <string>

#include "engine/capture/screen_grabber.h"

namespace pelko {

class PipeWireFrames;

struct PortalOptions {
    bool withCursor = true;    // cursor_mode embedded, else hidden
    std::string restoreToken;  // from the last session ("" for none)
    // How long the desktop's dialog may take; the other answers come at once.
    int consentTimeoutMs = 300000;
    int answerTimeoutMs = 10000;
};

class PortalScreenGrabber : public ScreenGrabber {
public:
    // Runs the portal's calls and waits for the first frame. Needs a
    // QCoreApplication. Throws ScreenGrabError.
    explicit PortalScreenGrabber(const PortalOptions& options);
    ~PortalScreenGrabber() override;

    // The monitor's size.
    DesktopSize desktopSize() override;
    Picture grab(int left, int top, int width, int height) override;
    // The desktop draws the cursor into the frames itself (or leaves it out).
    std::optional<CursorImage> cursor() override { return std::nullopt; }
    bool cursorChosenAtStart() const override { return true; }

    // The token to hand to the next session so the desktop does not ask
    // again ("" when the portal gave none).
    const std::string& restoreToken() const { return restoreToken_; }

private:
    std::string sessionPath_;
    std::string restoreToken_;
    std::unique_ptr<PipeWireFrames> frames_;
};

// Which grabber a capture uses: "x11", "portal", or "" to follow the session
// (the portal on a Wayland session: XDG_SESSION_TYPE is "wayland", or
// WAYLAND_DISPLAY is set and DISPLAY is not).
bool usePortalGrabber(const std::string& choice);

}  // namespace pelko
