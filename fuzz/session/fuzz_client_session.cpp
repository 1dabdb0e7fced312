// A client's session handed whatever a host might send: the input is cut at every terminator
// and each line is dispatched as the session's dispatcher would; an empty line lets a second of
// the turn clock pass instead. Both clocks are manual, so nothing happens between the lines.

#include "session/client_session.h"

#include <QCoreApplication>

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ClientSession session;
    session.setManualDispatch(true);
    session.setManualTurnClock(true);
    session.setPlayer(QStringLiteral("Fuzz"), QStringLiteral("127.0.0.1"));
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QByteArray &line : input.split(proto::kTerminator)) {
        if (line.isEmpty())
            session.turntimeTimer();
        else
            session.dispatch(line);
    }
    return 0;
}
