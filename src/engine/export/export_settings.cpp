#include "engine/export/export_settings.h"

#include <array>

#include "engine/image/file_kind.h"

namespace pelko {

ExportFormat exportFormatOf(std::string_view path)
{
    if (hasExtension(path, ".png"))
        return ExportFormat::Png;
    if (hasExtension(path, ".gif"))
        return ExportFormat::Gif;
    if (hasExtension(path, ".jpg") || hasExtension(path, ".jpeg"))
        return ExportFormat::Jpeg;
    if (hasExtension(path, ".bmp"))
        return ExportFormat::Bmp;
    return ExportFormat::None;
}

const char* exportTypeExtension(int type)
{
    static constexpr std::array<const char*, kExportTypeCount> extensions{".bmp", ".gif", ".jpg", ".png"};
    return type >= 1 && type <= kExportTypeCount ? extensions[std::size_t(type - 1)] : "";
}

std::string nameForExportType(std::string_view name, int type)
{
    const auto slash = name.find_last_of('/');
    const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
    const auto dot = name.find_last_of('.');
    std::string base(name);
    // a leading dot starts a hidden name, not an extension
    if (dot != std::string_view::npos && dot > start)
        base.resize(dot);
    return base + exportTypeExtension(type);
}

bool isBmpBits(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

ExportSettings initialExportSettings(int screenDepth)
{
    ExportSettings s;
    s.bmpBits = screenDepth == 24 ? 24 : 32;
    return s;
}

}  // namespace pelko
