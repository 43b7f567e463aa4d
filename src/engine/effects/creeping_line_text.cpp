#include "engine/effects/creeping_line_text.h"

#include <algorithm>
#include <deque>

namespace pelko {

namespace {

// The characters of UTF-8 text, each as its bytes. A byte that cannot start
// a character counts as one of its own.
std::vector<std::string> characters(const std::string& text)
{
    std::vector<std::string> chars;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t end = i + 1;
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0xC0)
            while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
        chars.push_back(text.substr(i, end - i));
        i = end;
    }
    return chars;
}

std::string joined(const std::deque<std::string>& chars)
{
    std::string s;
    for (const std::string& c : chars) s += c;
    return s;
}

// The fewest spaces, at least one, that are room pixels wide in font.
int spacesFor(int room, const TextFont& font, TextDrawer& drawer)
{
    const int one = drawer.textWidth(" ", font);
    if (one <= 0 || one >= room)
        return 1;
    auto width = [&](int n) { return drawer.textWidth(std::string(std::size_t(n), ' '), font); };
    // start from the estimate and settle on the exact count
    int n = std::max(1, (room + one - 1) / one);
    const int most = room + 1;  // every space is at least a pixel wide
    while (n > 1 && width(n - 1) >= room) --n;
    while (n < most && width(n) < room) ++n;
    return n;
}

}  // namespace

std::vector<std::string> leftToRightStrings(const std::string& text, int count)
{
    const std::vector<std::string> chars = characters(text);
    const int length = int(chars.size());
    std::vector<std::string> strings;
    for (int k = 0; k < count; ++k) {
        std::string s;
        if (k < length) {
            for (int i = length - k - 1; i < length; ++i) s += chars[std::size_t(i)];
        } else {
            s = std::string(std::size_t(k - length + 1), ' ') + text;
        }
        strings.push_back(std::move(s));
    }
    return strings;
}

std::vector<std::string> rightToLeftStrings(const std::string& text, int count, int room,
                                            const TextFont& font, TextDrawer& drawer)
{
    const std::vector<std::string> chars = characters(text);
    std::deque<std::string> line(std::size_t(spacesFor(room, font, drawer)), " ");
    std::vector<std::string> strings;
    for (int k = 0; k < count; ++k) {
        const std::size_t drop = !line.empty() && line.front() == " " ? 2 : 1;
        line.erase(line.begin(), line.begin() + std::ptrdiff_t(std::min(drop, line.size())));
        if (k < int(chars.size()))
            line.push_back(chars[std::size_t(k)]);
        else
            line.insert(line.end(), {" ", " "});
        strings.push_back(joined(line));
    }
    return strings;
}

std::vector<int> verticalPositions(CreepDirection direction, int count, int lineHeight, int wrapHeight)
{
    std::vector<int> tops;
    const bool down = direction == CreepDirection::TopToBottom;
    int y = down ? 0 : wrapHeight;
    for (int k = 0; k < count; ++k) {
        tops.push_back(y);
        if (down) {
            y += lineHeight;
            if (y > wrapHeight)
                y = 0;
        } else {
            y -= lineHeight;
            if (y < 0)
                y = wrapHeight;
        }
    }
    return tops;
}

}  // namespace pelko
