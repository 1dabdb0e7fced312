#pragma once

#include "discovery/avahi_thread.h"
#include "discovery/game_facts.h"
#include "discovery/publish_worker.h"

#include <QObject>

// A hosted game published on the local network as a "_vrel._tcp" service through Avahi, with
// its facts as TXT records, updated as they change and withdrawn when the publisher goes (or
// withdraw() is called). Without an Avahi daemon nothing is published and nothing waits; a
// daemon that starts later gets the service then. The Avahi work runs on a thread of its own.
class GamePublisher : public QObject
{
    Q_OBJECT
public:
    explicit GamePublisher(QObject *parent = nullptr);
    ~GamePublisher() override;

    // Publishes `facts` (service name, port and the rest); a name longer than DNS-SD carries (63
    // bytes) is shortened, and a name taken on the network gets Avahi's alternative ("Name #2").
    void publish(const GameFacts &facts);
    // New facts for the published service; only the TXT records change.
    void update(const GameFacts &facts);
    void withdraw();

    bool published() const { return published_; }
    // The name actually published (after any shortening or renaming), once it is.
    QString publishedName() const { return name_; }

signals:
    // The service is established on the network, or no longer is.
    void publishedChanged(bool published);

private:
    AvahiThread<PublishWorker> avahi_;
    bool published_ = false;
    QString name_;
};
