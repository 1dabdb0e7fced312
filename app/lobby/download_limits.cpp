#include "app/lobby/download_limits.h"

#include "net/thttpcli.h"

#include <QFile>

#include <sys/statvfs.h>

namespace download_limits {

std::optional<qint64> freeBytes(const QString &folder)
{
    struct statvfs fs {};
    if (::statvfs(QFile::encodeName(folder).constData(), &fs) != 0)
        return std::nullopt;
    return qint64(fs.f_bavail) * qint64(fs.f_frsize);
}

bool roomFor(std::optional<qint64> free, qint64 incoming)
{
    // A file system that cannot tell is given the benefit of the doubt: writes still fail
    // cleanly when it is full.
    return !free || *free - incoming >= kDiskReserve;
}

QString failureText(const THttpCli &cli)
{
    if (!cli.FailedOnThisSide())
        return QStringLiteral("HTTP %1 %2").arg(cli.StatusCode()).arg(cli.ReasonPhrase()).trimmed();
    const QString reason = cli.ReasonPhrase();
    if (reason.contains(QLatin1String("reset"), Qt::CaseInsensitive))
        return QString::fromLatin1(kConnectionReset);
    return reason;
}

} // namespace download_limits
