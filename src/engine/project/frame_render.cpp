#include "engine/project/frame_render.h"

#include "engine/image/picture_effects.h"

namespace pelko {

Picture renderedImage(const FrameRecord& frame, const Picture& source, const ProjectSettings& settings)
{
    Picture image =
        composeFrameImage(source, frame.Width, frame.Height, frame.Stretch, settings.Width, settings.Height);
    if (frame.Flip != FlipNormal)
        image = mirrorPicture(image, frame.Flip, frame.Width, frame.Height);
    if (frame.Gray)
        greyPicture(image);
    if (frame.Inverse)
        invertPicture(image);
    return image;
}

}  // namespace pelko
