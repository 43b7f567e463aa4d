#include "engine/project/frame_list.h"

#include <stdexcept>
#include <utility>

namespace pelko {

void FrameList::append(FrameRecord frame)
{
    frames_.push_back(std::move(frame));
}

void FrameList::insert(std::size_t i, FrameRecord frame)
{
    if (i > frames_.size())
        throw std::out_of_range("FrameList::insert");
    frames_.insert(frames_.begin() + std::ptrdiff_t(i), std::move(frame));
}

void FrameList::erase(std::size_t i)
{
    if (i >= frames_.size())
        throw std::out_of_range("FrameList::erase");
    frames_.erase(frames_.begin() + std::ptrdiff_t(i));
}

void FrameList::exchange(std::size_t i, std::size_t j)
{
    std::swap(frames_.at(i), frames_.at(j));
}

void FrameList::clear()
{
    // swap with an empty vector so the pictures' memory is released now
    std::vector<FrameRecord>().swap(frames_);
}

}  // namespace pelko
