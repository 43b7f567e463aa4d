#pragma once
// FramePlan: the frame list a tool builds from the old one, and where each
// old frame went, so that the selection follows the frames.

#include <cstdint>
#include <vector>

#include "engine/project/project.h"

namespace pelko {

struct FramePlan {
    std::vector<FrameRecord> frames;
    // For every frame of the old list: its index in the new one, or the
    // index of the frame that took its place (the one its time went to);
    // -1 when it left nothing behind.
    std::vector<int> newIndexOf;

    explicit FramePlan(std::size_t oldCount) : newIndexOf(oldCount, -1) {}

    // Old frame i goes into the new list as record.
    void keep(int i, FrameRecord record);
    // Old frame i went into the frame last put into the new list.
    void mergeIntoLast(int i);
    // record with total ms, split into as many copies as the longest frame
    // time needs (each copy the longest time, the last one the rest), so a
    // long still stays as long as it was. old: the old frame it stands for.
    void keepWithTime(int old, FrameRecord record, std::int64_t total, int longest);
};

// Replaces the project's frames by the plan's. Each selected frame that left
// something behind stays selected (as that frame), in selection order. The
// project is marked changed when the frames differ. Returns the number of
// frames removed (old count - new count, 0 when the list grew).
int applyFramePlan(Project& project, FramePlan plan);

}  // namespace pelko
