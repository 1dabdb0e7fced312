#pragma once

#include "records/tally_table.h"

#include <QString>

#include <cstdint>

// The tally file: the compressed container in its fast mode around the table's text. It is read
// into memory and written from memory; no work file is made.
namespace tallyfile {

inline constexpr char kFileName[] = "Vreltally.tld";
// More text than any tally needs (tens of thousands of players); a container announcing more is
// refused before anything is decoded.
inline constexpr std::uint64_t kLargestText = 4u << 20;

struct Loaded {
    // What was read, this run's counters at 0: an empty tally when the file could not be read,
    // the readable cells when only some counters were spoiled.
    TallyTable table;
    QString error;     // the component's text when the file could not be read whole, else empty
};

// Reads the tally at `path`. A missing file is an empty tally without an error.
Loaded load(const QString &path);

// Writes the tally beside the file and puts it in place only when it is complete and on disk,
// so the stored tally is the old one or the new one whatever happens. False when it failed.
bool save(const QString &path, const TallyTable &table);

// Moves a tally that could not be read out of the way, to PATH.damaged, or PATH.damaged.1 and
// on when that is taken. The new name, or empty when it could not be moved.
QString keepAside(const QString &path);

} // namespace tallyfile
