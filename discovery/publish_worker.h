#pragma once

#include "discovery/game_facts.h"

#include <QObject>

struct AvahiEntryGroup;
class AvahiSession;

// GamePublisher's work on its Avahi thread: the service, its TXT records and the name it ends up
// with.
class PublishWorker : public QObject
{
    Q_OBJECT
public:
    PublishWorker() = default;
    ~PublishWorker() override;

    void start();
    void publish(const GameFacts &facts);
    void update(const GameFacts &facts);
    void withdraw();

signals:
    // The service is established on the network under `name`, or no longer is.
    void established(bool established, const QString &name);

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
