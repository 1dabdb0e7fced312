#include "app/lobby/lobby_config.h"

#include <QtGlobal>

namespace {

QString setting(const char *name, const char *builtIn)
{
    return qEnvironmentVariableIsSet(name) ? qEnvironmentVariable(name) : QString::fromUtf8(builtIn);
}

int linkPortSetting()
{
    bool ok = false;
    const int port = qEnvironmentVariableIntValue("VREL_LOBBY_LINK_PORT", &ok);
    return ok && port > 0 && port <= 65535 ? port : LobbyConfig::kLinkPort;
}

} // namespace

LobbyConfig LobbyConfig::fromEnvironment()
{
    return {
        setting("VREL_LOBBY_URL", VREL_LOBBY_URL),
        setting("VREL_LOBBY_INSTALLER_SHA256", VREL_LOBBY_INSTALLER_SHA256),
        setting("VREL_LOBBY_PROGRAM", VREL_LOBBY_PROGRAM),
        linkPortSetting(),
    };
}
