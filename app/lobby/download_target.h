#pragma once

#include <QString>

// The installer's file name from the download address: everything up to and including the first
// "/" is taken away again and again until no "/" is left. An address ending in "/" gives an empty
// name.
QString installerFileName(const QString &url);

// Where a download goes: the program's folder, or the user's data folder where the program's
// folder is not writable (an installed copy).
QString downloadFolder();
