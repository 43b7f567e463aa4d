#pragma once
// Small projects for the editing tools: frames written as PNG files and
// described by short texts, and the animation's timeline as the screen
// shows it.

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/project/composition.h"
#include "engine/project/frame_cache.h"
#include "engine/project/project.h"
#include "support/picture_files.h"

namespace pelko::test {

// The picture of a letter: one colour per letter, 4 x 3; a number after the
// letter raises the red of pixel (1, 1) by that much ("A4" is A but for one
// pixel 4 off).
inline Picture letterPicture(char letter, int offset)
{
    Picture p(4, 3);
    const int v = (letter - 'A') * 60;
    p.fill(rgb(std::uint8_t(v), std::uint8_t(200 - v / 2), std::uint8_t(30 + v / 3)));
    const Color c = p.pixel(1, 1);
    p.setPixel(1, 1, rgb(std::uint8_t(redOf(c) + offset), greenOf(c), blueOf(c)));
    return p;
}

// A project of 4 x 3 frames from a text such as "A/100 A4/100 B/250": each
// word a letter (with an optional offset) and a time. Every frame has a PNG
// of its own in dir, so frames are compared by their pixels.
inline Project lettersProject(const TempDir& dir, const std::string& text, std::int32_t type = ProjectGif)
{
    Project p;
    p.settings.Type = type;
    p.settings.Width = 4;
    p.settings.Height = 3;
    std::istringstream words(text);
    std::string word;
    for (int n = 0; words >> word; ++n) {
        const std::size_t slash = word.find('/');
        const int offset = slash > 1 ? std::stoi(word.substr(1, slash - 1)) : 0;
        FrameRecord f;
        f.File = writePng(dir.file("f" + std::to_string(n) + "-" + word.substr(0, slash) + ".png"),
                          letterPicture(word[0], offset));
        f.Time = std::uint16_t(std::stoi(word.substr(slash + 1)));
        f.Width = 4;
        f.Height = 3;
        p.frames.append(f);
    }
    return p;
}

// The frames described back: "A4/100" for a frame of file "...-A4.png".
inline std::string lettersOf(const Project& p)
{
    std::string text;
    for (const FrameRecord& f : p.frames) {
        const std::size_t dash = f.File.rfind('-'), dot = f.File.rfind('.');
        text += (text.empty() ? "" : " ") + f.File.substr(dash + 1, dot - dash - 1) + "/" +
                std::to_string(f.Time);
    }
    return text;
}

// What the screen shows, frame after frame: each frame drawn over the one
// before on a white canvas, as the GIF plays (an AVI frame on a fresh
// canvas); neighbouring moments showing the same picture are one entry.
struct Moment {
    Picture screen;
    std::int64_t ms = 0;
};
inline std::vector<Moment> timeline(const Project& p)
{
    std::vector<Moment> moments;
    Picture screen(p.settings.Width, p.settings.Height);
    for (int i = 0; i < p.frames.count(); ++i) {
        const FrameRecord& f = p.frames[std::size_t(i)];
        if (!p.settings.isGif())
            screen = Picture(p.settings.Width, p.settings.Height);
        const FramePicture image = frameImage(p, i);
        drawFrameOnCanvas(screen, f, previewPicture(f, image.get()));
        const std::int64_t ms = p.settings.isGif() ? f.Time : p.settings.AviFrameTime;
        if (!moments.empty() && moments.back().screen == screen)
            moments.back().ms += ms;
        else
            moments.push_back({screen, ms});
    }
    return moments;
}

inline bool sameTimeline(const std::vector<Moment>& a, const std::vector<Moment>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].ms != b[i].ms || !(a[i].screen == b[i].screen))
            return false;
    return true;
}

}  // namespace pelko::test
