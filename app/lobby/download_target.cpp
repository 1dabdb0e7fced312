#include "app/lobby/download_target.h"

#include "client/program_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString installerFileName(const QString &url)
{
    QString name = url;
    for (qsizetype slash = name.indexOf(QLatin1Char('/')); slash >= 0; slash = name.indexOf(QLatin1Char('/')))
        name.remove(0, slash + 1);
    return name;
}

QString downloadFolder()
{
    const QString folder = programFolder();
    const QFileInfo info(folder);
    if (info.isDir() && info.isWritable())
        return folder;
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(user);
    return user;
}
