#pragma once
// Creeping-line text frames: a line of text moving across a rectangular text
// area, sliding in from the left or the right character by character or
// stepping down or up line by line. The frames become an animated GIF in the
// work folder named after the text, whose frames join the list after the
// first selected frame.

#include <memory>
#include <string>
#include <vector>

#include "engine/base/geometry.h"
#include "engine/base/progress.h"
#include "engine/effects/creeping_line_text.h"
#include "engine/effects/generated_frames.h"
#include "engine/effects/text_drawer.h"
#include "engine/gif/gif_image.h"
#include "engine/project/project.h"

namespace pelko {

// The settings, kept by the window for the open project.
struct CreepingLineSettings {
    std::string text = "Pelko";
    CreepDirection direction = CreepDirection::LeftToRight;
    int startLeft = 0;  // the text's place inside the area
    int startTop = 0;
    int frameLeft = 0;  // the area's place on the canvas
    int frameTop = 0;
    int width = 0;  // the area's size
    int height = 0;
    int count = 5;       // frames, 1..1000
    int duration = 300;  // ms per frame, 20..100000
    TextFont font;       // size 12, bold, red
    Color background = 0xFFFFFF;
    bool showBackground = false;

    friend bool operator==(const CreepingLineSettings&, const CreepingLineSettings&) = default;
};

constexpr int kMinCreepCount = 1;
constexpr int kMaxCreepCount = 1000;
constexpr int kMinCreepDuration = 20;
constexpr int kMaxCreepDuration = 100000;

// The settings of a project that has none yet: the area covers the canvas.
CreepingLineSettings defaultCreepingLine(const ProjectSettings& project);

// "by default": everything back to the defaults but the font and the
// background colour.
CreepingLineSettings resetCreepingLine(const CreepingLineSettings& settings, const ProjectSettings& project);

// Choosing a direction: the text starts at the left edge, halfway down the
// area for the horizontal directions, at the top or the bottom for the
// vertical ones.
CreepingLineSettings withDirection(CreepingLineSettings settings, CreepDirection direction);

// Values typed into the dialog, checked against the last stored ones: a
// negative place or a size of 0 or less keeps the stored value, a count of 0
// or less becomes 4, a duration under 20 becomes 300; the area stays on the
// canvas and the text's start inside the area.
CreepingLineSettings checkedCreepingLine(CreepingLineSettings typed, const CreepingLineSettings& stored,
                                         const ProjectSettings& project);

// The text and its place in each frame.
struct CreepingLinePlan {
    std::vector<std::string> strings;
    std::vector<Point> places;
    int lineHeight = 0;
};

// The frames' texts: the horizontal directions' string lists at (start left,
// start top), or the whole text at the heights of verticalPositions, which
// wrap at wrapHeight (the area's height for the GIF; the window's preview
// wraps at the canvas height).
CreepingLinePlan planCreepingLine(const CreepingLineSettings& settings, TextDrawer& drawer, int wrapHeight);

// Frame k of the plan: a picture of the area's size in the background colour
// with the frame's text drawn on it.
Picture creepingLineFrame(const CreepingLineSettings& settings, const CreepingLinePlan& plan, int k,
                          TextDrawer& drawer);

// The animated GIF of all frames: nearest-colour, quantised to 3 bits, LZW,
// delay gifDelayOf(duration), one global colour map.
std::unique_ptr<TGIFImage> buildCreepingLineGif(const CreepingLineSettings& settings, TextDrawer& drawer,
                                                ProgressSink& progress = noProgress());

// The file name (without ".gif") for a text: the text with every character a
// file name cannot hold (the slash, control characters) made "_"; "text" for
// an empty text.
std::string textFileBase(const std::string& text);

// The text of the error when no work folder can be made.
extern const char* const kTextWorkFolderError;

// The command: builds the GIF, writes it into workFolder under the text's
// name (the first free of TEXT.gif, TEXT1.gif, ...) and puts its frames into
// the list. When the first selected frame A is the last, they are appended at
// the area's place and size and the last frame becomes the selected one;
// otherwise they follow A, with the place kept on the canvas (the whole
// canvas when the project stretches), and the first of them is selected.
// Every new frame has ReductionBit 3 and no transparency. Throws when nothing
// is selected or the file cannot be written (nothing put in then).
GeneratedFrames addCreepingLineFrames(Project& project, const CreepingLineSettings& settings,
                                      const std::string& workFolder, TextDrawer& drawer, SourceReader& reader,
                                      ProgressSink& progress = noProgress());

}  // namespace pelko
