#include "gui/app/command_line.h"
#include "gui/app/pelko_application.h"
#include "gui/features.h"

int main(int argc, char** argv)
{
    if (const std::optional<int> answered = pelko::answerInfoArgument(argc, argv))
        return *answered;
    pelko::PelkoApplication app(argc, argv);
    pelko::StartOptions options;
    // a project to open, or pictures to start a new project with
    pelko::takeStartFiles(QCoreApplication::arguments(), options);
    pelko::TAVIForm window(pelko::withFeatures(std::move(options)));
    window.showAtStart();
    return app.exec();
}
