#pragma once

#include <QString>

// Where the files a player keeps (settings, tally) live: in the program's folder when files can
// be written there, else (an installed copy in a system folder) in the user's configuration
// folder for the program (QStandardPaths::AppConfigLocation), which is created when needed.
QString playerFilePath(const QString &programFolder, const QString &fileName);

// Whether a file or folder takes writes. Its write permission must be there and its owner's
// write bit set: a file or folder marked read-only stays unchanged even for a user whose rights
// would override the mark.
bool acceptsWrites(const QString &path);
