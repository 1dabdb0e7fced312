#include "records/profile.h"

#include "records/player_file.h"
#include "records/profile_text.h"
#include "records/replace_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Whole settings files are small; a file past this size is not one of ours and is not read.
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

std::optional<QByteArray> readAll(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return QByteArray();
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return std::nullopt;
    QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return text;
}

} // namespace

ProfileFile::ProfileFile(QString path)
    : path_(std::move(path))
{
}

QString ProfileFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const std::optional<QByteArray> text = readAll(path_);
    if (!text)
        return defaultValue;
    return profile::findValue(*text, section, key).value_or(defaultValue);
}

bool ProfileFile::writeString(const QString &section, const QString &key, const QString &value) const
{
    return writeStrings(section, {{key, value}});
}

bool ProfileFile::writeStrings(const QString &section, const QList<std::pair<QString, QString>> &keysAndValues) const
{
    // A file that cannot be read whole is never replaced: its other sections would be lost.
    const std::optional<QByteArray> text = readAll(path_);
    if (!text)
        return false;
    QByteArray changed = *text;
    for (const auto &[key, value] : keysAndValues)
        changed = profile::withValue(changed, section, key, value);
    const QFileInfo file(path_);
    if (file.exists() && changed == *text)
        return true; // the key already holds the value: the file stays untouched
    if (!acceptsWrites(file.absolutePath()) || (file.exists() && !acceptsWrites(path_)))
        return false;
    return replaceFile(path_, changed);
}

QString ProfileFile::writeFailure() const
{
    return QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path_));
}
