#include "app/command_line/command_line.h"

namespace {

enum class PortOption { Absent, Read, Malformed };

// Reads the port option at arguments[i]: "--port N" moves i onto N. Absent when arguments[i]
// is something else; Malformed with `error` set when the value is missing or not a port.
PortOption readPortOption(const QStringList &arguments, int &i, int &port, QString &error)
{
    const QString &argument = arguments.at(i);
    QString value;
    if (argument == QLatin1String("--port")) {
        if (i + 1 >= arguments.size()) {
            error = QStringLiteral("--port needs a port number");
            return PortOption::Malformed;
        }
        value = arguments.at(++i);
    } else if (argument.startsWith(QLatin1String("--port="))) {
        value = argument.mid(7);
    } else {
        return PortOption::Absent;
    }
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < 0 || number > 65535) {
        error = QStringLiteral("Not a port number: %1").arg(value);
        return PortOption::Malformed;
    }
    port = number;
    return PortOption::Read;
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
        switch (readPortOption(arguments, i, line.port, line.error)) {
        case PortOption::Absent:
            line.parameters << arguments.at(i);
            break;
        case PortOption::Read:
            break;
        case PortOption::Malformed:
            return line;
        }
    }
    return line;
}

HostCommandLine parseHostCommandLine(const QStringList &arguments)
{
    HostCommandLine line;
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"))) {
        line.help = true;
        return line;
    }
    for (int i = 0; i < arguments.size(); ++i) {
        switch (readPortOption(arguments, i, line.port, line.error)) {
        case PortOption::Absent:
            line.error = QStringLiteral("Unknown option: %1").arg(arguments.at(i));
            return line;
        case PortOption::Read:
            break;
        case PortOption::Malformed:
            return line;
        }
    }
    return line;
}
