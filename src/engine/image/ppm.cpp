#include "engine/image/ppm.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "engine/base/output_file.h"

namespace pelko {

std::vector<std::uint8_t> encodePpm(const Picture& picture)
{
    const std::string header =
        "P6\n" + std::to_string(picture.width()) + " " + std::to_string(picture.height()) + "\n255\n";
    std::vector<std::uint8_t> out(header.begin(), header.end());
    out.reserve(out.size() + std::size_t(picture.width()) * std::size_t(picture.height()) * 3);
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* p = picture.row(y);
        for (int x = 0; x < picture.width(); ++x, p += 3) {
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
    }
    return out;
}

namespace {

[[noreturn]] void notPpm()
{
    throw std::runtime_error("This file is not PPM.");
}

// Reads one header number, skipping white space and comments.
long readNumber(const std::uint8_t* data, std::size_t size, std::size_t& pos)
{
    for (;;) {
        while (pos < size && std::isspace(data[pos])) ++pos;
        if (pos < size && data[pos] == '#') {
            while (pos < size && data[pos] != '\n') ++pos;
            continue;
        }
        break;
    }
    long v = 0;
    std::size_t digits = 0;
    while (pos < size && std::isdigit(data[pos]) && digits < 9) {
        v = v * 10 + (data[pos++] - '0');
        ++digits;
    }
    if (digits == 0 || (pos < size && std::isdigit(data[pos])))
        notPpm();
    return v;
}

}  // namespace

Picture decodePpm(const std::uint8_t* data, std::size_t size)
{
    if (size < 2 || data[0] != 'P' || data[1] != '6')
        notPpm();
    std::size_t pos = 2;
    const long w = readNumber(data, size, pos);
    const long h = readNumber(data, size, pos);
    const long maxval = readNumber(data, size, pos);
    if (maxval != 255 || pos >= size || !std::isspace(data[pos]) || !pictureSizeAllowed(w, h))
        notPpm();
    ++pos;
    const std::size_t need = std::size_t(w) * std::size_t(h) * 3;
    if (size - pos < need)
        notPpm();
    Picture pic(static_cast<int>(w), static_cast<int>(h));
    const std::uint8_t* s = data + pos;
    for (int y = 0; y < pic.height(); ++y) {
        std::uint8_t* d = pic.row(y);
        for (int x = 0; x < pic.width(); ++x, d += 3, s += 3) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
    }
    return pic;
}

std::vector<std::uint8_t> readFile(const std::string& path)
{
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error(systemErrorText(path, errno ? errno : ENOENT));
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw std::runtime_error(systemErrorText(path, errno ? errno : EIO));
    return bytes;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    writeOutputFile(path, bytes);
}

}  // namespace pelko
