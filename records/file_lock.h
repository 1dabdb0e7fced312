#pragma once

#include <QString>

// An advisory lock (flock) on a lock file, held from construction to destruction. Copies of the
// game that save the same file take it in turn. The lock file stays: removing it would let two
// copies lock two different files of one name.
class FileLock
{
public:
    explicit FileLock(const QString &lockPath);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // False when the lock file could not be opened (a folder that takes no files): the caller
    // goes on without the lock.
    bool locked() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};
