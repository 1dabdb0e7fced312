#include "client/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString programFolder()
{
    const QString home = qEnvironmentVariable("VREL_HOME");
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    return QCoreApplication::applicationDirPath();
}

QString keptFilesFolder()
{
    const QString program = programFolder();
    const QFileInfo info(program);
    if (info.isDir() && info.isWritable())
        return program;
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(user);
    return user;
}
