#pragma once
// GifCanvas: where an animation painter shows its pictures. The painter
// composes every frame itself (disposal, transparency, background) into a
// picture of the target rectangle's size and hands it over whole; the canvas
// only shows it. The user interface implements it by passing the picture to
// its own thread.

#include <memory>

#include "engine/gif/gif_types.h"
#include "engine/image/picture.h"

namespace pelko {

class GifCanvas {
public:
    virtual ~GifCanvas() = default;

    // Shows picture (rect's width x height) in rect. Called on the painter's
    // thread with goAsync, else on the thread that paints. The picture is
    // not changed afterwards: keep the pointer as long as needed.
    //
    // Must not wait for another thread to take the picture (for example a
    // blocking hand-over to the user-interface thread): that thread may be
    // waiting in PaintStop for this painter to end. Store it and return.
    virtual void paintFrame(std::shared_ptr<const Picture> picture, const TGIFRect& rect) = 0;

    // What lies behind rect when painting starts, rect's size. Transparent
    // pixels and disposal to the background show it. An empty picture (or
    // one of another size) means unknown: the background colour is used.
    // Called on the thread that makes the painter.
    virtual Picture backdrop(const TGIFRect& rect)
    {
        (void)rect;
        return {};
    }

    // The colour behind an image that has neither a draw background colour
    // nor a global colour map. Called on the thread that makes the painter.
    virtual Color windowColor() const { return rgb(255, 255, 255); }

    // False once the canvas has gone away; with goValidateCanvas the painter
    // then ends before its next frame. Called on the painter's thread.
    virtual bool valid() const { return true; }
};

}  // namespace pelko
