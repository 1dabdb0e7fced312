#include "client/program_folder.h"

#include <QCoreApplication>
#include <QDir>

QString programFolder()
{
    const QString home = qEnvironmentVariable("VREL_HOME");
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    return QCoreApplication::applicationDirPath();
}
