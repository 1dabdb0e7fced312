#include "discovery/game_facts.h"

#include "discovery/service_name.h"

namespace {

const QByteArray kVersion = "version";
const QByteArray kHost = "host";
const QByteArray kPlayers = "players";
const QByteArray kOnlookers = "onlookers";
const QByteArray kRunning = "running";

QByteArray record(const QByteArray &key, const QByteArray &value)
{
    return key + '=' + value;
}

int count(const QByteArray &value)
{
    bool ok = false;
    const int n = value.toInt(&ok);
    return ok && n >= 0 ? n : 0;
}

} // namespace

QList<QByteArray> GameFacts::txtRecords() const
{
    return {
        record(kVersion, version.toUtf8()),
        record(kHost, hostPlayer.toUtf8()),
        record(kPlayers, QByteArray::number(players)),
        record(kOnlookers, QByteArray::number(onlookers)),
        record(kRunning, running ? "1" : "0"),
    };
}

void GameFacts::readTxtRecords(const QList<QByteArray> &records)
{
    for (const QByteArray &entry : records) {
        const qsizetype equals = entry.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = entry.left(equals);
        const QByteArray value = entry.mid(equals + 1);
        if (key == kVersion)
            version = QString::fromUtf8(value);
        else if (key == kHost)
            hostPlayer = QString::fromUtf8(value);
        else if (key == kPlayers)
            players = count(value);
        else if (key == kOnlookers)
            onlookers = count(value);
        else if (key == kRunning)
            running = value == "1";
    }
}

QString GameFacts::stateText() const
{
    return running ? QStringLiteral("game running") : QStringLiteral("waiting for players");
}

QString GameFacts::peopleText() const
{
    QString text = QStringLiteral("%1 player%2").arg(players).arg(players == 1 ? "" : "s");
    if (onlookers > 0)
        text += QStringLiteral(", %1 onlooker%2").arg(onlookers).arg(onlookers == 1 ? "" : "s");
    return text;
}

QString GameFacts::scriptLine() const
{
    // A tab or line break inside a name would split the line for a script, an escape would steer
    // the terminal.
    return QStringLiteral("%1\t%2\t%3\t%4\t%5").arg(servicename::shown(serviceName), address, QString::number(port), peopleText(), stateText());
}
