#include "engine/project/ini_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <system_error>

#include "engine/image/ppm.h"

namespace pelko {
namespace {

char lowerChar(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out) c = lowerChar(c);
    return out;
}

// The C locale's white space.
bool space(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view trimView(std::string_view s)
{
    std::size_t a = 0, b = s.size();
    while (a < b && space(s[a])) ++a;
    while (b > a && space(s[b - 1])) --b;
    return s.substr(a, b - a);
}

std::string trim(const std::string& s)
{
    return std::string(trimView(s));
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerChar(a[i]) != lowerChar(b[i]))
            return false;
    return true;
}

// The hash of a key in a section, the same for every case of its letters.
std::size_t keyHash(std::uint32_t section, std::string_view key)
{
    std::uint64_t h = 1469598103934665603ull ^ (std::uint64_t(section) * 0x9E3779B97F4A7C15ull);
    for (char c : key) h = (h ^ std::uint8_t(lowerChar(c))) * 1099511628211ull;
    // mixed, so that keys differing in their last digits spread over the table
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return std::size_t(h);
}

std::uint16_t tagOf(std::size_t hash)
{
    return std::uint16_t(hash >> 48);
}

// The key part of a key line's text: before its '=', trimmed.
std::string_view keyOf(std::string_view raw)
{
    const std::string_view t = trimView(raw);
    return trimView(t.substr(0, t.find('=')));
}

}  // namespace

std::optional<std::int32_t> parseIniInt(const std::string& raw)
{
    const std::string t = trim(raw);
    if (t.empty())
        return std::nullopt;
    std::uint64_t v = 0;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        if (t.size() > 2 + 16)
            return std::nullopt;
        for (std::size_t i = 2; i < t.size(); ++i) {
            const char c = t[i];
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return std::nullopt;
            v = (v << 4) | std::uint64_t(d);
        }
        return std::int32_t(std::uint32_t(v));
    }
    std::size_t i = 0;
    const bool negative = t[0] == '-';
    if (negative || t[0] == '+')
        i = 1;
    if (i == t.size() || t.size() - i > 18)
        return std::nullopt;
    for (; i < t.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(t[i])))
            return std::nullopt;
        v = v * 10 + std::uint64_t(t[i] - '0');
    }
    if (negative)
        v = ~v + 1;
    return std::int32_t(std::uint32_t(v));
}

IniFile IniFile::parse(std::string text)
{
    if (text.size() >= std::numeric_limits<std::uint32_t>::max())
        throw std::runtime_error("the file is too large");
    IniFile ini;
    ini.read_ = std::move(text);
    const std::string_view all(ini.read_);
    if (all.find("\r\n") != std::string_view::npos)
        ini.newline_ = "\r\n";
    ini.lines_.reserve(std::size_t(std::count(all.begin(), all.end(), '\n')) + 1);
    std::uint32_t current = 0;
    std::size_t pos = 0;
    while (pos < all.size()) {
        std::size_t end = all.find('\n', pos);
        if (end == std::string_view::npos)
            end = all.size();
        std::string_view raw = all.substr(pos, end - pos);
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        Line line;
        line.at = std::uint32_t(pos);
        line.size = std::uint32_t(raw.size());
        pos = end + 1;

        const std::string_view t = trimView(raw);
        if (!t.empty() && t.front() == '[') {
            const std::size_t close = t.find(']');
            current = ini.sectionId(
                lower(trimView(t.substr(1, close == std::string_view::npos ? close : close - 1))));
            line.kind = Kind::Header;
        } else if (!t.empty() && t.front() != ';' && t.front() != '#' &&
                   t.find('=') != std::string_view::npos && !keyOf(raw).empty()) {
            line.kind = Kind::Key;
            line.tag = tagOf(keyHash(current, keyOf(raw)));
        }
        line.section = current;
        ini.lines_.push_back(line);
    }
    return ini;
}

IniFile IniFile::load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::ifstream probe(path);
        if (!probe.is_open())
            return IniFile{};  // no file yet: an empty profile, as the profile calls see it
        throw std::runtime_error("Cannot read " + path);
    }
    // read whole into a string of the file's size: growing it block by block
    // would hold twice the text of a large project at the end
    std::string text;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0 && std::uintmax_t(size) < std::numeric_limits<std::uint32_t>::max())
        text.reserve(std::size_t(size));
    char block[1 << 16];
    while (in.read(block, sizeof block) || in.gcount() > 0) text.append(block, std::size_t(in.gcount()));
    if (in.bad())
        throw std::runtime_error("Cannot read " + path);
    return parse(std::move(text));
}

std::string_view IniFile::raw(const Line& line) const
{
    return std::string_view(line.written ? written_ : read_).substr(line.at, line.size);
}

std::string_view IniFile::keyText(const Line& line) const
{
    return keyOf(raw(line));
}

std::string_view IniFile::value(const Line& line) const
{
    const std::string_view t = trimView(raw(line));
    const std::size_t eq = t.find('=');
    return eq == std::string_view::npos ? std::string_view() : trimView(t.substr(eq + 1));
}

std::uint32_t IniFile::sectionId(const std::string& lowerName)
{
    const auto [it, added] = sectionIds_.try_emplace(lowerName, std::uint32_t(sections_.size()));
    if (added)
        sections_.push_back(lowerName);
    return it->second;
}

std::optional<std::uint32_t> IniFile::findSection(const std::string& name) const
{
    const auto it = sectionIds_.find(lower(name));
    if (it == sectionIds_.end())
        return std::nullopt;
    return it->second;
}

IniFile::Line IniFile::written(std::string_view raw, std::uint32_t section, Kind kind)
{
    if (written_.size() + raw.size() >= std::numeric_limits<std::uint32_t>::max())
        throw std::runtime_error("the file is too large");
    Line line;
    line.at = std::uint32_t(written_.size());
    line.size = std::uint32_t(raw.size());
    line.section = section;
    line.kind = kind;
    line.written = true;
    if (kind == Kind::Key)
        line.tag = tagOf(keyHash(section, keyOf(raw)));
    written_ += raw;
    return line;
}

std::string IniFile::text() const
{
    std::size_t size = 0;
    for (const Line& l : lines_) size += l.size + newline_.size();
    std::string out;
    out.reserve(size);
    for (const Line& l : lines_) {
        out += raw(l);
        out += newline_;
    }
    return out;
}

void IniFile::save(const std::string& path) const
{
    const std::string t = text();
    try {
        writeFile(path, std::vector<std::uint8_t>(t.begin(), t.end()));
    } catch (const std::exception& e) {
        // "PATH: reason" after the program's own words
        throw std::runtime_error(std::string("Unable to write to ") + e.what());
    }
}

bool IniFile::hasSection(const std::string& section) const
{
    if (!indexed_)
        buildIndex();
    const auto id = findSection(section);
    return id && sectionEnd_[*id] != 0;
}

void IniFile::indexKey(std::size_t index) const
{
    if ((keyCount_ + 1) * 2 > keySlots_.size()) {
        // grow, and place every key indexed so far again
        std::vector<std::uint32_t> old = std::move(keySlots_);
        keySlots_.assign(std::max<std::size_t>(64, old.size() * 2), 0);
        keyCount_ = 0;
        for (const std::uint32_t slot : old)
            if (slot)
                indexKey(slot - 1);
    }
    const Line& line = lines_[index];
    const std::string_view key = keyText(line);
    const std::size_t hash = keyHash(line.section, key);
    const std::size_t mask = keySlots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const std::uint32_t slot = keySlots_[i];
        if (!slot) {
            keySlots_[i] = std::uint32_t(index + 1);
            ++keyCount_;
            return;
        }
        const Line& other = lines_[slot - 1];
        if (other.tag == line.tag && other.section == line.section && equalIgnoringCase(keyText(other), key))
            return;  // the first of a key counts
    }
}

void IniFile::buildIndex() const
{
    // room for every key at once: the table is never grown while it is built
    const std::size_t keys = std::size_t(
        std::count_if(lines_.begin(), lines_.end(), [](const Line& l) { return l.kind == Kind::Key; }));
    std::size_t slots = 64;
    while (slots < 2 * (keys + 1)) slots *= 2;
    keySlots_.assign(slots, 0);
    keyCount_ = 0;
    sectionEnd_.assign(sections_.size(), 0);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        if (l.kind == Kind::Key)
            indexKey(i);
        if (l.kind != Kind::Other)
            sectionEnd_[l.section] = std::uint32_t(i + 1);
    }
    indexed_ = true;
}

std::optional<std::size_t> IniFile::findKey(const std::string& section, const std::string& key) const
{
    if (!indexed_)
        buildIndex();
    const auto id = findSection(section);
    if (!id || keySlots_.empty())
        return std::nullopt;
    const std::size_t hash = keyHash(*id, key);
    const std::uint16_t tag = tagOf(hash);
    const std::size_t mask = keySlots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const std::uint32_t slot = keySlots_[i];
        if (!slot)
            return std::nullopt;
        const Line& line = lines_[slot - 1];
        if (line.tag == tag && line.section == *id && equalIgnoringCase(keyText(line), key))
            return slot - 1;
    }
}

bool IniFile::hasKey(const std::string& section, const std::string& key) const
{
    return findKey(section, key).has_value();
}

std::vector<std::string> IniFile::keys(const std::string& section) const
{
    std::vector<std::string> out;
    const auto id = findSection(section);
    if (!id)
        return out;
    for (const Line& l : lines_)
        if (l.kind == Kind::Key && l.section == *id)
            out.emplace_back(keyText(l));
    return out;
}

std::size_t IniFile::countKeys(const std::string& section, std::string_view prefix) const
{
    const auto id = findSection(section);
    if (!id)
        return 0;
    std::size_t n = 0;
    for (const Line& l : lines_) {
        if (l.kind != Kind::Key || l.section != *id)
            continue;
        const std::string_view k = keyText(l);
        n += k.size() >= prefix.size() && equalIgnoringCase(k.substr(0, prefix.size()), prefix);
    }
    return n;
}

std::string IniFile::getString(const std::string& section, const std::string& key,
                               const std::string& def) const
{
    const auto i = findKey(section, key);
    if (!i)
        return def.substr(0, kMaxValueLength);
    return std::string(value(lines_[*i]).substr(0, kMaxValueLength));
}

std::int32_t IniFile::getInt(const std::string& section, const std::string& key, std::int32_t def) const
{
    const auto i = findKey(section, key);
    if (!i)
        return def;
    return parseIniInt(std::string(value(lines_[*i]).substr(0, kMaxValueLength))).value_or(def);
}

void IniFile::setString(const std::string& section, const std::string& key, const std::string& value)
{
    if (!indexed_)
        buildIndex();
    // a value never spans lines
    std::string v = value;
    for (char& c : v)
        if (c == '\n' || c == '\r')
            c = ' ';
    if (const auto i = findKey(section, key)) {
        Line& l = lines_[*i];
        const std::string rawLine = std::string(keyText(l)) + "=" + v;
        l = written(rawLine, l.section, Kind::Key);
        return;
    }
    const std::uint32_t s = sectionId(lower(section));
    if (sectionEnd_.size() < sections_.size())
        sectionEnd_.resize(sections_.size(), 0);
    const Line line = written(key + "=" + v, s, Kind::Key);
    // after the last key line of the section, or right after its header
    if (sectionEnd_[s] == 0) {
        lines_.push_back(written("[" + section + "]", s, Kind::Header));
    } else if (sectionEnd_[s] != lines_.size()) {
        lines_.insert(lines_.begin() + std::ptrdiff_t(sectionEnd_[s]), line);
        indexed_ = false;
        return;
    }
    lines_.push_back(line);
    indexKey(lines_.size() - 1);
    sectionEnd_[s] = std::uint32_t(lines_.size());
}

void IniFile::setInt(const std::string& section, const std::string& key, std::int64_t value)
{
    setString(section, key, std::to_string(value));
}

void IniFile::eraseSection(const std::string& section)
{
    const auto id = findSection(section);
    if (!id)
        return;
    std::erase_if(lines_, [&](const Line& l) { return l.section == *id; });
    indexed_ = false;
}

}  // namespace pelko
