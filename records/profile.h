#pragma once

#include <QList>
#include <QString>

#include <utility>

// An INI file read and written one key at a time, as the desktop's private-profile functions do
// (see profile_text.h for the grammar). Nothing is held open: every call opens the file and
// closes it again. A missing file or section reads as the defaults; the first write creates it.
// Every write replaces the whole file at once (a temporary file beside it, flushed, then renamed
// over it), so a crash or a full disk leaves the old file whole, other programs' sections
// included.
class ProfileFile
{
public:
    explicit ProfileFile(QString path);

    const QString &path() const { return path_; }

    // The key's value, or the default when the file, the section or the key is missing or the
    // file cannot be read.
    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;

    // Sets one key. False when the file cannot be read or replaced: the file, or its folder, is
    // read-only, or the disk refuses; the file is then as it was. A key that already holds the
    // value leaves the file untouched.
    bool writeString(const QString &section, const QString &key, const QString &value) const;
    // Sets several keys of a section in one replacement of the file: all of them, or none.
    bool writeStrings(const QString &section, const QList<std::pair<QString, QString>> &keysAndValues) const;

    // What the player is told when a write fails: "Unable to write to " and the path.
    QString writeFailure() const;

private:
    QString path_;
};
