#include "discovery/game_publisher.h"

GamePublisher::GamePublisher(QObject *parent)
    : QObject(parent)
{
    connect(avahi_.worker(), &PublishWorker::established, this, [this](bool established, const QString &name) {
        name_ = name;
        if (established != published_) {
            published_ = established;
            emit publishedChanged(established);
        }
    });
}

GamePublisher::~GamePublisher() = default;

void GamePublisher::publish(const GameFacts &facts)
{
    avahi_.run([worker = avahi_.worker(), facts] { worker->publish(facts); });
}

void GamePublisher::update(const GameFacts &facts)
{
    avahi_.run([worker = avahi_.worker(), facts] { worker->update(facts); });
}

void GamePublisher::withdraw()
{
    avahi_.run([worker = avahi_.worker()] { worker->withdraw(); });
}
