#pragma once

#include <QString>

// Marks, for other programs, that a copy of the game runs: a shared lock on the file "vrel" in
// the user's runtime folder, held for the whole run. Any number of copies hold it at once; it
// is never tested or waited on.
class InstanceMarker
{
public:
    InstanceMarker();
    ~InstanceMarker();
    InstanceMarker(const InstanceMarker &) = delete;
    InstanceMarker &operator=(const InstanceMarker &) = delete;

    bool held() const { return fd_ >= 0; }
    static QString path();

private:
    int fd_ = -1;
};
