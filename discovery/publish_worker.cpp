#include "discovery/publish_worker.h"

#include "discovery/avahi_session.h"
#include "discovery/service_name.h"
#include "discovery/txt_list.h"

#include <avahi-client/publish.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>

PublishWorker::~PublishWorker()
{
    // The client goes with the session and takes the service with it, without a call to the
    // daemon for each of its objects.
    if (session_)
        session_->disconnect(this);
    group_ = nullptr;
}

void PublishWorker::start()
{
    session_ = new AvahiSession(this);
    connect(session_, &AvahiSession::runningChanged, this, &PublishWorker::sessionRunning);
    addService();
}

void PublishWorker::publish(const GameFacts &facts)
{
    freeGroup();
    facts_ = facts;
    // A name longer than DNS-SD carries would never be published: it is shortened instead.
    facts_.serviceName = servicename::fitted(facts.serviceName);
    wanted_ = true;
    addService();
}

void PublishWorker::update(const GameFacts &facts)
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

void PublishWorker::withdraw()
{
    wanted_ = false;
    freeGroup();
}

void PublishWorker::setEstablished(bool established)
{
    if (established == established_)
        return;
    established_ = established;
    emit this->established(established, facts_.serviceName);
}

void PublishWorker::freeGroup()
{
    if (group_) {
        avahi_entry_group_free(group_); // withdraws the service from the network
        group_ = nullptr;
    }
    setEstablished(false);
}

void PublishWorker::sessionRunning(bool running)
{
    if (running)
        addService();
    else
        freeGroup();
}

void PublishWorker::addService()
{
    AvahiClient *client = session_ ? session_->client() : nullptr;
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
void PublishWorker::retryUnderAlternativeName()
{
    char *other = avahi_alternative_service_name(facts_.serviceName.toUtf8().constData());
    facts_.serviceName = servicename::fitted(QString::fromUtf8(other));
    avahi_free(other);
    avahi_entry_group_reset(group_);
    addService();
}

void PublishWorker::onGroupState(AvahiEntryGroup *group, int state, void *self)
{
    auto *publisher = static_cast<PublishWorker *>(self);
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
