#include "platform/data_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace pelko {

namespace {

bool holdsHelp(const QString& folder)
{
    return QFileInfo(folder + "/help/index.html").isFile();
}

}  // namespace

QString findDataFolder(const QString& programFolder)
{
    // PELKO_INSTALLED_DATA is the data folder's path relative to the folder
    // the program is installed in, so a DESTDIR or a moved prefix still works.
    const QString installed = QDir::cleanPath(programFolder + "/" + PELKO_INSTALLED_DATA);
    if (holdsHelp(installed))
        return installed;
    const QString source = QStringLiteral(PELKO_SOURCE_DATA);
    if (holdsHelp(source))
        return source;
    return {};
}

QString dataFolder()
{
    static const QString folder = findDataFolder(QCoreApplication::applicationDirPath());
    return folder;
}

}  // namespace pelko
