#pragma once

#include <QString>
#include <QStringList>

// Starting the programs of the lobby: the downloaded installer and the installed application.
// Both are started detached, with an argument list (never through a shell).
namespace lobby {

// The installer's arguments: no start page, no questions, no icons.
const QStringList &installerArguments();

// True when the file's SHA-256 digest equals the expected one (hexadecimal, either case). An
// empty expectation never matches.
bool hasDigest(const QString &path, const QString &sha256Hex);

// Runs a downloaded installer, but only when its digest is the expected one: it came over plain
// HTTP, so anyone on the way could have changed it. It is made executable for the user first.
// False when it was not started.
bool startInstaller(const QString &path, const QString &sha256Hex);

// Opens the installed lobby application without arguments. False when it could not be started.
bool startLobby(const QString &program);

} // namespace lobby
