#include "app/lobby/download_target.h"

#include "client/program_folder.h"
#include "records/player_file.h"

QString installerFileName(const QString &url)
{
    QString name = url;
    for (qsizetype slash = name.indexOf(QLatin1Char('/')); slash >= 0; slash = name.indexOf(QLatin1Char('/')))
        name.remove(0, slash + 1);
    return name;
}

QString downloadFolder()
{
    return playerFolder(programFolder(), QStandardPaths::AppDataLocation);
}
