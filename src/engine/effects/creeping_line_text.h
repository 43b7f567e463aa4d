#pragma once
// Where the text of a creeping line stands in each frame: the strings of the
// horizontal directions (the text sliding in character by character) and
// the heights of the vertical ones (the whole text stepping a line at a
// time). Characters are Unicode characters of the UTF-8 text.

#include <string>
#include <vector>

#include "engine/effects/text_drawer.h"

namespace pelko {

enum class CreepDirection { LeftToRight = 0, RightToLeft = 1, TopToBottom = 2, BottomToTop = 3 };

inline bool isHorizontal(CreepDirection d)
{
    return d == CreepDirection::LeftToRight || d == CreepDirection::RightToLeft;
}

// "left to right": string k is the last k + 1 characters of text while k is
// less than its length, then the whole text behind k - length + 1 spaces.
std::vector<std::string> leftToRightStrings(const std::string& text, int count);

// "right to left": a run of spaces at least room pixels wide in font, then
// for each frame the first character (two when it is a space) dropped and
// the next character of text (two spaces once the text is used up) added.
std::vector<std::string> rightToLeftStrings(const std::string& text, int count, int room,
                                            const TextFont& font, TextDrawer& drawer);

// The top of the text in each frame of the vertical directions: "top to
// bottom" from 0 down by lineHeight, back to 0 once past wrapHeight; "bottom
// to top" from wrapHeight up, back to wrapHeight once above 0.
std::vector<int> verticalPositions(CreepDirection direction, int count, int lineHeight, int wrapHeight);

}  // namespace pelko
