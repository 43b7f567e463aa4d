#include "engine/effects/creeping_line.h"

#include <algorithm>
#include <stdexcept>

#include "engine/base/free_name_file.h"
#include "engine/gif/color_modes.h"
#include "engine/gif/optimize.h"

namespace pelko {

const char* const kTextWorkFolderError = "Cannot create ";

CreepingLineSettings defaultCreepingLine(const ProjectSettings& project)
{
    CreepingLineSettings s;
    s.width = project.Width;
    s.height = project.Height;
    return s;
}

CreepingLineSettings resetCreepingLine(const CreepingLineSettings& settings, const ProjectSettings& project)
{
    CreepingLineSettings s = defaultCreepingLine(project);
    s.font = settings.font;
    s.background = settings.background;
    return s;
}

CreepingLineSettings withDirection(CreepingLineSettings s, CreepDirection direction)
{
    s.direction = direction;
    s.startLeft = 0;
    if (isHorizontal(direction))
        s.startTop = s.height / 2;
    else
        s.startTop = direction == CreepDirection::TopToBottom ? 0 : s.height;
    return s;
}

CreepingLineSettings checkedCreepingLine(CreepingLineSettings s, const CreepingLineSettings& stored,
                                         const ProjectSettings& project)
{
    if (s.width <= 0)
        s.width = stored.width;
    if (s.height <= 0)
        s.height = stored.height;
    s.width = std::clamp(s.width, 0, std::max(0, project.Width));
    s.height = std::clamp(s.height, 0, std::max(0, project.Height));
    for (auto [value, kept] :
         {std::pair{&s.startLeft, stored.startLeft}, std::pair{&s.startTop, stored.startTop},
          std::pair{&s.frameLeft, stored.frameLeft}, std::pair{&s.frameTop, stored.frameTop}})
        if (*value < 0)
            *value = kept;
    s.startLeft = std::clamp(s.startLeft, 0, s.width);
    s.startTop = std::clamp(s.startTop, 0, s.height);
    s.frameLeft = std::clamp(s.frameLeft, 0, std::max(0, project.Width - s.width));
    s.frameTop = std::clamp(s.frameTop, 0, std::max(0, project.Height - s.height));
    if (s.count <= 0)
        s.count = 4;
    s.count = std::min(s.count, kMaxCreepCount);
    if (s.duration < kMinCreepDuration)
        s.duration = 300;
    s.duration = std::min(s.duration, kMaxCreepDuration);
    return s;
}

CreepingLinePlan planCreepingLine(const CreepingLineSettings& s, TextDrawer& drawer, int wrapHeight)
{
    CreepingLinePlan plan;
    const int count = std::max(0, s.count);
    plan.lineHeight = drawer.textHeight(s.text, s.font);
    switch (s.direction) {
        case CreepDirection::LeftToRight:
            plan.strings = leftToRightStrings(s.text, count);
            break;
        case CreepDirection::RightToLeft:
            plan.strings = rightToLeftStrings(s.text, count, s.width - s.startLeft, s.font, drawer);
            break;
        case CreepDirection::TopToBottom:
        case CreepDirection::BottomToTop:
            plan.strings.assign(std::size_t(count), s.text);
            for (int y : verticalPositions(s.direction, count, plan.lineHeight, wrapHeight))
                plan.places.push_back({s.startLeft, y});
            return plan;
    }
    plan.places.assign(std::size_t(count), Point{s.startLeft, s.startTop});
    return plan;
}

Picture creepingLineFrame(const CreepingLineSettings& s, const CreepingLinePlan& plan, int k,
                          TextDrawer& drawer)
{
    Picture picture(std::max(0, s.width), std::max(0, s.height));
    picture.fill(s.background);
    const std::size_t i = std::size_t(k);
    if (i < plan.strings.size() && !picture.empty())
        drawer.drawText(picture, plan.places[i].x, plan.places[i].y, plan.strings[i], s.font);
    return picture;
}

std::unique_ptr<TGIFImage> buildCreepingLineGif(const CreepingLineSettings& s, TextDrawer& drawer,
                                                ProgressSink& progress)
{
    if (s.width <= 0 || s.height <= 0)
        throw std::invalid_argument("The text area is empty.");
    auto image = std::make_unique<TGIFImage>();
    GifFrameSettings colors;
    colors.ColorDither = dmNearest;
    colors.ColorReduction = rmQuantize;
    colors.ReductionBit = 3;
    colors.GIFCompression = gcLZW;
    setGeneratedColorSettings(*image, colors);
    const CreepingLinePlan plan = planCreepingLine(s, drawer, s.height);
    for (int k = 0; k < s.count; ++k) {
        addGeneratedFrame(*image, creepingLineFrame(s, plan, k, drawer), s.background, s.duration);
        progress.progress((k + 1) * 85 / s.count);
        if (progress.cancelled())
            return nullptr;
    }
    OptimizeColorMap(*image);
    progress.progress(90);
    return image;
}

std::string textFileBase(const std::string& text)
{
    if (text.empty())
        return "text";
    std::string base = text;
    for (char& c : base)
        if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '_';
    return base;
}

GeneratedFrames addCreepingLineFrames(Project& project, const CreepingLineSettings& s,
                                      const std::string& workFolder, TextDrawer& drawer, SourceReader& reader,
                                      ProgressSink& progress)
{
    const int anchor = project.selection.first();
    if (anchor < 0 || anchor >= project.frames.count())
        throw std::out_of_range("no frame is selected");
    GeneratedFrames result;
    const std::unique_ptr<TGIFImage> image = buildCreepingLineGif(s, drawer, progress);
    if (!image) {
        result.cancelled = true;
        return result;
    }
    result.path = writeUnderFreeName(workFolder, textFileBase(s.text), ".gif", image->SaveToBytes());

    const ProjectSettings& p = project.settings;
    const bool append = anchor == project.frames.count() - 1;
    const std::size_t at = append ? project.frames.size() : std::size_t(anchor) + 1;
    result.inserted = insertGeneratedFrames(project, result.path, at, reader, [&](FrameRecord& f) {
        f.Left = s.frameLeft;
        f.Top = s.frameTop;
        f.Width = s.width;
        f.Height = s.height;
        if (!append) {
            if (p.Stretch) {
                f.Left = 0;
                f.Top = 0;
                f.Width = p.Width;
                f.Height = p.Height;
            } else {
                if (f.Left >= p.Width)
                    f.Left = 0;
                if (f.Top >= p.Height)
                    f.Top = 0;
                f.Width = std::min(f.Width, p.Width);
                f.Height = std::min(f.Height, p.Height);
            }
        }
        f.Gif.ReductionBit = 3;
        f.Gif.GIFTransparent = false;
    });
    project.selection.clear();
    if (result.inserted > 0)
        project.selection.selectOnly(append ? project.frames.count() - 1 : anchor + 1);
    else
        project.selection.selectOnly(anchor);
    project.changed = true;
    progress.progress(100);
    return result;
}

}  // namespace pelko
