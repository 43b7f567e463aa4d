#pragma once
// PipeWireFrames: the frames of one PipeWire video stream (the screen the
// desktop portal shares), read on PipeWire's own thread. Only the newest
// frame is kept; a grab cuts its area out of it. The stream is taken in
// 32-bit BGRx/RGBx/BGRA/RGBA or 24-bit RGB/BGR in memory the process can
// map (no GPU buffers).
//
// The stream ends when the desktop stops sharing (its node goes away, or
// the stream fails); grabs then throw ScreenGrabError.

#include <cstdint>
#include <memory>

#include "engine/capture/screen_grabber.h"

namespace pelko {

class PipeWireFrames {
public:
    // fd: a connection to PipeWire (as the portal hands it over; it is
    // taken over and closed), node: the stream's node. Throws
    // ScreenGrabError when PipeWire cannot be reached.
    PipeWireFrames(int fd, std::uint32_t node);
    ~PipeWireFrames();
    PipeWireFrames(const PipeWireFrames&) = delete;
    PipeWireFrames& operator=(const PipeWireFrames&) = delete;

    // Waits up to timeoutMs for the first frame; false when none came (or
    // the stream ended).
    bool waitForFrame(int timeoutMs);
    // The frame's size (0 x 0 before the first frame).
    DesktopSize size() const;
    // The newest frame's pixels of the area; parts outside it stay black.
    // Throws ScreenGrabError when the stream has ended or no frame came.
    Picture grab(int left, int top, int width, int height) const;
    bool ended() const;
    // Frames received so far.
    std::uint64_t frameCount() const;

private:
    struct Stream;
    std::unique_ptr<Stream> s_;
};

}  // namespace pelko
