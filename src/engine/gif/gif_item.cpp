#include "engine/gif/gif_item.h"

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"
#include "engine/image/ppm.h"

namespace pelko {

void gifImageWarning(TGIFImage* image, const void* sender, TGIFSeverity severity, const std::string& message)
{
    if (image)
        image->Warning(sender, severity, message);
}

void TGIFItem::Warning(TGIFSeverity severity, const std::string& message) const
{
    gifImageWarning(image_, this, severity, message);
}

void TGIFItem::SaveToFile(const std::string& name) const
{
    GifOutput out;
    SaveToStream(out);
    writeFile(name, out.bytes());
}

void TGIFItem::LoadFromFile(const std::string& name)
{
    std::vector<std::uint8_t> bytes = readFile(name);
    GifInput in(bytes);
    LoadFromStream(in);
}

void GifInput::readExact(void* dst, std::size_t n)
{
    if (read(dst, n) != n)
        throw GIFException(gifmsg::kPrematureEnd);
}

}  // namespace pelko
