#include "portmap/port_mapper.h"

#include "net/address_scope.h"
#include "portmap/router_jobs.h"

#include <mutex>

using addressscope::Scope;

// What the router thread hands back to the mapper. Once the mapper no longer wants answers
// (closed, or gone), nothing more is handed back: what the router grants after that is given
// back on the router thread itself.
struct PortMapper::Reply {
    std::mutex lock;
    bool dropped = false;
    bool handed = false;        // `granted` is on its way to the mapper
    portmap::Mapping granted;
    std::shared_ptr<std::atomic_bool> stop = std::make_shared<std::atomic_bool>(false);

    // Runs `deliver` on the mapper's thread unless the mapper dropped this reply; true if it will.
    template <class Deliver>
    bool handBack(PortMapper *mapper, Deliver deliver)
    {
        std::lock_guard guard(lock);
        if (dropped)
            return false;
        QMetaObject::invokeMethod(mapper, std::move(deliver), Qt::QueuedConnection);
        return true;
    }
};

PortMapper::PortMapper(QObject *parent)
    : QObject(parent)
{
    renewal_.setSingleShot(true);
    connect(&renewal_, &QTimer::timeout, this, &PortMapper::renew);
}

PortMapper::~PortMapper()
{
    close();
}

QString PortMapper::externalEndpoint() const
{
    if (state_ != State::Open || addressscope::scopeOf(mapping_.externalAddress) != Scope::Public)
        return {};
    return QStringLiteral("%1:%2").arg(mapping_.externalAddress).arg(mapping_.port);
}

bool PortMapper::behindSharedAddress() const
{
    const Scope scope = addressscope::scopeOf(mapping_.externalAddress);
    return state_ == State::Open && (scope == Scope::Shared || scope == Scope::Private);
}

void PortMapper::setState(State state)
{
    state_ = state;
    emit stateChanged(state);
}

void PortMapper::open(quint16 port)
{
    close();
    port_ = port;
    reply_ = std::make_shared<Reply>();
    setState(State::Trying);
    const int lease = leaseSeconds_;
    portmap::postRouterJob([this, reply = reply_, port, lease] {
        const portmap::Patience patience(kAskMs, reply->stop);
        portmap::Mapping mapping = portmap::mapWithNatPmp(port, lease, patience);
        if (!mapping.isOpen())
            mapping = portmap::mapWithUpnp(port, lease, patience);
        {
            std::lock_guard guard(reply->lock);
            if (!reply->dropped) {
                reply->granted = mapping;
                reply->handed = true;
                QMetaObject::invokeMethod(this, [this, reply] { taken(reply); }, Qt::QueuedConnection);
                return;
            }
        }
        // Closed while the router was being asked: what it granted meanwhile goes back.
        if (mapping.isOpen())
            portmap::removeMapping(mapping, portmap::Patience(kGiveBackMs));
    });
}

void PortMapper::taken(const std::shared_ptr<Reply> &reply)
{
    if (reply != reply_)
        return;
    {
        std::lock_guard guard(reply->lock);
        reply->handed = false;
        mapping_ = reply->granted;
    }
    if (!mapping_.isOpen()) {
        emit activity(QStringLiteral("router: no router forwarded port %1; players outside this network may not reach the game").arg(port_));
        setState(State::NoRouter);
        return;
    }
    scheduleRenewal();
    setState(State::Open);
    const QString forwarded = QStringLiteral("router: port %1 forwarded by %2 to %3 (%4)")
                                  .arg(QString::number(port_), mapping_.protocolName(),
                                       mapping_.internalAddress.isEmpty() ? QStringLiteral("this machine") : mapping_.internalAddress,
                                       grantedText());
    if (!externalEndpoint().isEmpty())
        emit activity(QStringLiteral("%1, reachable at %2").arg(forwarded, externalEndpoint()));
    else if (behindSharedAddress())
        emit activity(QStringLiteral("%1, but the router's outside address %2 is not public. %3").arg(forwarded, mapping_.externalAddress, kSharedAddressText));
    else
        emit activity(QStringLiteral("%1, but the router tells no outside address others could use (%2)")
                          .arg(forwarded, mapping_.externalAddress.isEmpty() ? QStringLiteral("none") : mapping_.externalAddress));
}

QString PortMapper::grantedText() const
{
    return mapping_.leaseSeconds == 0 ? QStringLiteral("until the game ends") : QStringLiteral("lease of %1 s").arg(mapping_.leaseSeconds);
}

// At half the lease granted, which may be shorter than the one asked for; a lease without end is
// never renewed.
void PortMapper::scheduleRenewal()
{
    if (mapping_.leaseSeconds <= 0)
        return;
    constexpr qint64 kLongestMs = 24LL * 3600 * 1000;
    renewal_.start(int(std::clamp<qint64>(qint64(mapping_.leaseSeconds) * 500, 500, kLongestMs)));
}

void PortMapper::renew()
{
    if (state_ != State::Open || renewing_ || !reply_)
        return;
    renewing_ = true;
    portmap::postRouterJob([this, reply = reply_, mapping = mapping_, lease = leaseSeconds_] {
        const std::optional<int> granted = portmap::renewMapping(mapping, lease, portmap::Patience(kAskMs, reply->stop));
        reply->handBack(this, [this, reply, granted] { renewed(reply, granted); });
    });
}

void PortMapper::renewed(const std::shared_ptr<Reply> &reply, std::optional<int> granted)
{
    if (reply != reply_)
        return;
    renewing_ = false;
    if (granted) {
        mapping_.leaseSeconds = *granted;
        emit activity(QStringLiteral("router: port %1 renewed (%2)").arg(QString::number(port_), grantedText()));
    } else {
        emit activity(QStringLiteral("router: the router did not renew port %1").arg(port_));
    }
    scheduleRenewal();
}

void PortMapper::close()
{
    if (reply_) {
        {
            std::lock_guard guard(reply_->lock);
            reply_->dropped = true;
            // Granted, but not yet taken in: it goes back with the rest.
            if (reply_->handed)
                mapping_ = reply_->granted;
        }
        reply_->stop->store(true);
        reply_.reset();
    }
    renewal_.stop();
    renewing_ = false;
    if (mapping_.isOpen()) {
        const portmap::Mapping mapping = mapping_;
        portmap::postRouterJob([mapping] { portmap::removeMapping(mapping, portmap::Patience(kGiveBackMs)); });
        emit activity(QStringLiteral("router: port %1 given back to the router").arg(mapping.port));
    }
    mapping_ = {};
    if (state_ != State::Idle)
        setState(State::Idle);
}

int leaseSecondsFromEnvironment()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("VREL_ROUTER_LEASE_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : PortMapper::kDefaultLeaseSeconds;
}
