#include "discovery/game_browser.h"

#include "discovery/avahi_session.h"
#include "discovery/local_only.h"
#include "discovery/service_name.h"

GameBrowser::GameBrowser(QObject *parent)
    : QAbstractListModel(parent)
{
    if (keepsToThisComputer()) {
        problem_ = QStringLiteral("this copy keeps to this computer (VREL_LOCAL_ONLY)");
        return;
    }
    problem_ = AvahiSession::kNoDaemon;
    avahi_ = std::make_unique<AvahiThread<BrowseWorker>>();
    BrowseWorker *worker = avahi_->worker();
    connect(worker, &BrowseWorker::gamesChanged, this, &GameBrowser::show);
    connect(worker, &BrowseWorker::availabilityChanged, this, [this](bool available, const QString &problem) {
        const bool changed = available != available_ || problem != problem_;
        available_ = available;
        problem_ = problem;
        if (!available)
            settled_ = false;
        if (changed)
            emit availabilityChanged(available);
    });
    connect(worker, &BrowseWorker::settled, this, [this] {
        settled_ = true;
        emit settledNow();
    });
}

GameBrowser::~GameBrowser() = default;

QString GameBrowser::unavailableText() const
{
    return QStringLiteral("Games on the network cannot be found: %1.").arg(problem_);
}

int GameBrowser::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(games_.size());
}

QVariant GameBrowser::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= games_.size())
        return {};
    const GameFacts &g = games_.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return QStringLiteral("%1 - %2:%3 - %4 - %5").arg(servicename::shown(g.serviceName), g.address, QString::number(g.port), g.peopleText(), g.stateText());
    case NameRole: return servicename::shown(g.serviceName);
    case AddressRole: return g.address;
    case PortRole: return g.port;
    case JoinAddressRole:
        return (g.address.contains(QLatin1Char(':')) ? QStringLiteral("[%1]:%2") : QStringLiteral("%1:%2")).arg(g.address).arg(g.port);
    case PlayersRole: return g.players;
    case OnlookersRole: return g.onlookers;
    case RunningRole: return g.running;
    case HostPlayerRole: return servicename::shown(g.hostPlayer);
    default: return {};
    }
}

QHash<int, QByteArray> GameBrowser::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert({{NameRole, "name"}, {AddressRole, "address"}, {PortRole, "port"}, {PlayersRole, "players"},
                  {OnlookersRole, "onlookers"}, {RunningRole, "running"}, {HostPlayerRole, "hostPlayer"},
                  {JoinAddressRole, "joinAddress"}});
    return names;
}

// The rows follow the worker's list one change at a time, so that a view keeps the game picked
// while others come, go and change places.
void GameBrowser::show(const QList<GameFacts> &games, bool busy)
{
    busy_ = busy;
    for (int row = int(games_.size()) - 1; row >= 0; --row) {
        const QString &name = games_.at(row).serviceName;
        if (std::none_of(games.cbegin(), games.cend(), [&](const GameFacts &g) { return g.serviceName == name; })) {
            beginRemoveRows({}, row, row);
            games_.removeAt(row);
            endRemoveRows();
        }
    }
    for (int row = 0; row < games.size(); ++row) {
        const int at = rowOf(games.at(row).serviceName, row);
        if (at < 0) {
            beginInsertRows({}, row, row);
            games_.insert(row, games.at(row));
            endInsertRows();
            continue;
        }
        if (at != row) {
            beginMoveRows({}, at, at, {}, row);
            games_.move(at, row);
            endMoveRows();
        }
        if (!(games_.at(row) == games.at(row))) {
            games_[row] = games.at(row);
            emit dataChanged(index(row), index(row));
        }
    }
}

int GameBrowser::rowOf(const QString &name, int from) const
{
    for (int row = from; row < games_.size(); ++row) {
        if (games_.at(row).serviceName == name)
            return row;
    }
    return -1;
}
