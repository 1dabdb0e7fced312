#pragma once

#include <QString>

// What the lobby window needs to know of the world outside the game: where the lobby installer
// is downloaded from, the SHA-256 digest it must have to be run, and where the installed lobby
// application lives. The build sets the defaults (CMake options of the same names); the
// environment variables VREL_LOBBY_URL, VREL_LOBBY_INSTALLER_SHA256 and VREL_LOBBY_PROGRAM
// override them. The lobby application takes the game's link on 127.0.0.1, port 9001 unless
// VREL_LOBBY_LINK_PORT names another.
struct LobbyConfig {
    static constexpr int kLinkPort = 9001;

    QString downloadUrl;
    QString installerSha256; // hexadecimal; empty means no installer is ever run
    QString lobbyProgram;
    int linkPort = kLinkPort;

    static LobbyConfig fromEnvironment();
};
