#pragma once
// IniFile: the INI files of projects, read and written the way the desktop's
// private profile calls do: section and key names without regard to case,
// values without quotes, at most 2047 characters of a value read, integers in
// decimal or 0x/0X hexadecimal. Every section, key, comment and blank line
// that the program does not change is written back as it was.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pelko {

class IniFile {
public:
    static constexpr std::size_t kMaxValueLength = 2047;

    IniFile() = default;
    // Parses text (UTF-8; lines end in LF or CR LF).
    static IniFile parse(std::string text);
    // Loads path; a file that does not exist gives an empty IniFile.
    // Throws std::runtime_error when the file exists but cannot be read.
    static IniFile load(const std::string& path);

    std::string text() const;
    // Writes to a temporary file beside path and renames it over path.
    // Throws std::runtime_error("Unable to write to PATH: reason") on failure.
    void save(const std::string& path) const;

    bool hasSection(const std::string& section) const;
    bool hasKey(const std::string& section, const std::string& key) const;
    std::vector<std::string> keys(const std::string& section) const;
    // Every key line of section in the file's order: its key as written and
    // its value, trimmed (not yet cut to 2047 characters). The views last
    // while the file is not changed.
    template <class Visit>
    void forEachKey(const std::string& section, Visit visit) const
    {
        if (const auto id = findSection(section))
            for (const Line& l : lines_)
                if (l.kind == Kind::Key && l.section == *id)
                    visit(keyText(l), value(l));
    }
    // The keys of section whose names start with prefix, whatever the case.
    std::size_t countKeys(const std::string& section, std::string_view prefix) const;

    // The value (trimmed, at most 2047 characters), or def when missing.
    std::string getString(const std::string& section, const std::string& key, const std::string& def) const;
    // Decimal with an optional minus sign, or 0x/0X hexadecimal, taking the low
    // 32 bits; anything else, or a missing key, gives def.
    std::int32_t getInt(const std::string& section, const std::string& key, std::int32_t def) const;

    // Replaces the key's value, or adds the key at the end of its section, or
    // adds the section at the end of the file.
    void setString(const std::string& section, const std::string& key, const std::string& value);
    void setInt(const std::string& section, const std::string& key, std::int64_t value);
    void eraseSection(const std::string& section);

private:
    // A project of 100 000 frames has nearly two million lines, so a line is
    // kept small: where its text lies (in the text read, or in the lines
    // written since), the section it belongs to and what kind of line it is.
    // Its key and value are found in its text when asked for.
    enum class Kind : std::uint8_t { Other, Header, Key };
    struct Line {
        std::uint32_t at = 0;
        std::uint32_t size = 0;
        std::uint32_t section = 0;  // index into sections_
        Kind kind = Kind::Other;
        bool written = false;   // text in written_, else in read_
        std::uint16_t tag = 0;  // of a key line: bits of its key's hash, compared before the text
    };
    std::string read_;
    std::string written_;
    std::vector<Line> lines_;
    std::vector<std::string> sections_{std::string()};  // lower-case names; 0: before any header
    std::unordered_map<std::string, std::uint32_t> sectionIds_{{std::string(), 0}};
    std::string newline_ = "\n";

    // Lookup tables over lines_, built when first needed and kept up to date
    // while keys are appended at the end of the file (the common case when a
    // project is written); any other change drops them. keySlots_ is an open
    // hash table of line index + 1 (0: free) over section and lower-case key.
    mutable std::vector<std::uint32_t> keySlots_;
    mutable std::size_t keyCount_ = 0;
    mutable std::vector<std::uint32_t> sectionEnd_;  // line after its last key or header; 0: no such section
    mutable bool indexed_ = false;

    std::string_view raw(const Line& line) const;
    std::string_view keyText(const Line& line) const;
    std::string_view value(const Line& line) const;
    std::uint32_t sectionId(const std::string& lowerName);
    std::optional<std::uint32_t> findSection(const std::string& name) const;
    Line written(std::string_view raw, std::uint32_t section, Kind kind);
    void buildIndex() const;
    void indexKey(std::size_t line) const;
    std::optional<std::size_t> findKey(const std::string& section, const std::string& key) const;
};

// Parses an integer as the profile calls do; std::nullopt for anything else.
std::optional<std::int32_t> parseIniInt(const std::string& text);

}  // namespace pelko
