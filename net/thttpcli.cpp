#include "net/thttpcli.h"

#include "net/wsa_errors.h"

#include <QEventLoop>
#include <QIODevice>
#include <QRegularExpression>
#include <QTimer>

#include <stdexcept>

namespace {

constexpr int kLocalFailure = 404;
constexpr int kDefaultPort = 80;

// The socket channel's report "Error #10061 (WSAECONNREFUSED)" as a reason a person can read:
// "Connection refused (Error #10061)".
QString errorFromReport(const QString &report)
{
    static const QRegularExpression errorCode(QStringLiteral("^Error #(\\d+)"));
    const QRegularExpressionMatch match = errorCode.match(report);
    if (!match.hasMatch())
        return report;
    const int code = match.captured(1).toInt();
    return QStringLiteral("%1 (Error #%2)").arg(wsa::errorText(code)).arg(code);
}

// The host as the request names it: with its port when that is not HTTP's own.
QByteArray hostHeader(const QUrl &url)
{
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    const int port = url.port(kDefaultPort);
    return port == kDefaultPort ? host : host + ':' + QByteArray::number(port);
}

} // namespace

THttpCli::THttpCli(QObject *parent)
    : QObject(parent)
    , silence_(new QTimer(this))
{
    silence_->setSingleShot(true);
    connect(silence_, &QTimer::timeout, this, [this] { fail(kLocalFailure, QString::fromLatin1(kTimedOut)); });
}

// The socket is a child: its own destructor closes it without reporting to anybody.
THttpCli::~THttpCli() = default;

QByteArray THttpCli::requestFor(const QUrl &url) const
{
    QByteArray path = url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    if (!path.startsWith('/'))
        path.prepend('/');
    return "GET " + path + " HTTP/1.0\r\n"
         + "Accept: " + Accept.toLatin1() + "\r\n"
         + "User-Agent: " + Agent.toLatin1() + "\r\n"
         + "Host: " + hostHeader(url) + "\r\n"
         + "\r\n";
}

void THttpCli::Get()
{
    if (running_)
        throw std::logic_error("THttpCli::Get while a request is running");
    running_ = true;
    done_ = false;
    redirects_ = 0;
    statusCode_ = 0;
    reasonPhrase_.clear();
    rcvdCount_ = 0;
    contentLength_.reset();
    failedHere_ = false;

    startRequest(QUrl(URL));
    if (!done_) {
        QEventLoop loop;
        loop_ = &loop;
        loop.exec();
        loop_ = nullptr;
    }
    // The loop also ends when the program is told to quit: the request goes with it.
    if (!done_)
        fail(kLocalFailure, QString::fromLatin1(kAborted));
    running_ = false;
    silence_->stop();
    parser_.reset();
    if (statusCode_ >= 400)
        throw EHttpException(reasonPhrase_, statusCode_);
}

void THttpCli::Abort(const QString &reason)
{
    if (running_ && !done_)
        fail(kLocalFailure, reason);
}

// The silence starts over: the connection is new, or the server sent something.
void THttpCli::heardFromServer()
{
    if (SilenceTimeoutMs > 0 && !done_)
        silence_->start(SilenceTimeoutMs);
}

void THttpCli::startRequest(const QUrl &url)
{
    currentUrl_ = url;
    connected_ = false;
    connectionError_.clear();
    parser_ = std::make_unique<HttpResponseParser>(static_cast<HttpResponseParser::Listener &>(*this));
    if (!url.isValid() || url.scheme() != QLatin1String("http") || url.host().isEmpty()) {
        fail(kLocalFailure, QStringLiteral("can't request ") + url.toDisplayString());
        return;
    }

    heardFromServer();
    auto *sock = new TSock(this);
    sock_ = sock;
    sock->setHostName(url.host());
    sock->setPortName(QString::number(url.port(kDefaultPort)));
    sock->OnConnect = [this](TSock *s) {
        connected_ = true;
        s->Send(requestFor(currentUrl_));
    };
    sock->OnRead = [this](TSock *s, int) { received(s); };
    sock->OnDisconnect = [this](TSock *) { peerClosed(); };
    sock->OnInfo = [this](TSock *, TSocketInfo kind, const QString &text) { socketInfo(kind, text); };
    // The port is a number, so only the host's name can fail to be looked up; the answer comes
    // after Connect has returned.
    sock->OnLookupFailed = [this](TSock *) { fail(kLocalFailure, QString::fromLatin1(kUnresolved)); };
    sock->Connect();
}

void THttpCli::received(TSock *sock)
{
    const QByteArray bytes = sock->Receive();
    if (done_ || !parser_)
        return;
    heardFromServer();
    parser_->feed(bytes);
    afterFeed();
}

void THttpCli::peerClosed()
{
    if (done_ || !parser_)
        return;
    if (!connectionError_.isEmpty()) {
        fail(kLocalFailure, QStringLiteral("connection lost: ") + connectionError_);
        return;
    }
    parser_->closed();
    afterFeed();
}

void THttpCli::socketInfo(TSocketInfo kind, const QString &text)
{
    if (kind != siError || done_)
        return;
    if (!connected_)
        fail(kLocalFailure, QStringLiteral("can't connect: ") + errorFromReport(text));
    else
        connectionError_ = errorFromReport(text);
}

void THttpCli::afterFeed()
{
    if (done_)
        return;
    switch (parser_->phase()) {
    case HttpResponseParser::Phase::Complete:
        succeed();
        break;
    case HttpResponseParser::Phase::Failed:
        fail(kLocalFailure, QString::fromLatin1(parser_->failure()));
        break;
    case HttpResponseParser::Phase::Stopped:
        followRedirect();
        break;
    default:
        break;
    }
}

void THttpCli::headerLine(const QByteArray &line)
{
    if (OnHeaderData)
        OnHeaderData(this, line);
}

void THttpCli::headEnded()
{
    statusCode_ = parser_->statusCode();
    reasonPhrase_ = QString::fromLatin1(parser_->reasonPhrase());
    if (!parser_->location().isEmpty()) {
        // The rest of this answer is of no interest: the request goes to the new address.
        parser_->stop();
        return;
    }
    contentLength_ = parser_->contentLength();
    if (MaxBodySize > 0 && contentLength_ && *contentLength_ > MaxBodySize) {
        fail(kLocalFailure, QString::fromLatin1(kTooLarge));
        return;
    }
    if (OnDocBegin)
        OnDocBegin(this);
}

void THttpCli::bodyData(QByteArrayView piece)
{
    if (done_)
        return;
    if (MaxBodySize > 0 && rcvdCount_ + piece.size() > MaxBodySize) {
        fail(kLocalFailure, QString::fromLatin1(kTooLarge));
        return;
    }
    if (RcvdStream && RcvdStream->write(piece.data(), piece.size()) != piece.size()) {
        fail(kLocalFailure, QStringLiteral("can't write the document: ") + RcvdStream->errorString());
        return;
    }
    rcvdCount_ += piece.size();
    if (OnDocData)
        OnDocData(this, piece, rcvdCount_);
}

void THttpCli::followRedirect()
{
    const QUrl next = currentUrl_.resolved(QUrl::fromEncoded(parser_->location()));
    if (++redirects_ > kMaxRedirects) {
        fail(kLocalFailure, QString::fromLatin1(kTooManyRedirects));
        return;
    }
    dropSocket();
    startRequest(next);
}

void THttpCli::succeed()
{
    done_ = true;
    silence_->stop();
    dropSocket();
    if (loop_)
        loop_->quit();
}

void THttpCli::fail(int statusCode, const QString &reason)
{
    if (done_)
        return;
    done_ = true;
    failedHere_ = true;
    statusCode_ = statusCode;
    reasonPhrase_ = reason;
    silence_->stop();
    if (parser_)
        parser_->stop();
    dropSocket();
    if (loop_)
        loop_->quit();
}

// Closes the request's connection. It may be called from inside the socket's own event, so the
// socket goes later.
void THttpCli::dropSocket()
{
    TSock *sock = sock_;
    sock_ = nullptr;
    if (!sock)
        return;
    sock->OnConnect = nullptr;
    sock->OnRead = nullptr;
    sock->OnDisconnect = nullptr;
    sock->OnInfo = nullptr;
    sock->Close();
    sock->deleteLater();
}
