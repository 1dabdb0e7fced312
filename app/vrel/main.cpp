// vrel: the game. Without parameters a solo game; "vrel NAME HOST true" hosts a game,
// "vrel NAME HOST other" joins the host at HOST.

#include "app/command_line/command_line.h"
#include "app/reach/find_games.h"
#include "app/startup/instance_marker.h"
#include "app/startup/vrel_application.h"
#include "app/startup/vrel_program.h"
#include "app/termination/termination_signals.h"
#include "client/message_box.h"
#include "net/orderly_end.h"

#include <QWidget>

namespace {

const char kProgram[] = "vrel";
// How long the program waits at most for its last connections to end.
constexpr int kLastEndsMs = 1000;

const char kHelp[] =
    "Usage: vrel [--port N]                    a solo game\n"
    "       vrel [--port N] NAME HOST true     host a game as NAME (HOST is not used)\n"
    "       vrel [--port N] NAME HOST x        join the game hosted at HOST as NAME\n"
    "       vrel vrel://HOST:PORT              join the game of an invite link under the\n"
    "                                          name last used ([IPv6]:PORT for IPv6)\n"
    "The Vrel word-puzzle game for up to six players and three onlookers. Any third\n"
    "parameter other than exactly \"true\" joins; with only one or two parameters the\n"
    "game waits and connects nowhere. Options are read only before the first parameter;\n"
    "parameters after \"--\" are taken as they stand.\n"
    "\n"
    "  --port N      host or join on TCP port N (default 7772)\n"
    "  --find-games  print the games on the local network, one a line (name, address,\n"
    "                port, players, state, separated by tabs), and exit\n"
    "  -h, --help    print this help and exit\n"
    "  --version     print the version and exit\n"
    "\n"
    "Environment:\n"
    "  VREL_HOME     the folder for the settings (kovrlobby.ini), the tally (Vreltally.tld),\n"
    "                tile sets (vreltiles/) and downloads, instead of the program's folder.\n"
    "                An installed copy, or one whose folder cannot be written, keeps them in\n"
    "                ~/.config/Vrel (settings) and ~/.local/share/Vrel (the others).\n";

} // namespace

int main(int argc, char **argv)
{
    // Help, version and a wrong command line are answered before anything needs a display.
    const CommandLine commandLine = parseCommandLine(argumentsOf(argc, argv));
    if (const std::optional<int> status = answeredWithoutRunning(commandLine, kProgram, kHelp))
        return *status;
    if (commandLine.findGames)
        return printFoundGames(argc, argv);

    VrelApplication app(argc > 0 ? argv[0] : const_cast<char *>(kProgram));
    QCoreApplication::setApplicationName(QStringLiteral("Vrel"));
    messagebox::showErrorsInBoxes();

    InstanceMarker runningCopy;
    VrelProgram program(commandLine);
    // The connections ended last (a hosted game's players told) go out before the program ends.
    QObject::connect(&program.chat(), &Tchat::ended, &app, [&app] {
        orderlyend::whenEnded(&app, kLastEndsMs, [] { QCoreApplication::quit(); });
    }, Qt::QueuedConnection);
    // A termination signal ends the game as the player closing the window does.
    watchTerminationSignals(&app, [&program] { program.chat().close(); });
    program.chat().show();
    return app.exec();
}
