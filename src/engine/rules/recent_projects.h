#pragma once
// RecentProjects: the project paths of the Reopen menu, most recent first.
// At most five are kept; a path equal to an older entry apart from letter case
// replaces that entry instead of being listed twice.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pelko {

class RecentProjects {
public:
    static constexpr std::size_t kCapacity = 5;

    // Loads the stored entries "File1".."File5" in order. Empty texts end the
    // list, as the Reopen menu stops at the first empty entry.
    void assign(const std::vector<std::string>& stored);

    // Puts path at the top; an older entry equal to it ignoring case goes.
    void add(const std::string& path);

    const std::vector<std::string>& entries() const { return entries_; }
    bool empty() const { return entries_.empty(); }
    // The five stored values, padded with empty texts.
    std::array<std::string, kCapacity> stored() const;

private:
    std::vector<std::string> entries_;
};

// Paths compare without regard to case (ASCII letters; other bytes as they are).
bool samePathIgnoringCase(std::string_view a, std::string_view b);

// Caption of the Reopen item at position 1..5: "&1 /path/file.mcp".
// An ampersand in the path is doubled so it is shown, not taken as a mnemonic.
std::string reopenCaption(int position, std::string_view path);

}  // namespace pelko
