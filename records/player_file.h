#pragma once

#include <QStandardPaths>
#include <QString>

// The folder that stands for the program's own folder (settings, tally, tile sets, downloads):
// the folder named by VREL_HOME when it is set, else the executable's folder.
QString programFolder();

// Whether a folder is the binary folder of an installed copy (PREFIX/bin beside
// PREFIX/share/applications/vrel.desktop). Such a folder belongs to the system, even for a user
// who may write there (root): the player's files never go into it.
bool isInstalledProgramFolder(const QString &folder);

// Where the files a player keeps (settings, tally, downloads) live: in the program's folder when
// files can be written there and it is not an installed copy's, else in the user's folder of the
// given kind for the program (configuration or data), which is created when needed.
QString playerFolder(const QString &programFolder, QStandardPaths::StandardLocation userFolder);

// A settings file's path: in the program's folder, else in the user's configuration folder
// (QStandardPaths::AppConfigLocation).
QString playerFilePath(const QString &programFolder, const QString &fileName);

// Whether a file or folder takes writes. Its write permission must be there and its owner's
// write bit set: a file or folder marked read-only stays unchanged even for a user whose rights
// would override the mark.
bool acceptsWrites(const QString &path);
