#include "app/startup/instance_marker.h"

#include <QDir>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString InstanceMarker::path()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("vrel"));
}

InstanceMarker::InstanceMarker()
{
    fd_ = ::open(QFile::encodeName(path()).constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0 && ::flock(fd_, LOCK_SH | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

InstanceMarker::~InstanceMarker()
{
    if (fd_ >= 0)
        ::close(fd_);
}
