#pragma once

#include <QStandardPaths>
#include <QString>

// Where the files a player keeps (settings, tally, downloads) live: in the program's folder when
// files can be written there, else (an installed copy in a system folder) in the user's folder of
// the given kind for the program (configuration or data), which is created when needed.
QString playerFolder(const QString &programFolder, QStandardPaths::StandardLocation userFolder);

// A settings file's path: in the program's folder, else in the user's configuration folder
// (QStandardPaths::AppConfigLocation).
QString playerFilePath(const QString &programFolder, const QString &fileName);

// Whether a file or folder takes writes. Its write permission must be there and its owner's
// write bit set: a file or folder marked read-only stays unchanged even for a user whose rights
// would override the mark.
bool acceptsWrites(const QString &path);
