#pragma once

#include <QByteArray>
#include <QString>

// Puts `bytes` at `path` so that the file there is always either the old one or the new one: the
// bytes go to a new file beside it, which is flushed to disk and then renamed over the old one.
// False when anything failed; the old file is then untouched and the new one removed.
bool replaceFile(const QString &path, const QByteArray &bytes);
