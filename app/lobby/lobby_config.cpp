#include "app/lobby/lobby_config.h"

#include <QtGlobal>

namespace {

QString setting(const char *name, const char *builtIn)
{
    return qEnvironmentVariableIsSet(name) ? qEnvironmentVariable(name) : QString::fromUtf8(builtIn);
}

} // namespace

LobbyConfig LobbyConfig::fromEnvironment()
{
    return {
        setting("VREL_LOBBY_URL", VREL_LOBBY_URL),
        setting("VREL_LOBBY_INSTALLER_SHA256", VREL_LOBBY_INSTALLER_SHA256),
        setting("VREL_LOBBY_PROGRAM", VREL_LOBBY_PROGRAM),
    };
}
