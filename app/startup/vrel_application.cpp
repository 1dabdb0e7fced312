#include "app/startup/vrel_application.h"

#include "net/error_sink.h"

#include <exception>

VrelApplication::VrelApplication(int &argc, char **argv)
    : QApplication(argc, argv)
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
