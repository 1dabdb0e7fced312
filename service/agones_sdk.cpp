#include "service/agones_sdk.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {

// What the SDK server's calls without a message of their own take (its "Empty").
const QByteArray kEmpty = "{}";

} // namespace

quint16 AgonesSdk::portFromEnvironment()
{
    bool numeric = false;
    const int port = qEnvironmentVariable("AGONES_SDK_HTTP_PORT").toInt(&numeric);
    return numeric && port > 0 && port <= 65535 ? quint16(port) : 0;
}

AgonesSdk::AgonesSdk(quint16 port, QObject *parent)
    : QObject(parent)
    , port_(port)
    , manager_(new QNetworkAccessManager(this))
{
    // The SDK server is on this machine: no proxy of the environment stands in between.
    manager_->setProxy(QNetworkProxy::NoProxy);
    for (QTimer *timer : {&retry_, &labelRetry_, &watchRetry_}) {
        timer->setSingleShot(true);
        timer->setInterval(kRetryMs);
    }
    connect(&retry_, &QTimer::timeout, this, &AgonesSdk::ready);
    connect(&labelRetry_, &QTimer::timeout, this, &AgonesSdk::sendLabel);
    connect(&watchRetry_, &QTimer::timeout, this, &AgonesSdk::watch);
}

AgonesSdk::~AgonesSdk()
{
    // Replies still on their way report to nobody.
    for (QNetworkReply *reply : manager_->findChildren<QNetworkReply *>())
        reply->disconnect(this);
}

QNetworkReply *AgonesSdk::call(const QByteArray &method, const QString &path, const QByteArray &body, int timeoutMs)
{
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path)));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    request.setTransferTimeout(timeoutMs);
    return method == "GET" ? manager_->get(request) : manager_->sendCustomRequest(request, method, body);
}

bool AgonesSdk::succeeded(QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
}

void AgonesSdk::noteFailure(const QString &what, QNetworkReply *reply)
{
    if (failing_)
        return;
    failing_ = true;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    emit activity(QStringLiteral("Agones: %1 failed (%2); asking again")
                      .arg(what, status != 0 ? QStringLiteral("HTTP %1").arg(status) : reply->errorString()));
}

void AgonesSdk::ready()
{
    if (ready_ || readyAsked_)
        return;
    readyAsked_ = true;
    QNetworkReply *reply = call("POST", QStringLiteral("/ready"), kEmpty, kCallTimeoutMs);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        readyAsked_ = false;
        if (!succeeded(reply)) {
            noteFailure(QStringLiteral("Ready"), reply);
            retry_.start();
            return;
        }
        failing_ = false;
        ready_ = true;
        emit activity(QStringLiteral("Agones: Ready accepted"));
        watch();
        sendLabel();
    });
}

void AgonesSdk::health()
{
    if (!ready_ || healthPending_)
        return;
    healthPending_ = true;
    QNetworkReply *reply = call("POST", QStringLiteral("/health"), kEmpty, kCallTimeoutMs);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        healthPending_ = false;
        if (!succeeded(reply)) {
            noteFailure(QStringLiteral("Health"), reply);
        } else if (failing_) {
            failing_ = false;
            emit activity(QStringLiteral("Agones: the SDK server answers again"));
        }
    });
}

void AgonesSdk::setLabel(const QString &key, const QString &value)
{
    labels_[key] = value;
    sendLabel();
}

void AgonesSdk::sendLabel()
{
    if (!ready_ || labelPending_ || labelRetry_.isActive())
        return;
    for (auto wanted = labels_.cbegin(); wanted != labels_.cend(); ++wanted) {
        const auto taken = labelled_.constFind(wanted.key());
        if (taken != labelled_.cend() && *taken == wanted.value())
            continue;
        const QString key = wanted.key();
        const QString value = wanted.value();
        const QByteArray body = QJsonDocument(QJsonObject {{QStringLiteral("key"), key}, {QStringLiteral("value"), value}})
                                    .toJson(QJsonDocument::Compact);
        labelPending_ = true;
        QNetworkReply *reply = call("PUT", QStringLiteral("/metadata/label"), body, kCallTimeoutMs);
        connect(reply, &QNetworkReply::finished, this, [this, reply, key, value] {
            reply->deleteLater();
            labelPending_ = false;
            if (succeeded(reply)) {
                labelled_[key] = value;
                sendLabel();
            } else {
                noteFailure(QStringLiteral("SetLabel"), reply);
                labelRetry_.start();
            }
        });
        return;
    }
}

// The state comes as a stream of JSON lines, one each time the game server changes, for as long
// as the connection stays open; a stream that ends is opened again.
void AgonesSdk::watch()
{
    if (watching_ || shutdownState_ != Shutdown::NotAsked)
        return;
    watched_.clear();
    watching_ = call("GET", QStringLiteral("/watch/gameserver"), {}, 0);
    connect(watching_, &QNetworkReply::readyRead, this, &AgonesSdk::readWatched);
    connect(watching_, &QNetworkReply::finished, this, &AgonesSdk::watchEnded);
}

void AgonesSdk::readWatched()
{
    // A line is one update of a few kilobytes; one that never ends is not read into memory.
    constexpr qsizetype kLongestLine = 1024 * 1024;
    watched_ += watching_->readAll();
    qsizetype end;
    while ((end = watched_.indexOf('\n')) >= 0) {
        takeState(watched_.left(end));
        watched_.remove(0, end + 1);
    }
    if (watched_.size() > kLongestLine)
        watched_.clear();
}

void AgonesSdk::watchEnded()
{
    readWatched();
    watching_->deleteLater();
    watching_ = nullptr;
    if (shutdownState_ == Shutdown::NotAsked)
        watchRetry_.start();
}

void AgonesSdk::takeState(const QByteArray &line)
{
    const QJsonObject update = QJsonDocument::fromJson(line).object();
    const QString state = update.value(QStringLiteral("result")).toObject()
                              .value(QStringLiteral("status")).toObject()
                              .value(QStringLiteral("state")).toString();
    if (state.isEmpty() || state == state_)
        return;
    state_ = state;
    emit activity(QStringLiteral("Agones: the game server is %1").arg(state));
    emit stateChanged(state);
}

void AgonesSdk::shutdown()
{
    if (shutdownState_ != Shutdown::NotAsked)
        return;
    shutdownState_ = Shutdown::Asked;
    retry_.stop();
    watchRetry_.stop();
    if (watching_)
        watching_->abort();
    QNetworkReply *reply = call("POST", QStringLiteral("/shutdown"), kEmpty, kCallTimeoutMs);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        shutdownState_ = Shutdown::Answered;
        const bool accepted = succeeded(reply);
        emit activity(accepted ? QStringLiteral("Agones: shutting the game server down")
                               : QStringLiteral("Agones: Shutdown failed (%1)").arg(reply->errorString()));
        emit shutdownDone(accepted);
    });
}
