#include "app/startup/startup_trace.h"

#include "client/tchat.h"
#include "session/client_session.h"

#include <cstdio>
#include <cstdlib>

namespace {

void tell(const char *moment)
{
    std::fprintf(stderr, "vrel: startup: %s\n", moment);
    std::fflush(stderr);
}

} // namespace

void traceStartupWhenAsked(Tchat &window, ClientSession &session)
{
    const char *asked = std::getenv("VREL_STARTUP_TRACE");
    if (!asked || !*asked)
        return;
    QObject::connect(&window, &Tchat::firstShown, &window, [] { tell("window shown"); });
    QObject::connect(&session, &ClientSession::loggedIn, &window, [] { tell("logged in"); });
}
