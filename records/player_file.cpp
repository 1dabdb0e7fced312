#include "records/player_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString programFolder()
{
    const QString home = qEnvironmentVariable("VREL_HOME");
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    return QCoreApplication::applicationDirPath();
}

bool acceptsWrites(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isWritable() && info.permissions().testFlag(QFileDevice::WriteOwner);
}

bool isInstalledProgramFolder(const QString &folder)
{
    return QFileInfo::exists(QDir(folder).filePath(QStringLiteral(VREL_DESKTOP_ENTRY_FROM_BIN)));
}

QString playerFolder(const QString &programFolder, QStandardPaths::StandardLocation userFolder)
{
    if (QFileInfo(programFolder).isDir() && acceptsWrites(programFolder) && !isInstalledProgramFolder(programFolder))
        return programFolder;
    const QString user = QStandardPaths::writableLocation(userFolder);
    QDir().mkpath(user);
    return user;
}

QString playerFilePath(const QString &programFolder, const QString &fileName)
{
    return QDir(playerFolder(programFolder, QStandardPaths::AppConfigLocation)).filePath(fileName);
}
