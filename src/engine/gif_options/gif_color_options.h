#pragma once
// The GIF colour options of frames and of a still GIF ("Optimize frame's
// color" and "Save frame" as GIF): the choices the dialog offers in their
// order, the marks of the controls the user changed, the codec defaults the
// chosen values are written to, and storing the values in the selected
// frames.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "engine/gif/color_modes.h"
#include "engine/project/frame_record.h"
#include "engine/project/project.h"

namespace pelko {

// The GIF settings of a still frame saved as GIF, kept for the program run.
// Disposal is not part of them (it stays at its default in gif).
struct GifStillSettings {
    GifFrameSettings gif = kDefaultGifFrameSettings;
    bool showAlways = true;

    friend bool operator==(const GifStillSettings&, const GifStillSettings&) = default;
};

// The drop-down lists, item by item.
inline constexpr std::array<const char*, 8> kGifReductionItems{"Netscape",    "Monochrome",     "GrayScale",
                                                               "WindowsGray", "Windows20",      "Windows256",
                                                               "Quantize",    "QuantizeWindows"};
inline constexpr std::array<TColorReduction, 8> kGifReductionValues{
    rmNetscape,  rmMonochrome, rmGrayScale, rmWindowsGray,
    rmWindows20, rmWindows256, rmQuantize,  rmQuantizeWindows};
inline constexpr std::array<const char*, 7> kGifDitherItems{"FloydSteinberg", "Stucki", "Sierra", "JaJuNi",
                                                            "SteveArche",     "Burkes", "Nearest"};
inline constexpr std::array<TDitherMode, 7> kGifDitherValues{dmFloydSteinberg, dmStucki, dmSierra, dmJaJuNI,
                                                             dmSteveArche,     dmBurkes, dmNearest};
inline constexpr std::array<const char*, 6> kGifColorsItems{"8", "16", "32", "64", "128", "256"};
inline constexpr std::array<const char*, 4> kGifDisposalItems{"None", "No disposal", "Background",
                                                              "Previous"};

// The list item showing a value, or nullopt for a value the list does not
// offer (rmNone, rmPalette, bits outside 3..8, ...): the list then keeps
// the item it shows.
std::optional<int> gifReductionItem(int reduction);
std::optional<int> gifDitherItem(int dither);
std::optional<int> gifColorsItem(int bits);
std::optional<int> gifDisposalItem(int disposal);

// Which controls count as changed by the user. With several frames
// selected nothing is marked at the start; with one, everything.
struct GifOptionTouched {
    bool reduction = false;
    bool dither = false;
    bool colors = false;
    bool disposal = false;
    bool compression = false;
    bool transparent = false;

    bool any() const { return reduction || dither || colors || disposal || compression || transparent; }
};
GifOptionTouched initialGifOptionTouched(int selectedCount);

// "by default": the settings of a new frame, with the disposal kept as it
// is shown.
GifFrameSettings gifOptionDefaults(const GifFrameSettings& working);
// What "by default" marks as changed by the user: the controls whose value
// it sets (every one but the disposal list), so that "OK" with several
// frames selected stores the defaults it shows.
GifOptionTouched touchedByDefaults(GifOptionTouched touched);

// Writes the reduction, dither mode, bits and compression to the codec's
// GIFImageDefault... values, where they stay after the dialog closes.
void setGifCodecDefaults(const GifFrameSettings& values);

// A click on palette cell `cell` while "Transparent" is checked: the
// transparent colour becomes the cell's colour and the index the cell's
// number. False (nothing changes) when unchecked or the cell is empty. The
// pick counts as a change of "Transparent", which carries the colour.
bool pickTransparentColor(GifFrameSettings& working, const std::vector<Color>& palette, int cell);

// "OK" in frame mode. Decides whether a stored setting changed (with
// several frames selected: a control was touched; with one: a value
// differs from the frame's), then writes each touched value to every
// selected frame, and a touched transparency's colour and index to the
// first selected frame only. Returns whether it changed (the caller's
// OptionsChanged; the project is marked changed then). With several frames
// and nothing touched nothing is written, and nothing has changed.
bool storeGifOptions(Project& project, const GifFrameSettings& working, const GifOptionTouched& touched);

// "Save" in still mode: the working values (without disposal) and "Show
// always".
GifStillSettings gifStillSettingsOf(const GifFrameSettings& working, bool showAlways);

// The palette grid: cells per row (at most 16) and rows for count colours.
int gifPaletteColumns(int count);
int gifPaletteRows(int count);

}  // namespace pelko
