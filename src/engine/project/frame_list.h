#pragma once
// FrameList: the frames in output order, indexed from 0. Every operation moves
// a frame's fields, frame image and thumbnail together.

#include <cstddef>
#include <functional>
#include <vector>

#include "engine/project/frame_record.h"

namespace pelko {

class FrameList {
public:
    std::size_t size() const { return frames_.size(); }
    int count() const { return int(frames_.size()); }
    bool empty() const { return frames_.empty(); }

    FrameRecord& operator[](std::size_t i) { return frames_.at(i); }
    const FrameRecord& operator[](std::size_t i) const { return frames_.at(i); }

    void append(FrameRecord frame);
    // Inserts before index i; i == size() appends.
    void insert(std::size_t i, FrameRecord frame);
    void erase(std::size_t i);
    void exchange(std::size_t i, std::size_t j);
    void clear();

    auto begin() { return frames_.begin(); }
    auto end() { return frames_.end(); }
    auto begin() const { return frames_.begin(); }
    auto end() const { return frames_.end(); }

private:
    std::vector<FrameRecord> frames_;
};

}  // namespace pelko
