#include "engine/project/ini_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "engine/image/ppm.h"

namespace pelko {
namespace {

std::string lower(std::string s)
{
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trim(const std::string& s)
{
    std::size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
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

IniFile IniFile::parse(const std::string& text)
{
    IniFile ini;
    std::string current;
    std::size_t pos = 0;
    if (text.find("\r\n") != std::string::npos)
        ini.newline_ = "\r\n";
    // one allocation for all lines: growing a project of thousands of frames
    // line by line would hold the old and the new array at once
    ini.lines_.reserve(std::size_t(std::count(text.begin(), text.end(), '\n')) + 1);
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string raw = text.substr(pos, end - pos);
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        pos = end + 1;

        Line line;
        line.raw = raw;
        const std::string t = trim(raw);
        if (!t.empty() && t.front() == '[') {
            const std::size_t close = t.find(']');
            current = lower(trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1)));
            line.header = true;
        } else if (!t.empty() && t.front() != ';' && t.front() != '#') {
            const std::size_t eq = t.find('=');
            if (eq != std::string::npos) {
                line.keyText = trim(t.substr(0, eq));
                line.key = lower(line.keyText);
                line.value = trim(t.substr(eq + 1));
            }
        }
        line.section = current;
        ini.lines_.push_back(std::move(line));
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
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parse(text);
}

std::string IniFile::text() const
{
    std::string out;
    for (const Line& l : lines_) {
        out += l.raw;
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
    return sectionEnd_.count(lower(section)) != 0;
}

void IniFile::buildIndex() const
{
    keyIndex_.clear();
    sectionEnd_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        if (!l.key.empty())
            keyIndex_.try_emplace(l.section + '\n' + l.key, i);
        if (l.header || !l.key.empty())
            sectionEnd_[l.section] = i + 1;
    }
    indexed_ = true;
}

std::optional<std::size_t> IniFile::findKey(const std::string& section, const std::string& key) const
{
    if (!indexed_)
        buildIndex();
    const auto it = keyIndex_.find(lower(section) + '\n' + lower(key));
    if (it == keyIndex_.end())
        return std::nullopt;
    return it->second;
}

bool IniFile::hasKey(const std::string& section, const std::string& key) const
{
    return findKey(section, key).has_value();
}

std::vector<std::string> IniFile::keys(const std::string& section) const
{
    const std::string s = lower(section);
    std::vector<std::string> out;
    for (const Line& l : lines_)
        if (!l.key.empty() && l.section == s)
            out.push_back(l.keyText);
    return out;
}

std::string IniFile::getString(const std::string& section, const std::string& key,
                               const std::string& def) const
{
    const auto i = findKey(section, key);
    if (!i)
        return def.substr(0, kMaxValueLength);
    return lines_[*i].value.substr(0, kMaxValueLength);
}

std::int32_t IniFile::getInt(const std::string& section, const std::string& key, std::int32_t def) const
{
    const auto i = findKey(section, key);
    if (!i)
        return def;
    return parseIniInt(lines_[*i].value.substr(0, kMaxValueLength)).value_or(def);
}

void IniFile::setString(const std::string& section, const std::string& key, const std::string& value)
{
    // a value never spans lines
    if (!indexed_)
        buildIndex();
    std::string v = value;
    for (char& c : v)
        if (c == '\n' || c == '\r')
            c = ' ';
    if (const auto i = findKey(section, key)) {
        Line& l = lines_[*i];
        l.value = trim(v);
        l.raw = l.keyText + "=" + v;
        return;
    }
    const std::string s = lower(section);
    Line line;
    line.raw = key + "=" + v;
    line.section = s;
    line.key = lower(key);
    line.keyText = key;
    line.value = trim(v);
    // after the last key line of the section, or right after its header
    const auto end = sectionEnd_.find(s);
    if (end == sectionEnd_.end()) {
        Line header;
        header.raw = "[" + section + "]";
        header.section = s;
        header.header = true;
        lines_.push_back(std::move(header));
    } else if (end->second != lines_.size()) {
        lines_.insert(lines_.begin() + std::ptrdiff_t(end->second), std::move(line));
        indexed_ = false;
        return;
    }
    keyIndex_.try_emplace(s + '\n' + line.key, lines_.size());
    lines_.push_back(std::move(line));
    sectionEnd_[s] = lines_.size();
}

void IniFile::setInt(const std::string& section, const std::string& key, std::int64_t value)
{
    setString(section, key, std::to_string(value));
}

void IniFile::eraseSection(const std::string& section)
{
    const std::string s = lower(section);
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    for (Line& l : lines_)
        if (l.section != s)
            kept.push_back(std::move(l));
    lines_ = std::move(kept);
    indexed_ = false;
}

}  // namespace pelko
