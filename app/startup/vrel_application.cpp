#include "app/startup/vrel_application.h"

#include "net/error_sink.h"

#include <exception>

namespace {
// QApplication keeps these for its whole life.
int applicationArgc = 1;
char *applicationArgv[] = {nullptr, nullptr};

int &programNameOnly(char *programName)
{
    applicationArgv[0] = programName;
    applicationArgc = 1;
    return applicationArgc;
}
} // namespace

VrelApplication::VrelApplication(char *programName)
    : QApplication(programNameOnly(programName), applicationArgv)
{
}

bool VrelApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        vrel::reportError(QString::fromUtf8(e.what()));
    } catch (...) {
        vrel::reportError(QStringLiteral("Unknown error"));
    }
    return false;
}
