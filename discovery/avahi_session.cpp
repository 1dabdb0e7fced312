#include "discovery/avahi_session.h"

#include <QTimer>

#include <avahi-client/client.h>
#include <avahi-common/error.h>

AvahiSession::AvahiSession(QObject *parent)
    : QObject(parent)
{
    problem_ = kNoDaemon;
    connectToDaemon();
}

AvahiSession::~AvahiSession()
{
    setRunning(false);
    if (client_)
        avahi_client_free(client_);
}

void AvahiSession::connectToDaemon()
{
    int error = 0;
    // Without AVAHI_CLIENT_NO_FAIL a missing daemon would only be noticed now; with it the client
    // also comes up when the daemon starts later. Only a missing system bus fails here.
    client_ = avahi_client_new(poll_.api(), AVAHI_CLIENT_NO_FAIL,
                               [](AvahiClient *c, AvahiClientState state, void *self) { onClientState(c, state, self); }, this, &error);
    if (!client_)
        problem_ = QStringLiteral("%1 (%2)").arg(kNoDaemon, QString::fromUtf8(avahi_strerror(error)));
}

void AvahiSession::setRunning(bool running)
{
    if (running == running_)
        return;
    running_ = running;
    emit runningChanged(running);
}

void AvahiSession::onClientState(AvahiClient *client, int state, void *self)
{
    auto *session = static_cast<AvahiSession *>(self);
    session->client_ = client; // also while avahi_client_new() has not returned yet
    switch (state) {
    case AVAHI_CLIENT_S_RUNNING:
        session->problem_.clear();
        session->setRunning(true);
        break;
    case AVAHI_CLIENT_FAILURE:
        // The daemon went away: the client is dead; a new one waits for the daemon to return.
        session->problem_ = kNoDaemon;
        session->setRunning(false);
        QTimer::singleShot(0, session, [session, client] {
            if (session->client_ != client)
                return;
            avahi_client_free(client);
            session->client_ = nullptr;
            session->connectToDaemon();
        });
        break;
    default: // connecting, or the host name being registered or in collision
        session->problem_ = kNoDaemon;
        session->setRunning(false);
        break;
    }
}
