#include "gui/app/main_window.h"
#include "gui/app/pelko_application.h"

int main(int argc, char** argv)
{
    pelko::PelkoApplication app(argc, argv);
    pelko::StartOptions options;
    // the first argument, if any, names a project to open
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1)
        options.projectArgument = args.at(1);
    pelko::TAVIForm window(std::move(options));
    window.showAtStart();
    return app.exec();
}
