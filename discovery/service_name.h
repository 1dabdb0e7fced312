#pragma once

#include <QString>

// A game's DNS-SD service name, as it is published and as it is shown. Names found on the network
// come from anyone: they are shown on one line, with nothing that steers a terminal or a list.
namespace servicename {

// The longest service name DNS-SD carries, in bytes of UTF-8.
constexpr int kMaxBytes = 63;

// `name` shortened to at most kMaxBytes of UTF-8, between two characters as a reader sees them
// (a letter and its accents stay together).
QString fitted(const QString &name);

// `name` on one line: line and paragraph breaks and tabs become blanks, other control and
// direction-changing characters the replacement character U+FFFD.
QString shown(const QString &name);

} // namespace servicename
