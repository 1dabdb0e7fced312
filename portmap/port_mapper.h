#pragma once

#include "portmap/router_mapping.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QThread;

// The hosted game's port forwarded by the router for as long as the game is hosted: NAT-PMP is
// asked first, UPnP-IGD second, on a worker thread, so hosting never waits for a router that
// does not answer. A granted mapping is renewed at half its lease and removed by close() or when
// the mapper is destroyed (the program's end, also on SIGTERM).
class PortMapper : public QObject
{
    Q_OBJECT
public:
    enum class State { Idle, Trying, Open, NoRouter };

    static constexpr int kDefaultLeaseSeconds = 3600;
    // How long each protocol may take to answer; both together stay within about two seconds.
    static constexpr int kNatPmpWaitMs = 600;
    static constexpr int kUpnpDiscoverMs = 1000;

    explicit PortMapper(QObject *parent = nullptr);
    ~PortMapper() override;

    // The lease asked for (seconds); the environment variable VREL_ROUTER_LEASE_SECONDS sets it
    // when a program starts.
    void setLeaseSeconds(int seconds) { leaseSeconds_ = std::max(2, seconds); }
    int leaseSeconds() const { return leaseSeconds_; }

    // Asks the router to forward `port`; stateChanged() tells how it went.
    void open(quint16 port);
    // Removes the mapping now (waits for the router's answer, briefly) and stops renewing.
    void close();

    State state() const { return state_; }
    const portmap::Mapping &mapping() const { return mapping_; }
    // "ADDRESS:PORT" as players outside this network reach the game; empty unless open.
    QString externalEndpoint() const;

signals:
    void stateChanged(PortMapper::State state);
    // A line about what happened, for a log.
    void activity(const QString &line);

private:
    void runOffThread(std::function<void()> work, std::function<void()> done);
    void waitForWorker();
    void setState(State state);
    void renew();

    State state_ = State::Idle;
    portmap::Mapping mapping_;
    std::shared_ptr<portmap::Mapping> asked_; // the answer of an open() not yet taken in
    quint16 port_ = 0;
    int leaseSeconds_ = kDefaultLeaseSeconds;
    QThread *worker_ = nullptr;
    int job_ = 0; // the latest job on the worker; answers of earlier ones are dropped
    QTimer renewal_;
};

// The lease named by VREL_ROUTER_LEASE_SECONDS, or the default.
int leaseSecondsFromEnvironment();
