#pragma once

#include <QString>

// What a player is told, in words, about the seat the host gave it and a host that cannot be
// found.
namespace notices {

// The host seats a player under a name of its own when the one asked for cannot be used: taken
// at the table ("Anna (2)", or any other number added), or not usable as it stands. The line that
// says so ("Anna is already at this table: you play as Anna (2)."), empty when the host kept the
// name asked for.
QString givenName(const QString &asked, const QString &given);

// A host's name that the resolver does not know: which name, and what to check.
QString hostNotFound(const QString &name);

} // namespace notices
