#include "gui/app/command_line.h"

#include <cstdio>
#include <cstring>

#include <QFileInfo>

#include "engine/rules/start_files.h"

namespace pelko {

const char* commandLineHelp()
{
    return "pelko " PELKO_VERSION
           " - make animated GIFs and AVI videos from pictures\n"
           "\n"
           "usage: pelko [PROJECT.mcp]\n"
           "       pelko PICTURE...\n"
           "       pelko --help | --version\n"
           "\n"
           "Pelko opens the project file it is given. Given pictures (BMP, JPEG, PNG,\n"
           "ICO or GIF files) it starts a new project of them, as New followed by Add\n"
           "would: an animated GIF project when the first is a GIF file, otherwise\n"
           "the type a new project starts with, and the canvas of the first frame.\n"
           "Without a file, the first runs open the New project dialog.\n"
           "\n"
           "files:\n"
           "  ~/.config/Pelko/Pelko v.2.2.ini\n"
           "      the window's size, the default frame size and the recent projects\n"
           "  Work beside the program, or ~/.local/share/Pelko/Work\n"
           "      the pictures Pelko makes itself (transitions, text, captures)\n"
           "\n"
           "see also:\n"
           "  pelko-cli(1)\n"
           "      the same work without a window\n";
}

std::optional<int> answerInfoArgument(int argc, char** argv)
{
    if (argc != 2)
        return std::nullopt;
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(commandLineHelp(), stdout);
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::puts("pelko " PELKO_VERSION);
        return 0;
    }
    return std::nullopt;
}

void takeStartFiles(const QStringList& arguments, StartOptions& options)
{
    std::vector<std::string> files;
    for (const QString& a : arguments.mid(1)) files.push_back(a.toStdString());
    const StartFiles start = startFilesFor(files);
    options.projectArgument = QString::fromStdString(start.project);
    options.pictureArguments.clear();
    // full paths now, while they mean what the caller meant
    for (const std::string& p : start.pictures)
        options.pictureArguments << QFileInfo(QString::fromStdString(p)).absoluteFilePath();
}

}  // namespace pelko
