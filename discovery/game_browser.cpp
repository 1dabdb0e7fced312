#include "discovery/game_browser.h"

#include "discovery/avahi_session.h"
#include "discovery/local_only.h"
#include "discovery/txt_list.h"

#include <avahi-client/lookup.h>
#include <avahi-common/address.h>

// A service as seen on one interface; the same game is usually seen on several. Its resolver
// stays running, so that changed TXT records come in as they are published.
struct GameBrowser::Sighting {
    int interface = 0;
    int protocol = 0;
    QString name;
    AvahiServiceResolver *resolver = nullptr;
    bool resolved = false;
    GameFacts facts;
};

namespace {

bool isLoopback(const QString &address)
{
    return address.startsWith(QLatin1String("127.")) || address == QLatin1String("::1");
}

} // namespace

GameBrowser::GameBrowser(QObject *parent)
    : QAbstractListModel(parent)
{
    if (keepsToThisComputer())
        return;
    session_ = new AvahiSession(this);
    connect(session_, &AvahiSession::runningChanged, this, &GameBrowser::sessionRunning);
    if (session_->running())
        startBrowsing();
}

GameBrowser::~GameBrowser()
{
    stopBrowsing();
}

bool GameBrowser::available() const
{
    return session_ && session_->running();
}

QString GameBrowser::unavailableText() const
{
    const QString why = session_ ? session_->problem() : QStringLiteral("this copy keeps to this computer (VREL_LOCAL_ONLY)");
    return QStringLiteral("Games on the network cannot be found: %1.").arg(why);
}

bool GameBrowser::settled() const
{
    return settled_;
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
        return QStringLiteral("%1 - %2:%3 - %4 - %5").arg(g.serviceName, g.address, QString::number(g.port), g.peopleText(), g.stateText());
    case NameRole: return g.serviceName;
    case AddressRole: return g.address;
    case PortRole: return g.port;
    case JoinAddressRole:
        return (g.address.contains(QLatin1Char(':')) ? QStringLiteral("[%1]:%2") : QStringLiteral("%1:%2")).arg(g.address).arg(g.port);
    case PlayersRole: return g.players;
    case OnlookersRole: return g.onlookers;
    case RunningRole: return g.running;
    case HostPlayerRole: return g.hostPlayer;
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

void GameBrowser::sessionRunning(bool running)
{
    if (running)
        startBrowsing();
    else
        stopBrowsing();
    emit availabilityChanged(running);
}

void GameBrowser::startBrowsing()
{
    if (browser_ || !session_ || !session_->client())
        return;
    allForNow_ = false;
    settled_ = false;
    // IPv4 only: every host listens there, and one service is not listed once a protocol.
    browser_ = avahi_service_browser_new(
        session_->client(), AVAHI_IF_UNSPEC, AVAHI_PROTO_INET, GameFacts::kServiceType, nullptr, AvahiLookupFlags(0),
        [](AvahiServiceBrowser *b, AvahiIfIndex i, AvahiProtocol p, AvahiBrowserEvent e, const char *name, const char *type,
           const char *domain, AvahiLookupResultFlags f, void *self) { onBrowse(b, i, p, e, name, type, domain, f, self); },
        this);
}

void GameBrowser::stopBrowsing()
{
    for (Sighting *sighting : std::as_const(sightings_)) {
        if (sighting->resolver)
            avahi_service_resolver_free(sighting->resolver);
        delete sighting;
    }
    sightings_.clear();
    if (browser_) {
        avahi_service_browser_free(browser_);
        browser_ = nullptr;
    }
    if (!games_.isEmpty()) {
        beginResetModel();
        games_.clear();
        endResetModel();
    }
}

void GameBrowser::onBrowse(AvahiServiceBrowser *, int interface, int protocol, int event, const char *name,
                           const char *type, const char *domain, int, void *self)
{
    auto *browser = static_cast<GameBrowser *>(self);
    switch (event) {
    case AVAHI_BROWSER_NEW:
        browser->serviceNew(interface, protocol, QString::fromUtf8(name), type, domain);
        break;
    case AVAHI_BROWSER_REMOVE:
        browser->serviceRemoved(interface, protocol, QString::fromUtf8(name));
        break;
    case AVAHI_BROWSER_ALL_FOR_NOW:
        browser->allForNow_ = true;
        browser->checkSettled();
        break;
    default:
        break;
    }
}

void GameBrowser::serviceNew(int interface, int protocol, const QString &name, const char *type, const char *domain)
{
    auto *sighting = new Sighting;
    sighting->interface = interface;
    sighting->protocol = protocol;
    sighting->name = name;
    sightings_.append(sighting);
    sighting->resolver = avahi_service_resolver_new(
        session_->client(), interface, protocol, name.toUtf8().constData(), type, domain, AVAHI_PROTO_INET, AvahiLookupFlags(0),
        [](AvahiServiceResolver *r, AvahiIfIndex i, AvahiProtocol p, AvahiResolverEvent e, const char *n, const char *t,
           const char *d, const char *host, const AvahiAddress *a, uint16_t port, AvahiStringList *txt,
           AvahiLookupResultFlags f, void *self) { onResolve(r, i, p, e, n, t, d, host, a, port, txt, f, self); },
        this);
    if (!sighting->resolver) {
        sightings_.removeOne(sighting);
        delete sighting;
    }
}

void GameBrowser::onResolve(AvahiServiceResolver *resolver, int, int, int event, const char *name, const char *,
                            const char *, const char *, const void *address, quint16 port, void *txt, int, void *self)
{
    auto *browser = static_cast<GameBrowser *>(self);
    if (event != AVAHI_RESOLVER_FOUND) {
        browser->resolveFailed(resolver);
        return;
    }
    GameFacts facts;
    facts.serviceName = QString::fromUtf8(name);
    char text[AVAHI_ADDRESS_STR_MAX] = {};
    avahi_address_snprint(text, sizeof text, static_cast<const AvahiAddress *>(address));
    facts.address = QString::fromLatin1(text);
    facts.port = port;
    facts.readTxtRecords(TxtList::read(static_cast<AvahiStringList *>(txt)));
    browser->resolved(resolver, facts);
}

void GameBrowser::resolved(AvahiServiceResolver *resolver, const GameFacts &facts)
{
    const auto sighting = std::find_if(sightings_.begin(), sightings_.end(), [&](Sighting *s) { return s->resolver == resolver; });
    if (sighting == sightings_.end())
        return;
    (*sighting)->resolved = true;
    (*sighting)->facts = facts;
    const int row = rowOf(facts.serviceName);
    if (row < 0) {
        beginInsertRows({}, int(games_.size()), int(games_.size()));
        games_.append(facts);
        endInsertRows();
    } else {
        // A loopback address is the last choice: players elsewhere cannot use it.
        GameFacts merged = facts;
        if (isLoopback(facts.address) && !isLoopback(games_.at(row).address))
            merged.address = games_.at(row).address;
        if (!(merged == games_.at(row))) {
            games_[row] = merged;
            emit dataChanged(index(row), index(row));
        }
    }
    checkSettled();
}

// A service that cannot be resolved (any more) is as good as gone on that interface.
void GameBrowser::resolveFailed(AvahiServiceResolver *resolver)
{
    const auto sighting = std::find_if(sightings_.cbegin(), sightings_.cend(), [&](const Sighting *s) { return s->resolver == resolver; });
    if (sighting != sightings_.cend()) {
        const Sighting failed = **sighting;
        serviceRemoved(failed.interface, failed.protocol, failed.name);
    }
    checkSettled();
}

void GameBrowser::serviceRemoved(int interface, int protocol, const QString &name)
{
    const auto sighting = std::find_if(sightings_.begin(), sightings_.end(), [&](Sighting *s) {
        return s->interface == interface && s->protocol == protocol && s->name == name;
    });
    if (sighting != sightings_.end()) {
        avahi_service_resolver_free((*sighting)->resolver);
        delete *sighting;
        sightings_.erase(sighting);
    }
    const auto others = std::find_if(sightings_.cbegin(), sightings_.cend(), [&](const Sighting *s) { return s->name == name && s->resolved; });
    const int row = rowOf(name);
    if (row < 0)
        return;
    if (others == sightings_.cend()) {
        beginRemoveRows({}, row, row);
        games_.removeAt(row);
        endRemoveRows();
    } else if (!((*others)->facts == games_.at(row))) {
        games_[row] = (*others)->facts;
        emit dataChanged(index(row), index(row));
    }
}

void GameBrowser::checkSettled()
{
    if (settled_ || !allForNow_)
        return;
    if (std::any_of(sightings_.cbegin(), sightings_.cend(), [](const Sighting *s) { return !s->resolved; }))
        return;
    settled_ = true;
    emit settledNow();
}

int GameBrowser::rowOf(const QString &name) const
{
    for (int row = 0; row < games_.size(); ++row) {
        if (games_.at(row).serviceName == name)
            return row;
    }
    return -1;
}
