#pragma once

#include <QByteArray>
#include <QStringList>

// The word list and the word pool that the program carries as resources.

// The dictionary records exactly as they are written to the word list file; empty when the
// program was built without them.
QByteArray embeddedWordListRecords();

// The words puzzles are made from: lower-case five-letter words, alphabetical, no repeats.
QStringList loadWordPool();
