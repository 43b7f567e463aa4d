#include "engine/image/file_kind.h"

#include <cctype>

namespace pelko {

std::string fileExtension(std::string_view path)
{
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    std::string ext(path.substr(dot));
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

bool hasExtension(std::string_view path, std::string_view ext)
{
    if (ext.size() > path.size())
        return false;
    auto tail = path.substr(path.size() - ext.size());
    for (std::size_t i = 0; i < ext.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) !=
            std::tolower(static_cast<unsigned char>(ext[i])))
            return false;
    return true;
}

}  // namespace pelko
