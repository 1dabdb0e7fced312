#include "portmap/port_mapper.h"

#include <QThread>

PortMapper::PortMapper(QObject *parent)
    : QObject(parent)
{
    renewal_.setSingleShot(false);
    connect(&renewal_, &QTimer::timeout, this, &PortMapper::renew);
}

PortMapper::~PortMapper()
{
    close();
}

QString PortMapper::externalEndpoint() const
{
    if (state_ != State::Open || mapping_.externalAddress.isEmpty())
        return {};
    return QStringLiteral("%1:%2").arg(mapping_.externalAddress).arg(mapping_.port);
}

void PortMapper::setState(State state)
{
    state_ = state;
    emit stateChanged(state);
}

void PortMapper::runOffThread(std::function<void()> work, std::function<void()> done)
{
    waitForWorker();
    const int job = ++job_;
    worker_ = QThread::create(std::move(work));
    // A job that was superseded (or closed) has been waited for by whoever superseded it.
    connect(worker_, &QThread::finished, this, [this, job, done = std::move(done)] {
        if (job != job_)
            return;
        waitForWorker();
        done();
    });
    worker_->start();
}

void PortMapper::waitForWorker()
{
    if (!worker_)
        return;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
}

void PortMapper::open(quint16 port)
{
    close();
    port_ = port;
    setState(State::Trying);
    auto result = std::make_shared<portmap::Mapping>();
    asked_ = result;
    const int lease = leaseSeconds_;
    runOffThread(
        [result, port, lease] {
            *result = portmap::mapWithNatPmp(port, lease, kNatPmpWaitMs);
            if (!result->isOpen())
                *result = portmap::mapWithUpnp(port, lease, kUpnpDiscoverMs);
        },
        [this, result] {
            asked_.reset();
            mapping_ = *result;
            if (!mapping_.isOpen()) {
                emit activity(QStringLiteral("router: no router forwarded port %1; players outside this network may not reach the game").arg(port_));
                setState(State::NoRouter);
                return;
            }
            renewal_.start(leaseSeconds_ * 1000 / 2);
            setState(State::Open);
            const QString internal = mapping_.internalAddress.isEmpty() ? QStringLiteral("this machine") : mapping_.internalAddress;
            const QString external = mapping_.externalAddress.isEmpty() ? QStringLiteral("an address the router did not tell") : externalEndpoint();
            emit activity(QStringLiteral("router: port %1 forwarded by %2 to %3, reachable at %4")
                              .arg(QString::number(port_), mapping_.protocolName(), internal, external));
        });
}

void PortMapper::renew()
{
    if (state_ != State::Open)
        return;
    const portmap::Mapping mapping = mapping_;
    const int lease = leaseSeconds_;
    auto renewed = std::make_shared<bool>(false);
    runOffThread([mapping, lease, renewed] { *renewed = portmap::renewMapping(mapping, lease, kNatPmpWaitMs); },
                 [this, renewed] {
                     emit activity(*renewed ? QStringLiteral("router: lease of port %1 renewed").arg(port_)
                                            : QStringLiteral("router: the router did not renew port %1").arg(port_));
                 });
}

void PortMapper::close()
{
    ++job_;
    waitForWorker();
    // Closed while the router was still being asked: what it granted in the meantime goes too.
    if (asked_ && asked_->isOpen())
        mapping_ = *asked_;
    asked_.reset();
    renewal_.stop();
    if (mapping_.isOpen()) {
        const bool removed = portmap::removeMapping(mapping_, kNatPmpWaitMs);
        emit activity(removed ? QStringLiteral("router: port %1 no longer forwarded").arg(mapping_.port)
                              : QStringLiteral("router: could not remove the forwarding of port %1").arg(mapping_.port));
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
