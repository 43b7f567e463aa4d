#include "engine/project/selection.h"

#include <algorithm>

namespace pelko {

bool Selection::contains(int index) const
{
    return std::find(items_.begin(), items_.end(), index) != items_.end();
}

void Selection::add(int index)
{
    if (!contains(index))
        items_.push_back(index);
}

void Selection::remove(int index)
{
    items_.erase(std::remove(items_.begin(), items_.end(), index), items_.end());
}

void Selection::toggle(int index)
{
    if (contains(index))
        remove(index);
    else
        items_.push_back(index);
}

void Selection::selectOnly(int index)
{
    items_.assign(1, index);
}

void Selection::selectAll(int count)
{
    items_.clear();
    for (int i = 0; i < count; ++i) items_.push_back(i);
}

void Selection::assign(std::vector<int> indices)
{
    items_.clear();
    for (int i : indices) add(i);
}

}  // namespace pelko
