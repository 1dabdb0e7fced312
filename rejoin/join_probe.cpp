#include "rejoin/join_probe.h"

#include "net/tsock_link.h"
#include "net/wsa_errors.h"
#include "protocol/messages.h"
#include "protocol/wire.h"
#include "rejoin/connection_words.h"
#include "session/notices.h"

JoinProbe::JoinProbe(const QString &host, int port, const QString &addressText, QObject *parent)
    : QObject(parent)
    , host_(host)
    , addressText_(addressText)
{
    answerTimer_.setSingleShot(true);
    answerTimer_.setInterval(kAnswerSeconds * 1000);
    connect(&answerTimer_, &QTimer::timeout, this, [this] { fail(connectionwords::couldNotConnect(addressText_, wsa::kTimedOut)); });
    answerTimer_.start();
    link_ = TSockLink::connectTo(host, port);
    connect(link_.get(), &Link::received, this, &JoinProbe::read);
    connect(link_.get(), &Link::connectFailed, this, [this](int wsaCode) {
        fail(wsaCode == wsa::kHostNotFound ? notices::hostNotFound(host_) : connectionwords::couldNotConnect(addressText_, wsaCode));
    });
    // A host that takes the connection and closes it without a word is no game to go to.
    connect(link_.get(), &Link::closed, this, [this] { fail(connectionwords::couldNotConnect(addressText_, wsa::kConnectionReset)); });
}

JoinProbe::~JoinProbe()
{
    if (link_) {
        link_->disconnect(this);
        link_->close();
    }
}

void JoinProbe::read(const QByteArray &bytes)
{
    if (over_)
        return;
    received_ += bytes;
    const qsizetype end = received_.indexOf(char(proto::kTerminator));
    if (end < 0) {
        if (received_.size() > proto::kMaxMessageBytes)
            fail(connectionwords::couldNotConnect(addressText_, wsa::kConnectionReset));
        return;
    }
    if (proto::splitVerb(received_.left(end)).verb == msg::Full::verb) {
        fail(QStringLiteral("Game is full: %1.").arg(addressText_));
        return;
    }
    over_ = true;
    answerTimer_.stop();
    link_->disconnect(this);
    emit answered();
}

void JoinProbe::fail(const QString &reason)
{
    if (over_)
        return;
    over_ = true;
    answerTimer_.stop();
    link_->disconnect(this);
    link_->close();
    emit failed(reason);
}

std::unique_ptr<Link> JoinProbe::takeLink()
{
    return std::move(link_);
}
