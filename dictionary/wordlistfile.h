#pragma once

#include <QString>

// The word list file on disk: where it lives and how it comes to exist.

// The folder for the word list file when the caller names none: the working directory, or,
// when that cannot be written, the per-user cache folder "vrel" (created when missing).
QString wordListFolderFor(const QString &workingDirectory);

// Opens the word list file at path for reading and returns its descriptor, or -1. A missing
// file is first written from the embedded records; an existing regular file is used unchanged.
int openWordListFile(const QString &path);
