#pragma once
// Points and rectangles in canvas pixels, and keeping a dragged rectangle on
// its canvas.

namespace pelko {

struct Point {
    int x = 0;
    int y = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Where a width x height rectangle dragged to (left, top) may go: each axis on
// its own, first kept from the left or top edge, then from the right or
// bottom edge, so a rectangle larger than the canvas ends up at a negative
// place with its far side on the canvas's far edge.
inline Point clampDrag(int left, int top, int width, int height, int canvasWidth, int canvasHeight)
{
    if (left <= 0)
        left = 0;
    if (left + width >= canvasWidth)
        left = canvasWidth - width;
    if (top <= 0)
        top = 0;
    if (top + height >= canvasHeight)
        top = canvasHeight - height;
    return {left, top};
}

}  // namespace pelko
