#include "engine/rules/recent_projects.h"

#include <algorithm>

namespace pelko {

namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

}  // namespace

bool samePathIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

void RecentProjects::assign(const std::vector<std::string>& stored)
{
    entries_.clear();
    for (const std::string& path : stored) {
        if (path.empty() || entries_.size() == kCapacity)
            break;
        entries_.push_back(path);
    }
}

void RecentProjects::add(const std::string& path)
{
    if (path.empty())
        return;
    std::erase_if(entries_, [&](const std::string& e) { return samePathIgnoringCase(e, path); });
    entries_.insert(entries_.begin(), path);
    if (entries_.size() > kCapacity)
        entries_.resize(kCapacity);
}

std::array<std::string, RecentProjects::kCapacity> RecentProjects::stored() const
{
    std::array<std::string, kCapacity> out;
    std::copy(entries_.begin(), entries_.end(), out.begin());
    return out;
}

std::string reopenCaption(int position, std::string_view path)
{
    std::string caption = "&" + std::to_string(position) + " ";
    for (char c : path) {
        if (c == '&')
            caption += '&';
        caption += c;
    }
    return caption;
}

}  // namespace pelko
