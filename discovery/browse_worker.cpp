#include "discovery/browse_worker.h"

#include "discovery/avahi_session.h"
#include "discovery/service_probe.h"
#include "discovery/txt_list.h"
#include "net/address_scope.h"

#include <QElapsedTimer>
#include <QSet>

#include <avahi-client/lookup.h>
#include <avahi-common/address.h>

using addressscope::Scope;

// A service as seen on one interface; the same game is usually seen on several. A listed game's
// resolver stays running, so that changed TXT records come in as they are published.
struct BrowseWorker::Sighting {
    enum class State { Waiting, Resolving, Resolved, Unusable };
    int interface = 0;
    int protocol = 0;
    QByteArray name; // as the network spells it
    QByteArray domain;
    quint64 order = 0;
    State state = State::Waiting;
    int attempts = 0;
    AvahiServiceResolver *resolver = nullptr;
    QElapsedTimer resolving;
    GameFacts facts;
};

namespace {

// A burst of changes (a flood of services) is handed over as one list.
constexpr int kHandOverMs = 50;
constexpr int kMaxAttempts = 3;

bool isLoopback(const QString &address)
{
    return addressscope::scopeOf(address) == Scope::Loopback;
}

} // namespace

BrowseWorker::BrowseWorker()
{
    handOver_->setSingleShot(true);
    connect(handOver_, &QTimer::timeout, this, &BrowseWorker::handOver);
    slowResolvers_->setInterval(kResolveMs / 4);
    connect(slowResolvers_, &QTimer::timeout, this, &BrowseWorker::dropSlowResolvers);
}

BrowseWorker::~BrowseWorker()
{
    // The client goes with the session and takes its browser and resolvers with it, without a
    // call to the daemon for each.
    if (session_)
        session_->disconnect(this);
}

void BrowseWorker::start()
{
    session_ = new AvahiSession(this);
    connect(session_, &AvahiSession::runningChanged, this, &BrowseWorker::sessionRunning);
    sessionRunning(session_->running());
}

void BrowseWorker::sessionRunning(bool running)
{
    if (running)
        startBrowsing();
    else
        stopBrowsing();
    emit availabilityChanged(running, session_->problem());
}

void BrowseWorker::startBrowsing()
{
    if (browser_ || !session_->client())
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

void BrowseWorker::stopBrowsing()
{
    for (const auto &sighting : sightings_)
        unwatch(sighting.get());
    sightings_.clear();
    waiting_.clear();
    resolving_ = 0;
    toTry_.clear();
    slowResolvers_->stop();
    if (browser_) {
        avahi_service_browser_free(browser_);
        browser_ = nullptr;
    }
    handOver();
}

void BrowseWorker::onBrowse(AvahiServiceBrowser *, int interface, int protocol, int event, const char *name,
                            const char *, const char *domain, int, void *self)
{
    auto *worker = static_cast<BrowseWorker *>(self);
    switch (event) {
    case AVAHI_BROWSER_NEW:
        worker->serviceNew(interface, protocol, name, domain);
        break;
    case AVAHI_BROWSER_REMOVE:
        worker->serviceRemoved(interface, protocol, name);
        break;
    case AVAHI_BROWSER_ALL_FOR_NOW:
        worker->allForNow_ = true;
        worker->changed();
        worker->checkSettled();
        break;
    default:
        break;
    }
}

void BrowseWorker::serviceNew(int interface, int protocol, const QByteArray &name, const QByteArray &domain)
{
    if (sightings_.size() >= size_t(kMaxSightings))
        return;
    auto sighting = std::make_unique<Sighting>();
    sighting->interface = interface;
    sighting->protocol = protocol;
    sighting->name = name;
    sighting->domain = domain;
    sighting->order = found_++;
    waiting_.push_back(sighting.get());
    sightings_.push_back(std::move(sighting));
    resolveMore();
}

void BrowseWorker::serviceRemoved(int interface, int protocol, const QByteArray &name)
{
    const auto gone = std::find_if(sightings_.begin(), sightings_.end(), [&](const auto &s) {
        return s->interface == interface && s->protocol == protocol && s->name == name;
    });
    if (gone == sightings_.end())
        return;
    Sighting *sighting = gone->get();
    if (sighting->state == Sighting::State::Resolving)
        --resolving_;
    std::erase(waiting_, sighting);
    unwatch(sighting);
    sightings_.erase(gone);
    resolveMore();
    changed();
}

bool BrowseWorker::watch(Sighting *sighting)
{
    sighting->resolver = avahi_service_resolver_new(
        session_->client(), sighting->interface, sighting->protocol, sighting->name.constData(), GameFacts::kServiceType,
        sighting->domain.constData(), AVAHI_PROTO_INET, AvahiLookupFlags(0),
        [](AvahiServiceResolver *r, AvahiIfIndex i, AvahiProtocol p, AvahiResolverEvent e, const char *n, const char *t,
           const char *d, const char *host, const AvahiAddress *a, uint16_t port, AvahiStringList *txt,
           AvahiLookupResultFlags f, void *self) { onResolve(r, i, p, e, n, t, d, host, a, port, txt, f, self); },
        this);
    return sighting->resolver != nullptr;
}

void BrowseWorker::unwatch(Sighting *sighting)
{
    if (sighting->resolver) {
        avahi_service_resolver_free(sighting->resolver);
        sighting->resolver = nullptr;
    }
}

// Starts resolving the services found, as many as may be resolved at once, the latest found
// first: a game that starts while the network is flooded is not queued behind the flood.
void BrowseWorker::resolveMore()
{
    while (resolving_ < kMaxResolving && !waiting_.empty() && session_->client()) {
        Sighting *sighting = waiting_.back();
        waiting_.pop_back();
        ++sighting->attempts;
        if (!watch(sighting)) {
            sighting->state = Sighting::State::Unusable;
            continue;
        }
        sighting->state = Sighting::State::Resolving;
        sighting->resolving.start();
        ++resolving_;
    }
    if (resolving_ > 0 && !slowResolvers_->isActive())
        slowResolvers_->start();
    checkSettled();
}

// A service that does not resolve in time is tried once more after all the others; its place
// is given to the next one meanwhile.
void BrowseWorker::dropSlowResolvers()
{
    for (const auto &sighting : sightings_) {
        if (sighting->state == Sighting::State::Resolving && sighting->resolving.hasExpired(kResolveMs))
            resolveFailed(sighting.get());
    }
    if (resolving_ == 0)
        slowResolvers_->stop();
}

BrowseWorker::Sighting *BrowseWorker::sightingOf(AvahiServiceResolver *resolver) const
{
    const auto found = std::find_if(sightings_.cbegin(), sightings_.cend(), [&](const auto &s) { return s->resolver == resolver; });
    return found == sightings_.cend() ? nullptr : found->get();
}

void BrowseWorker::onResolve(AvahiServiceResolver *resolver, int, int, int event, const char *name, const char *,
                             const char *, const char *, const void *address, quint16 port, void *txt, int flags, void *self)
{
    auto *worker = static_cast<BrowseWorker *>(self);
    Sighting *sighting = worker->sightingOf(resolver);
    if (!sighting)
        return;
    if (event != AVAHI_RESOLVER_FOUND) {
        worker->resolveFailed(sighting);
        return;
    }
    GameFacts facts;
    facts.serviceName = QString::fromUtf8(name);
    char text[AVAHI_ADDRESS_STR_MAX] = {};
    avahi_address_snprint(text, sizeof text, static_cast<const AvahiAddress *>(address));
    facts.address = QString::fromLatin1(text);
    facts.port = port;
    facts.readTxtRecords(TxtList::read(static_cast<AvahiStringList *>(txt)));
    worker->resolved(sighting, facts, flags & AVAHI_LOOKUP_RESULT_LOCAL);
}

void BrowseWorker::resolved(Sighting *sighting, GameFacts facts, bool local)
{
    if (sighting->state == Sighting::State::Resolving)
        --resolving_;
    // A loopback address reaches the game only from the machine that publishes it.
    const Scope scope = addressscope::scopeOf(facts.address);
    if (!addressscope::isUnicast(scope) || (scope == Scope::Loopback && !local) || facts.port == 0) {
        unwatch(sighting);
        sighting->state = Sighting::State::Unusable;
    } else {
        sighting->state = Sighting::State::Resolved;
        sighting->facts = facts;
        const QString key = endpoint(facts);
        if (!answers_.contains(key)) {
            answers_.insert(key, Answer::Untried);
            toTry_.push_back(key);
            tryAnswers();
        }
    }
    resolveMore();
    changed();
}

// A service that cannot be resolved (any more) is as good as gone on that interface.
void BrowseWorker::resolveFailed(Sighting *sighting)
{
    const bool firstResolution = sighting->state == Sighting::State::Resolving;
    if (firstResolution)
        --resolving_;
    unwatch(sighting);
    if (firstResolution && sighting->attempts < kMaxAttempts) {
        sighting->state = Sighting::State::Waiting;
        waiting_.push_front(sighting);
    } else {
        sighting->state = Sighting::State::Unusable;
    }
    resolveMore();
    changed();
}

QString BrowseWorker::endpoint(const GameFacts &facts)
{
    return QStringLiteral("%1 %2").arg(facts.address).arg(facts.port);
}

// Whether each address found answers: a game that does is listed before those that do not.
void BrowseWorker::tryAnswers()
{
    while (trying_ < kMaxProbing && !toTry_.empty()) {
        const QString key = toTry_.front();
        toTry_.pop_front();
        const QStringList parts = key.split(QLatin1Char(' '));
        answers_[key] = Answer::Trying;
        ++trying_;
        auto *probe = new ServiceProbe(parts.value(0), quint16(parts.value(1).toUInt()), kProbeMs, this);
        connect(probe, &ServiceProbe::answered, this, [this, probe, key](bool answers) {
            probe->deleteLater();
            --trying_;
            if (answers_.contains(key))
                answers_[key] = answers ? Answer::Answers : Answer::Silent;
            tryAnswers();
            changed();
            checkSettled();
        });
    }
}

void BrowseWorker::changed()
{
    if (!handOver_->isActive())
        handOver_->start(kHandOverMs);
}

// The list as it stands: one game a name (its sightings together, an address others can reach
// before a loopback one), those that answer first, then in the order found, kMaxListed at most.
// Listed games are watched for changes; the others are only remembered.
void BrowseWorker::handOver()
{
    handOver_->stop();
    struct Row {
        GameFacts facts;
        quint64 order = 0;
        bool answers = false;
    };
    QHash<QByteArray, Row> rows;
    for (const auto &sighting : sightings_) {
        if (sighting->state != Sighting::State::Resolved)
            continue;
        const bool answers = answers_.value(endpoint(sighting->facts)) == Answer::Answers;
        const auto existing = rows.find(sighting->name);
        if (existing == rows.end()) {
            rows.insert(sighting->name, Row {sighting->facts, sighting->order, answers});
            continue;
        }
        Row &row = *existing;
        if (isLoopback(row.facts.address) && !isLoopback(sighting->facts.address))
            row.facts = sighting->facts;
        row.order = std::min(row.order, sighting->order);
        row.answers = row.answers || answers;
    }
    QList<Row> ranked = rows.values();
    std::sort(ranked.begin(), ranked.end(), [](const Row &a, const Row &b) {
        return a.answers != b.answers ? a.answers : a.order < b.order;
    });
    if (ranked.size() > kMaxListed)
        ranked.resize(kMaxListed);
    QList<GameFacts> games;
    QSet<QString> names;
    for (const Row &row : std::as_const(ranked)) {
        games.append(row.facts);
        names.insert(row.facts.serviceName);
    }
    for (const auto &sighting : sightings_) {
        if (sighting->state != Sighting::State::Resolved)
            continue;
        if (!names.contains(sighting->facts.serviceName))
            unwatch(sighting.get());
        else if (!sighting->resolver)
            watch(sighting.get());
    }
    const bool busy = !allForNow_ || !waiting_.empty() || resolving_ > 0 || trying_ > 0 || !toTry_.empty();
    if (games != listed_ || busy != busy_) {
        listed_ = games;
        busy_ = busy;
        emit gamesChanged(games, busy);
    }
}

void BrowseWorker::checkSettled()
{
    if (settled_ || !allForNow_ || !waiting_.empty() || resolving_ > 0 || trying_ > 0 || !toTry_.empty())
        return;
    settled_ = true;
    handOver();
    emit settled();
}
