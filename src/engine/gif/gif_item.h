#pragma once
// TGIFItem, the base of every block of a GIF image (header, frames,
// extensions), and TGIFList, the ordered owning list of frames or extensions.

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/gif/gif_stream.h"
#include "engine/gif/gif_types.h"

namespace pelko {

class TGIFImage;

class TGIFItem {
public:
    explicit TGIFItem(TGIFImage* image) : image_(image) {}
    virtual ~TGIFItem() = default;
    TGIFItem(const TGIFItem&) = delete;
    TGIFItem& operator=(const TGIFItem&) = delete;

    TGIFImage* Image() const { return image_; }
    virtual TGIFVersion GetVersion() const { return gv87a; }
    // Passes the warning to the owning image (dropped without one).
    virtual void Warning(TGIFSeverity severity, const std::string& message) const;

    virtual void SaveToStream(GifOutput& out) const {}
    virtual void LoadFromStream(GifInput& in) {}
    // Whole-file wrappers around SaveToStream and LoadFromStream.
    void SaveToFile(const std::string& name) const;
    void LoadFromFile(const std::string& name);

protected:
    TGIFImage* image_;
};

// Forwards a warning to an image without needing its full type.
void gifImageWarning(TGIFImage* image, const void* sender, TGIFSeverity severity, const std::string& message);

template <class T>
class TGIFList {
public:
    explicit TGIFList(TGIFImage* image) : image_(image) {}
    TGIFList(const TGIFList&) = delete;
    TGIFList& operator=(const TGIFList&) = delete;
    ~TGIFList() { Clear(); }

    int GetCount() const { return int(items_.size()); }
    T* GetItem(int index) const { return items_.at(check(index)).get(); }
    // Replaces (and frees) the item at index.
    void SetItem(int index, std::unique_ptr<T> item)
    {
        std::unique_ptr<T> old = std::exchange(items_.at(check(index)), std::move(item));
    }
    T* First() const { return items_.empty() ? nullptr : items_.front().get(); }
    T* Last() const { return items_.empty() ? nullptr : items_.back().get(); }
    int IndexOf(const T* item) const
    {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i].get() == item)
                return int(i);
        return -1;
    }

    int Add(std::unique_ptr<T> item)
    {
        items_.push_back(std::move(item));
        return int(items_.size()) - 1;
    }
    void Insert(int index, std::unique_ptr<T> item)
    {
        if (index < 0 || index > GetCount())
            throw std::out_of_range("list index out of bounds");
        items_.insert(items_.begin() + index, std::move(item));
    }
    // Takes the item out and frees it.
    void Delete(int index)
    {
        std::unique_ptr<T> item = std::move(items_.at(check(index)));
        items_.erase(items_.begin() + index);
    }
    // Takes the item out without freeing it; null when it is not in the list.
    std::unique_ptr<T> Remove(const T* item)
    {
        int i = IndexOf(item);
        if (i < 0)
            return nullptr;
        std::unique_ptr<T> p = std::move(items_[std::size_t(i)]);
        items_.erase(items_.begin() + i);
        return p;
    }
    // Deletes every item, the first one first. The list is empty while they
    // go, and the time is linear in their number.
    void Clear()
    {
        std::vector<std::unique_ptr<T>> items = std::move(items_);
        items_.clear();
        for (std::unique_ptr<T>& item : items) item.reset();
    }
    void Exchange(int a, int b) { std::swap(items_.at(check(a)), items_.at(check(b))); }
    void Move(int from, int to)
    {
        check(from);
        check(to);
        std::unique_ptr<T> p = std::move(items_[std::size_t(from)]);
        items_.erase(items_.begin() + from);
        items_.insert(items_.begin() + to, std::move(p));
    }

    void Warning(TGIFSeverity severity, const std::string& message) const
    {
        gifImageWarning(image_, this, severity, message);
    }
    // Each item's SaveToStream in list order.
    void SaveToStream(GifOutput& out) const
    {
        for (const auto& item : items_) item->SaveToStream(out);
    }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

protected:
    int check(int index) const
    {
        if (index < 0 || index >= GetCount())
            throw std::out_of_range("list index out of bounds");
        return index;
    }
    TGIFImage* image_;
    std::vector<std::unique_ptr<T>> items_;
};

}  // namespace pelko
