#include "app/startup/command_line.h"

namespace {

bool readPort(const QString &text, int &port)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0 || value > 65535)
        return false;
    port = value;
    return true;
}

} // namespace

CommandLine::Mode CommandLine::mode() const
{
    if (parameters.isEmpty())
        return Mode::Solo;
    if (parameters.size() < 3)
        return Mode::Waiting;
    return parameters.at(2) == QLatin1String("true") ? Mode::Host : Mode::Join;
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        QString value;
        if (argument == QLatin1String("--port")) {
            if (i + 1 >= arguments.size()) {
                line.error = QStringLiteral("--port needs a port number");
                return line;
            }
            value = arguments.at(++i);
        } else if (argument.startsWith(QLatin1String("--port="))) {
            value = argument.mid(7);
        } else {
            line.parameters << argument;
            continue;
        }
        if (!readPort(value, line.port)) {
            line.error = QStringLiteral("Not a port number: %1").arg(value);
            return line;
        }
    }
    return line;
}
