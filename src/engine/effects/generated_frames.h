#pragma once
// What the commands that generate frames (alpha-blend transitions, creeping
// lines) share: their pictures become the frames of one animated GIF, which
// goes into the work folder, and frames taken from that file join the list.

#include <cstdint>
#include <functional>
#include <string>

#include "engine/gif/gif_image.h"
#include "engine/project/project.h"
#include "engine/project/source_reader.h"

namespace pelko {

// What a generating command did.
struct GeneratedFrames {
    std::string path;  // the GIF written
    int inserted = 0;
    bool cancelled = false;  // progress asked to stop: nothing written
};

// Appends picture to image as a frame at (0, 0) of the picture's size,
// converted with the image's current colour settings; not transparent, its
// transparent colour transparentColor. The first frame gets the loop
// extension (endless), every frame a graphic control extension with delay
// gifDelayOf(timeMs) and no transparency. The logical screen grows to hold it.
void addGeneratedFrame(TGIFImage& image, const Picture& picture, Color transparentColor, int timeMs);

// Gives image the colour settings with which the next frames are converted
// (reduction bits kept within 3..8).
void setGeneratedColorSettings(TGIFImage& image, const GifFrameSettings& settings);

// Puts one frame per non-empty sub-image of the GIF file at path into the
// list at index at, in file order, made as Add makes the frames of a GIF
// (File, Frame, Time from the delay, disposal and transparent colour from the
// graphic control extension), then hands each to adjust. Returns how many
// were put in. Throws std::runtime_error with the reader's text when the file
// cannot be read.
int insertGeneratedFrames(Project& project, const std::string& path, std::size_t at, SourceReader& reader,
                          const std::function<void(FrameRecord&)>& adjust);

}  // namespace pelko
