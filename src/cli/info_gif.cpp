// The GIF half of "pelko-cli info": the logical screen, the global map, every
// frame with its extensions, and the warnings met while reading. The image
// data is followed and checked but no pixels are kept.

#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/info.h"
#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"

namespace pelko::cli {

namespace {

const char* disposalName(TDisposalMethod d)
{
    switch (d) {
        case dmNone:
            return "none";
        case dmNoDisposal:
            return "keep";
        case dmBackground:
            return "background";
        case dmPrevious:
            return "previous";
    }
    return "reserved";
}

// Text as a quoted line with control and non-ASCII bytes escaped.
std::string quoted(const std::vector<std::string>& lines)
{
    std::string s = "\"";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i)
            s += "\" \"";
        for (unsigned char c : lines[i]) {
            if (c == '"' || c == '\\') {
                s += '\\';
                s += char(c);
            } else if (c < 0x20 || c >= 0x7F) {
                static const char* hex = "0123456789abcdef";
                s += "\\x";
                s += hex[c >> 4];
                s += hex[c & 15];
            } else {
                s += char(c);
            }
        }
    }
    return s + "\"";
}

std::string printable(const std::string& bytes)
{
    std::string s;
    for (unsigned char c : bytes) s += (c >= 0x20 && c < 0x7F) ? char(c) : '.';
    return s;
}

void printExtension(const TGIFExtension& e)
{
    if (auto* gce = dynamic_cast<const TGIFGraphicControlExtension*>(&e)) {
        std::cout << "    graphic control: delay " << gce->GetDelay() << ", disposal "
                  << disposalName(gce->GetDisposal()) << ", transparent "
                  << (gce->GetTransparent() ? "yes" : "no") << ", index " << gce->GetTransparentColorIndex()
                  << (gce->GetUserInput() ? ", user input" : "") << '\n';
    } else if (auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(&e)) {
        std::cout << "    loop: " << loop->GetLoops() << (loop->GetLoops() == 0 ? " (endless)" : "") << '\n';
    } else if (auto* app = dynamic_cast<const TGIFUnknownAppExtension*>(&e)) {
        std::size_t bytes = 0;
        for (const TGIFBlock& b : app->Blocks()) bytes += b.Data.size();
        std::cout << "    application: " << printable(app->GetIdentifier() + app->GetAuthentication()) << ", "
                  << app->Blocks().size() << " blocks, " << bytes << " bytes\n";
    } else if (auto* comment = dynamic_cast<const TGIFCommentExtension*>(&e)) {
        std::cout << "    comment: " << quoted(comment->Text()) << '\n';
    } else if (auto* text = dynamic_cast<const TGIFTextExtension*>(&e)) {
        std::cout << "    text: grid " << text->GetLeft() << "," << text->GetTop() << " "
                  << text->GetGridWidth() << "x" << text->GetGridHeight() << ", cell " << text->GetCellWidth()
                  << "x" << text->GetCellHeight() << ", colours " << text->GetForegroundColorIndex() << "/"
                  << text->GetBackgroundColorIndex() << ", " << quoted(text->Text()) << '\n';
    } else if (auto* other = dynamic_cast<const TGIFApplicationExtension*>(&e)) {
        std::cout << "    application: " << printable(other->GetIdentifier() + other->GetAuthentication())
                  << '\n';
    } else {
        std::cout << "    extension 0x" << std::hex << int(e.GetExtensionType()) << std::dec << '\n';
    }
}

}  // namespace

int infoGif(const std::string& path)
{
    TGIFImage image;
    image.SetReadPixels(false);
    std::vector<std::string> warnings;
    image.OnWarning = [&](const void*, TGIFSeverity, const std::string& message) {
        warnings.push_back(message);
    };
    std::string error;
    try {
        image.LoadFromFile(path);
    } catch (const GIFException& e) {
        error = e.what();
    } catch (const std::exception& e) {
        return fail(std::string(e.what()));
    }

    const TGIFHeader& h = image.Header();
    std::cout << "file: " << path << '\n'
              << "logical screen: " << h.GetWidth() << "x" << h.GetHeight() << ", background index "
              << h.GetBackgroundColorIndex() << ", aspect ratio " << h.GetAspectRatio() << '\n'
              << "global color map: " << h.ColorMap().GetCount() << " colors\n"
              << "frames: " << image.Images().GetCount() << '\n';
    int loops = -1;
    int index = 0;
    for (const auto& frame : image.Images()) {
        std::cout << "frame " << index++ << ": ";
        if (frame->GetEmpty() && frame->GetWidth() * frame->GetHeight() == 0 &&
            frame->Extensions().GetCount() > 0 && frame->Data().empty()) {
            std::cout << "empty (extensions only)\n";
        } else {
            const TGIFGraphicControlExtension* gce = frame->GraphicControlExtension();
            std::cout << "bounds " << frame->GetLeft() << "," << frame->GetTop() << " " << frame->GetWidth()
                      << "x" << frame->GetHeight() << ", interlaced "
                      << (frame->GetInterlaced() ? "yes" : "no") << ", local color map "
                      << frame->ColorMap().GetCount() << " colors, delay " << (gce ? gce->GetDelay() : 0)
                      << ", disposal " << disposalName(gce ? gce->GetDisposal() : dmNone) << ", transparent "
                      << (frame->GetTransparent() && gce ? "yes" : "no");
            if (frame->GetTransparent() && gce)
                std::cout << " (index " << gce->GetTransparentColorIndex() << ")";
            std::cout << '\n';
        }
        for (const auto& e : frame->Extensions()) {
            printExtension(*e);
            if (auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(e.get()); loop && loops < 0)
                loops = loop->GetLoops();
        }
    }
    if (loops < 0)
        std::cout << "loop count: none (plays once)\n";
    else
        std::cout << "loop count: " << loops << (loops == 0 ? " (endless)" : "") << '\n';
    for (const std::string& w : warnings) std::cout << "warning: " << w << '\n';
    if (!error.empty())
        return fail(path + ": " + error);
    return kExitOk;
}

}  // namespace pelko::cli
