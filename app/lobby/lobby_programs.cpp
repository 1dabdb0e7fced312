#include "app/lobby/lobby_programs.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cctype>

namespace lobby {

const QStringList &installerArguments()
{
    static const QStringList arguments {QStringLiteral("/SP-"), QStringLiteral("/silent"), QStringLiteral("/noicons")};
    return arguments;
}

bool hasDigest(const QString &path, const QString &sha256Hex)
{
    const QByteArray hex = sha256Hex.trimmed().toLatin1();
    const bool wellFormed = hex.size() == 2 * QCryptographicHash::hashLength(QCryptographicHash::Sha256)
        && std::all_of(hex.begin(), hex.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    if (!wellFormed)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return hash.addData(&file) && hash.result() == QByteArray::fromHex(hex);
}

bool startInstaller(const QString &path, const QString &sha256Hex)
{
    if (!hasDigest(path, sha256Hex))
        return false;
    QFile installer(path);
    if (!installer.setPermissions(installer.permissions() | QFile::ReadOwner | QFile::ExeOwner))
        return false;
    return QProcess::startDetached(path, installerArguments());
}

bool startLobby(const QString &program)
{
    return QProcess::startDetached(program, {});
}

} // namespace lobby
