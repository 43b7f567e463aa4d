#pragma once
// Tool bar pictures, drawn in code. Each icon has a normal and a hot (active)
// picture; the disabled picture is the style's greyed form of the normal one.

#include <QIcon>

namespace pelko {

enum class IconKind {
    New,
    Open,
    ProjectOptions,
    Save,
    SaveAs,
    Generate,
    Run,
    Pause,
    Stop,
    Add,
    Insert,
    Delete,
    Up,
    Down,
    Refresh,
    FrameOptions,
    OptimizeColor,
    Sound,
    SelectAll,
    Info,
    Clone,
    Text,
    Alpha,
    Flip,
    Convert,
    SaveFrame,
    Copy,
};

QIcon drawnIcon(IconKind kind);

}  // namespace pelko
