#pragma once
// Alpha-blend transition frames: a short cross-fade between the anchor frame
// A (the first selected) and its partner, the frame before it, or a plain
// background colour when A is the first frame. The blended pictures become an
// animated GIF in the work folder, whose frames are inserted right after A.

#include <memory>
#include <string>
#include <vector>

#include "engine/base/progress.h"
#include "engine/effects/generated_frames.h"
#include "engine/gif/gif_image.h"
#include "engine/project/project.h"
#include "engine/project/source_reader.h"

namespace pelko {

// The dialog's settings, remembered for the rest of the run.
struct AlphaBlendSettings {
    int count = 5;        // pictures, 2..255
    int time = 300;       // ms per picture, 20..100000
    bool hideUp = false;  // false "show up" (partner to anchor), true "hide up"
    Color background = 0xFFFFFF;

    friend bool operator==(const AlphaBlendSettings&, const AlphaBlendSettings&) = default;
};

constexpr int kMinBlendCount = 2;
constexpr int kMaxBlendCount = 255;
constexpr int kMinBlendTime = 20;
constexpr int kMaxBlendTime = 100000;

// The settings with count and time brought into their ranges.
AlphaBlendSettings clampedBlendSettings(AlphaBlendSettings settings);

// The alpha step 255 div (count - 1) and the alpha of each picture: from 0
// upwards ("show up") or from 255 downwards ("hide up"), clamped to 0..255.
int alphaStep(int count);
std::vector<int> alphaSequence(int count, bool hideUp);

// Blends over onto dest with constant alpha (0..255): each channel becomes
// (over * alpha + dest * (255 - alpha)) / 255, rounded to nearest. over is
// resampled to dest's size first when the sizes differ.
void blendOnto(Picture& dest, const Picture& over, int alpha);

// What the fade is made of, read from the project when the command starts.
struct BlendSources {
    int anchor = 0;        // index of A
    Picture anchorImage;   // A's frame image
    Picture partnerImage;  // P's frame image; empty when A is the first frame
    bool partnerIsBackground() const { return partnerImage.empty(); }
    int canvasWidth = 0;
    int canvasHeight = 0;
};

// Reads A's and P's frame images through the project's frame cache. Throws
// std::runtime_error with the log line of a frame that cannot be rendered.
BlendSources blendSources(const Project& project, int anchor);

// Blended picture k (0-based) of the settings' sequence: the partner's frame
// image (or a picture of the canvas size in the background colour) with A
// blended over it.
Picture blendedPicture(const BlendSources& sources, const AlphaBlendSettings& settings, int k);

// The animated GIF of the blended pictures, converted with A's GIF settings
// and its transparent colour, delay gifDelayOf(time) on every frame.
std::unique_ptr<TGIFImage> buildBlendGif(const BlendSources& sources, const AlphaBlendSettings& settings,
                                         const GifFrameSettings& anchorGif,
                                         ProgressSink& progress = noProgress());

// The text of the error when no work folder can be made (followed by the
// program folder and " Work directory.").
extern const char* const kBlendWorkFolderError;

// The command: builds the GIF of the first selected frame's fade, writes it
// into workFolder as AlphaBlend.gif (or AlphaBlend1.gif, ... whichever is
// free) and inserts its frames right after A, with A's placement, its
// ReductionBit and GIFTransparent, the project's Stretch, and the time rule
// of GIF frames. The first inserted frame becomes the only selected one; the
// project is marked changed. Throws when nothing is selected, a picture
// cannot be rendered or the file cannot be written (nothing inserted then).
GeneratedFrames addAlphaBlendFrames(Project& project, const AlphaBlendSettings& settings,
                                    const std::string& workFolder, SourceReader& reader,
                                    ProgressSink& progress = noProgress());

}  // namespace pelko
