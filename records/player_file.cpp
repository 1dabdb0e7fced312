#include "records/player_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

bool acceptsWrites(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isWritable() && info.permissions().testFlag(QFileDevice::WriteOwner);
}

QString playerFilePath(const QString &programFolder, const QString &fileName)
{
    if (acceptsWrites(programFolder) && QFileInfo(programFolder).isDir())
        return QDir(programFolder).filePath(fileName);
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(userFolder);
    return QDir(userFolder).filePath(fileName);
}
