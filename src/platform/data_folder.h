#pragma once
// Where Pelko finds its own data (the help pages under help/, the demo
// project under demo/): installed, <prefix>/share/pelko beside <prefix>/bin;
// run from the build folder, the source tree's data/.

#include <QString>

namespace pelko {

// The data folder of a program in programFolder: the installed one when it
// holds the help pages, else the source tree's when it does, else "".
QString findDataFolder(const QString& programFolder);

// The running program's data folder (found once).
QString dataFolder();

}  // namespace pelko
