#pragma once
// Engine pictures as Qt images for drawing.

#include <QImage>

#include "engine/image/picture.h"

namespace pelko {

QImage toImage(const Picture& picture);

}  // namespace pelko
