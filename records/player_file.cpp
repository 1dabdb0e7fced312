#include "records/player_file.h"

#include <QDir>
#include <QFileInfo>

bool acceptsWrites(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isWritable() && info.permissions().testFlag(QFileDevice::WriteOwner);
}

QString playerFolder(const QString &programFolder, QStandardPaths::StandardLocation userFolder)
{
    if (QFileInfo(programFolder).isDir() && acceptsWrites(programFolder))
        return programFolder;
    const QString user = QStandardPaths::writableLocation(userFolder);
    QDir().mkpath(user);
    return user;
}

QString playerFilePath(const QString &programFolder, const QString &fileName)
{
    return QDir(playerFolder(programFolder, QStandardPaths::AppConfigLocation)).filePath(fileName);
}
