#pragma once
// Grabbing one picture of the capture area, with the mouse cursor drawn in
// where it is on the screen.

#include "engine/base/geometry.h"
#include "engine/capture/screen_grabber.h"

namespace pelko {

// Draws the cursor into a picture whose top-left corner is at origin on the
// desktop: the cursor's hot spot lands on the mouse position, blended by the
// cursor's opacity; only the part inside the picture is drawn.
void drawCursor(Picture& picture, const CursorImage& cursor, Point origin);

// The area's pixels, with the cursor drawn in when withCursor is set (and the
// desktop tells where it is). Throws ScreenGrabError.
Picture grabCapturePicture(ScreenGrabber& grabber, const Rect& area, bool withCursor);

}  // namespace pelko
