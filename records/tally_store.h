#pragma once

#include "records/tally_table.h"

#include <QString>

// The tally a running copy keeps: read from its file at start, written back at exit as a merge.
// Other copies of the game may share the file: a save takes the lock beside it, reads the tally
// as it is then, applies this run's own changes to it and replaces the file, so that copies
// ending in any order lose nothing. A tally that could not be read is moved aside, never
// overwritten, and a file marked read-only is never written.
class TallyStore
{
public:
    explicit TallyStore(QString path);

    // Reads the tally. Returns what the player must be told, or empty: the read error and where
    // the unreadable file went, or "Unable to write to" and the path of a read-only tally.
    QString load();
    // Writes this run's changes into the stored tally. False when nothing was written.
    bool save();

    TallyTable &table() { return table_; }
    const TallyTable &table() const { return table_; }
    const QString &path() const { return path_; }
    QString lockPath() const { return path_ + QStringLiteral(".lock"); }
    // The message a tally that cannot be written gives.
    QString writeFailure() const;

private:
    bool writable() const;

    QString path_;
    TallyTable table_;
    bool readOnly_ = false;
};
