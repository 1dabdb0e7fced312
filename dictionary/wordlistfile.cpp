#include "dictionary/wordlistfile.h"

#include "dictionary/embeddedwords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int openForReading(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
}

// Several copies may start in one folder at once. Each writes the records to a private
// temporary file and only then gives it the final name, so no copy ever opens a half-written
// file; and each keeps reading the file it wrote, so a copy that ends and deletes the shared
// name meanwhile cannot take it away.
int writeWordListFile(const QString &path)
{
    const QByteArray records = embeddedWordListRecords();
    if (records.isEmpty())
        return -1;
    QTemporaryFile temp(path + QStringLiteral(".XXXXXX"));
    if (!temp.open())
        return -1;
    temp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (temp.write(records) != records.size() || !temp.flush())
        return -1;
    const int fd = openForReading(temp.fileName());
    if (fd < 0)
        return -1;
    const QByteArray tempName = QFile::encodeName(temp.fileName());
    const QByteArray finalName = QFile::encodeName(path);
    // link() never replaces a file another copy put there first; rename() serves file systems
    // without hard links (it may replace such a file, with the same bytes).
    if (::link(tempName.constData(), finalName.constData()) != 0 && errno != EEXIST
        && ::rename(tempName.constData(), finalName.constData()) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool isRegularFile(int fd)
{
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

QString wordListFolderFor(const QString &workingDirectory)
{
    const QFileInfo working(workingDirectory);
    if (working.isDir() && working.isWritable())
        return working.absoluteFilePath();
    const QString cache =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/vrel");
    QDir().mkpath(cache);
    return cache;
}

int openWordListFile(const QString &path)
{
    int fd = openForReading(path);
    if (fd < 0 && errno == ENOENT)
        fd = writeWordListFile(path);
    if (fd >= 0 && !isRegularFile(fd)) {
        ::close(fd);
        fd = -1;
    }
    return fd;
}
