// vrel: the game. Without parameters a solo game; "vrel NAME HOST true" hosts a game,
// "vrel NAME HOST other" joins the host at HOST.

#include "app/command_line/command_line.h"
#include "app/startup/instance_marker.h"
#include "app/startup/vrel_application.h"
#include "app/startup/vrel_program.h"
#include "client/message_box.h"

#include <QWidget>

int main(int argc, char **argv)
{
    VrelApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vrel"));
    messagebox::showErrorsInBoxes();

    const CommandLine commandLine = parseCommandLine(app.arguments().mid(1));
    if (!commandLine.error.isEmpty()) {
        messagebox::show(nullptr, commandLine.error);
        return 2;
    }

    InstanceMarker runningCopy;
    VrelProgram program(commandLine);
    QObject::connect(&program.chat(), &Tchat::ended, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    program.chat().show();
    return app.exec();
}
