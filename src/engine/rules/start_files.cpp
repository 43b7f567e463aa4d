#include "engine/rules/start_files.h"

#include "engine/image/file_kind.h"
#include "engine/project/image_sources.h"

namespace pelko {

StartFiles startFilesFor(const std::vector<std::string>& arguments)
{
    StartFiles files;
    if (arguments.empty() || arguments.front().empty())
        return files;
    if (isSourceExtension(arguments.front()))
        files.pictures = arguments;
    else
        files.project = arguments.front();
    return files;
}

ProjectOptions startProjectOptions(const std::vector<std::string>& pictures, ProjectOptions dialogStart)
{
    if (!pictures.empty() && hasExtension(pictures.front(), ".gif"))
        dialogStart.Type = ProjectGif;
    dialogStart.FixAtFirstFrame = true;
    return dialogStart;
}

}  // namespace pelko
