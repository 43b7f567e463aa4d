#pragma once
// IniFile: the INI files of projects, read and written the way the desktop's
// private profile calls do: section and key names without regard to case,
// values without quotes, at most 2047 characters of a value read, integers in
// decimal or 0x/0X hexadecimal. Every section, key, comment and blank line
// that the program does not change is written back as it was.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pelko {

class IniFile {
public:
    static constexpr std::size_t kMaxValueLength = 2047;

    IniFile() = default;
    // Parses text (UTF-8; lines end in LF or CR LF).
    static IniFile parse(const std::string& text);
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
    struct Line {
        std::string raw;      // the line as it was read or written
        std::string section;  // lower-case name of the section it belongs to
        std::string key;      // lower-case key for key lines, empty otherwise
        std::string keyText;  // the key as written
        std::string value;
        bool header = false;
    };
    std::vector<Line> lines_;
    std::string newline_ = "\n";

    // Lookup tables over lines_, built when first needed and kept up to date
    // while keys are appended at the end of the file (the common case when a
    // project is written); any other change drops them.
    mutable std::map<std::string, std::size_t> keyIndex_;    // section + '\n' + key -> first line
    mutable std::map<std::string, std::size_t> sectionEnd_;  // section -> line after its last key or header
    mutable bool indexed_ = false;

    void buildIndex() const;
    std::optional<std::size_t> findKey(const std::string& section, const std::string& key) const;
};

// Parses an integer as the profile calls do; std::nullopt for anything else.
std::optional<std::int32_t> parseIniInt(const std::string& text);

}  // namespace pelko
