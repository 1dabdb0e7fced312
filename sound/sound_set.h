#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace sound {

// Sounds by name: the RIFF WAVE files of a folder (the game's own are in the resource folder
// ":/sounds"), each named by its file name without ".wav". Names are looked up without regard
// to case. Files are read only when asked for.
class SoundSet
{
public:
    SoundSet() = default;
    // The game's 33 sounds, carried in the program.
    static SoundSet builtIn();
    // Every *.wav file of the folder.
    static SoundSet fromFolder(const QString &folder);

    bool contains(const QString &name) const { return files_.contains(name.toLower()); }
    // The lower-case names, sorted.
    QStringList names() const;
    // The file's bytes; empty when the name is not in the set or the file cannot be read.
    QByteArray read(const QString &name) const;

private:
    QHash<QString, QString> files_; // lower-case name -> file path
};

} // namespace sound
