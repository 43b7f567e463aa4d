#include "engine/gif_options/gif_color_options.h"

#include <algorithm>

#include "engine/gif/gif_settings.h"

namespace pelko {

namespace {

template <typename Values>
std::optional<int> itemOf(const Values& values, int value)
{
    for (std::size_t i = 0; i < values.size(); ++i)
        if (int(values[i]) == value)
            return int(i);
    return std::nullopt;
}

}  // namespace

std::optional<int> gifReductionItem(int reduction)
{
    return itemOf(kGifReductionValues, reduction);
}

std::optional<int> gifDitherItem(int dither)
{
    return itemOf(kGifDitherValues, dither);
}

std::optional<int> gifColorsItem(int bits)
{
    if (bits < 3 || bits > 8)
        return std::nullopt;
    return bits - 3;
}

std::optional<int> gifDisposalItem(int disposal)
{
    if (disposal < 0 || disposal >= int(kGifDisposalItems.size()))
        return std::nullopt;
    return disposal;
}

GifOptionTouched initialGifOptionTouched(int selectedCount)
{
    const bool one = selectedCount == 1;
    return {one, one, one, one, one, one};
}

GifFrameSettings gifOptionDefaults(const GifFrameSettings& working)
{
    GifFrameSettings d = kDefaultGifFrameSettings;
    d.DisposalMethod = working.DisposalMethod;
    return d;
}

GifOptionTouched touchedByDefaults(GifOptionTouched touched)
{
    touched.reduction = touched.dither = touched.colors = true;
    touched.compression = touched.transparent = true;
    return touched;
}

void setGifCodecDefaults(const GifFrameSettings& values)
{
    // Every new image copies these unchecked: a value no image could take
    // (from a project file written elsewhere) is not passed on.
    if (values.ColorReduction <= rmPalette)
        GIFImageDefaultColorReduction = TColorReduction(values.ColorReduction);
    if (values.ColorDither <= dmBurkes)
        GIFImageDefaultDitherMode = TDitherMode(values.ColorDither);
    if (values.ReductionBit >= 3 && values.ReductionBit <= 8)
        GIFImageDefaultColorReductionBits = values.ReductionBit;
    if (values.GIFCompression <= gcRLE)
        GIFImageDefaultCompression = TGIFCompression(values.GIFCompression);
}

bool pickTransparentColor(GifFrameSettings& working, const std::vector<Color>& palette, int cell)
{
    if (!working.GIFTransparent || cell < 0 || cell >= int(palette.size()) || cell > 255)
        return false;
    working.TransparentColor = palette[std::size_t(cell)];
    working.TransparentColorIndex = std::uint8_t(cell);
    return true;
}

bool storeGifOptions(Project& project, const GifFrameSettings& working, const GifOptionTouched& touched)
{
    const std::vector<int>& selected = project.selection.indices();
    if (selected.empty())
        return false;
    const int count = project.frames.count();
    const int first = selected.front();
    if (first < 0 || first >= count)
        return false;

    bool changed;
    if (selected.size() > 1)
        changed = touched.any();
    else
        changed = !(project.frames[std::size_t(first)].Gif == working);

    for (int index : selected) {
        if (index < 0 || index >= count)
            continue;
        GifFrameSettings& g = project.frames[std::size_t(index)].Gif;
        if (touched.dither)
            g.ColorDither = working.ColorDither;
        if (touched.reduction)
            g.ColorReduction = working.ColorReduction;
        if (touched.colors)
            g.ReductionBit = working.ReductionBit;
        if (touched.compression)
            g.GIFCompression = working.GIFCompression;
        if (touched.disposal)
            g.DisposalMethod = working.DisposalMethod;
        if (touched.transparent)
            g.GIFTransparent = working.GIFTransparent;
    }
    if (touched.transparent) {
        GifFrameSettings& g = project.frames[std::size_t(first)].Gif;
        g.TransparentColor = working.TransparentColor;
        g.TransparentColorIndex = working.TransparentColorIndex;
    }
    if (changed)
        project.changed = true;
    return changed;
}

GifStillSettings gifStillSettingsOf(const GifFrameSettings& working, bool showAlways)
{
    GifStillSettings s;
    s.gif = working;
    s.gif.DisposalMethod = kDefaultGifFrameSettings.DisposalMethod;
    s.gif.TransparentColorIndex = kDefaultGifFrameSettings.TransparentColorIndex;
    s.showAlways = showAlways;
    return s;
}

int gifPaletteColumns(int count)
{
    return std::clamp(count, 0, 16);
}

int gifPaletteRows(int count)
{
    return count <= 0 ? 0 : (count + 15) / 16;
}

}  // namespace pelko
