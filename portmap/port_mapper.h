#pragma once

#include "portmap/router_mapping.h"

#include <QObject>
#include <QTimer>

#include <memory>

// The hosted game's port forwarded by the router for as long as the game is hosted: NAT-PMP is
// asked first, UPnP-IGD second, on the router thread (portmap/router_jobs.h), so that hosting,
// leaving a game and ending the program never wait for a router. A granted mapping is renewed at
// half the lease the router granted, and given back by close() or when the mapper is destroyed.
class PortMapper : public QObject
{
    Q_OBJECT
public:
    enum class State { Idle, Trying, Open, NoRouter };

    static constexpr int kDefaultLeaseSeconds = 3600;
    // The most that asking for the port may take, whatever the router does: NAT-PMP, SSDP, and
    // UPnP's description and commands together.
    static constexpr int kAskMs = 6000;
    // The most that giving a mapping back may take.
    static constexpr int kGiveBackMs = 1000;

    // What players are told when the router's outside address is not one others can reach.
    static inline const QString kSharedAddressText =
        QStringLiteral("Your provider shares one public address between customers: others cannot reach this game through the router");

    explicit PortMapper(QObject *parent = nullptr);
    ~PortMapper() override;

    // The lease asked for (seconds); the environment variable VREL_ROUTER_LEASE_SECONDS sets it
    // when a program starts.
    void setLeaseSeconds(int seconds) { leaseSeconds_ = std::max(2, seconds); }
    int leaseSeconds() const { return leaseSeconds_; }

    // Asks the router to forward `port`; stateChanged() tells how it went.
    void open(quint16 port);
    // Stops asking and renewing, and hands the mapping over to be given back; returns at once.
    void close();

    State state() const { return state_; }
    const portmap::Mapping &mapping() const { return mapping_; }
    // "ADDRESS:PORT" as players outside this network reach the game: only while open through a
    // router whose outside address is a public one; empty otherwise.
    QString externalEndpoint() const;
    // Open, but the router's outside address is a private or shared one: others cannot come in.
    bool behindSharedAddress() const;
    // When the lease is renewed next (ms from the last grant); -1 when it is not.
    int renewalIntervalMs() const { return renewal_.isActive() ? renewal_.interval() : -1; }

signals:
    void stateChanged(PortMapper::State state);
    // A line about what happened, for a log.
    void activity(const QString &line);

private:
    struct Reply;
    void taken(const std::shared_ptr<Reply> &reply);
    void renew();
    void renewed(const std::shared_ptr<Reply> &reply, std::optional<int> granted);
    void scheduleRenewal();
    void setState(State state);
    QString grantedText() const;

    State state_ = State::Idle;
    portmap::Mapping mapping_;
    std::shared_ptr<Reply> reply_; // how the router's answers come back while the port is wanted
    quint16 port_ = 0;
    int leaseSeconds_ = kDefaultLeaseSeconds;
    bool renewing_ = false;
    QTimer renewal_;
};

// The lease named by VREL_ROUTER_LEASE_SECONDS, or the default.
int leaseSecondsFromEnvironment();
