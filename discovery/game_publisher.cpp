#include "discovery/game_publisher.h"

#include "discovery/avahi_session.h"
#include "discovery/txt_list.h"

#include <avahi-client/publish.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>

GamePublisher::GamePublisher(QObject *parent)
    : QObject(parent)
    , session_(new AvahiSession(this))
{
    connect(session_, &AvahiSession::runningChanged, this, &GamePublisher::sessionRunning);
}

GamePublisher::~GamePublisher()
{
    freeGroup();
}

void GamePublisher::publish(const GameFacts &facts)
{
    freeGroup();
    facts_ = facts;
    wanted_ = true;
    addService();
}

void GamePublisher::update(const GameFacts &facts)
{
    const QString name = facts_.serviceName; // keeps a name Avahi had to change
    const bool sameService = facts.port == facts_.port;
    facts_ = facts;
    facts_.serviceName = name;
    if (!group_ || !sameService) {
        if (!sameService)
            publish(facts_);
        return;
    }
    TxtList txt(facts_.txtRecords());
    avahi_entry_group_update_service_txt_strlst(group_, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
                                                facts_.serviceName.toUtf8().constData(), GameFacts::kServiceType,
                                                nullptr, txt.list());
}

void GamePublisher::withdraw()
{
    wanted_ = false;
    freeGroup();
}

void GamePublisher::setEstablished(bool established)
{
    if (established == established_)
        return;
    established_ = established;
    emit publishedChanged(established);
}

void GamePublisher::freeGroup()
{
    if (group_) {
        avahi_entry_group_free(group_); // withdraws the service from the network
        group_ = nullptr;
    }
    setEstablished(false);
}

void GamePublisher::sessionRunning(bool running)
{
    if (running)
        addService();
    else
        freeGroup();
}

void GamePublisher::addService()
{
    AvahiClient *client = session_->client();
    if (!wanted_ || !client)
        return;
    if (!group_) {
        group_ = avahi_entry_group_new(client, [](AvahiEntryGroup *g, AvahiEntryGroupState s, void *self) { onGroupState(g, s, self); }, this);
        if (!group_)
            return;
    }
    TxtList txt(facts_.txtRecords());
    const int result = avahi_entry_group_add_service_strlst(group_, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
                                                            facts_.serviceName.toUtf8().constData(), GameFacts::kServiceType,
                                                            nullptr, nullptr, facts_.port, txt.list());
    if (result == AVAHI_ERR_COLLISION) {
        retryUnderAlternativeName();
        return;
    }
    if (result >= 0)
        avahi_entry_group_commit(group_);
}

// Another service on the network has the name: Avahi's alternative ("Name #2") is tried.
void GamePublisher::retryUnderAlternativeName()
{
    char *other = avahi_alternative_service_name(facts_.serviceName.toUtf8().constData());
    facts_.serviceName = QString::fromUtf8(other);
    avahi_free(other);
    avahi_entry_group_reset(group_);
    addService();
}

void GamePublisher::onGroupState(AvahiEntryGroup *group, int state, void *self)
{
    auto *publisher = static_cast<GamePublisher *>(self);
    if (publisher->group_ != group && publisher->group_)
        return;
    switch (state) {
    case AVAHI_ENTRY_GROUP_ESTABLISHED:
        publisher->setEstablished(true);
        break;
    case AVAHI_ENTRY_GROUP_COLLISION:
        publisher->setEstablished(false);
        publisher->retryUnderAlternativeName();
        break;
    default:
        break;
    }
}
