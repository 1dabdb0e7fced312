#pragma once

#include "discovery/game_facts.h"

#include <QObject>

struct AvahiEntryGroup;
class AvahiSession;

// A hosted game published on the local network as a "_vrel._tcp" service through Avahi, with
// its facts as TXT records, updated as they change and withdrawn when the publisher goes (or
// withdraw() is called). Without an Avahi daemon nothing is published and nothing waits; a
// daemon that starts later gets the service then.
class GamePublisher : public QObject
{
    Q_OBJECT
public:
    explicit GamePublisher(QObject *parent = nullptr);
    ~GamePublisher() override;

    // Publishes `facts` (service name, port and the rest); a name taken on the network gets
    // Avahi's alternative ("Name #2").
    void publish(const GameFacts &facts);
    // New facts for the published service; only the TXT records change.
    void update(const GameFacts &facts);
    void withdraw();

    bool published() const { return established_; }
    // The name actually published (after any renaming).
    QString publishedName() const { return facts_.serviceName; }

signals:
    // The service is established on the network, or no longer is.
    void publishedChanged(bool published);

private:
    static void onGroupState(AvahiEntryGroup *group, int state, void *self);
    void sessionRunning(bool running);
    void addService();
    void retryUnderAlternativeName();
    void freeGroup();
    void setEstablished(bool established);

    AvahiSession *session_ = nullptr;
    AvahiEntryGroup *group_ = nullptr;
    GameFacts facts_;
    bool wanted_ = false;
    bool established_ = false;
};
