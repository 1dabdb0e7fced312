#include "sound/sound_set.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sound {

SoundSet SoundSet::builtIn()
{
    return fromFolder(QStringLiteral(":/sounds"));
}

SoundSet SoundSet::fromFolder(const QString &folder)
{
    SoundSet set;
    const QDir dir(folder);
    const QStringList files = dir.entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &file : files)
        set.files_.insert(QFileInfo(file).completeBaseName().toLower(), dir.filePath(file));
    return set;
}

QStringList SoundSet::names() const
{
    QStringList names = files_.keys();
    names.sort();
    return names;
}

QByteArray SoundSet::read(const QString &name) const
{
    QFile file(files_.value(name.toLower()));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace sound
