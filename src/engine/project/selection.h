#pragma once
// Selection: frame indices in the order they were selected, each at most once.
// The first entry is the anchor of the commands that act at one position.

#include <vector>

namespace pelko {

class Selection {
public:
    const std::vector<int>& indices() const { return items_; }
    bool empty() const { return items_.empty(); }
    int count() const { return int(items_.size()); }
    // First selected frame, or -1 when nothing is selected.
    int first() const { return items_.empty() ? -1 : items_.front(); }
    bool contains(int index) const;

    // Adds index at the end unless it is already selected.
    void add(int index);
    void remove(int index);
    void toggle(int index);
    void clear() { items_.clear(); }
    // Exactly one frame selected.
    void selectOnly(int index);
    // All indices 0..count-1 in ascending order.
    void selectAll(int count);
    void assign(std::vector<int> indices);

private:
    std::vector<int> items_;
};

}  // namespace pelko
