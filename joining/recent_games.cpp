#include "joining/recent_games.h"

#include <algorithm>

namespace {

const QString kNameKey = QStringLiteral("Name");

QString gameKey(int n)
{
    return QStringLiteral("Game%1").arg(n);
}

} // namespace

RecentGames::RecentGames(QString settingsPath)
    : file_(std::move(settingsPath))
{
}

QString RecentGames::lastName() const
{
    return file_.readString(kSection, kNameKey, QString()).left(proto::kMaxNameChars);
}

QStringList RecentGames::addresses() const
{
    QStringList list;
    for (int n = 1; n <= kMaxAddresses; ++n) {
        const AddressReading reading = readGameAddress(file_.readString(kSection, gameKey(n), QString()));
        if (reading.address && !list.contains(reading.address->text()))
            list << reading.address->text();
    }
    return list;
}

bool RecentGames::remember(const QString &name, const std::optional<GameAddress> &joined) const
{
    QList<std::pair<QString, QString>> entries {{kNameKey, name}};
    if (joined) {
        QStringList list = addresses();
        list.removeAll(joined->text());
        list.prepend(joined->text());
        for (int n = 1; n <= std::min(int(list.size()), kMaxAddresses); ++n)
            entries.append({gameKey(n), list.at(n - 1)});
    }
    return file_.writeStrings(kSection, entries);
}
