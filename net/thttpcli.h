#pragma once

#include "net/http_response_parser.h"
#include "net/tsock.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

class QEventLoop;
class QIODevice;
class QTimer;

// How a request ended when it did not succeed: the status code of the answer (400 or above), or
// 404 for a failure on this side (the reason then says what it was).
class EHttpException : public std::runtime_error
{
public:
    EHttpException(const QString &reason, int statusCode)
        : std::runtime_error(reason.toStdString())
        , statusCode_(statusCode)
    {
    }
    QString text() const { return QString::fromStdString(what()); }
    int ErrorCode() const { return statusCode_; }

private:
    int statusCode_;
};

// An HTTP/1.0 client on the game's socket channel. Get() sends "GET" for URL, follows
// redirections, writes the body into RcvdStream as it arrives and returns when the answer is
// complete; while it waits the program's events go on being handled, so the game, the windows
// and Abort() stay usable.
class THttpCli : public QObject, private HttpResponseParser::Listener
{
    Q_OBJECT
public:
    static constexpr int kMaxRedirects = 5;
    // Reasons for failures on this side (all with status 404).
    static constexpr char kAborted[] = "Connection aborted on request";
    static constexpr char kUnresolved[] = "can't resolve hostname to IP address";
    static constexpr char kTooManyRedirects[] = "too many redirects";
    static constexpr char kTooLarge[] = "too large";
    static constexpr char kTimedOut[] = "timed out";

    explicit THttpCli(QObject *parent = nullptr);
    ~THttpCli() override;

    QString URL;
    QString Agent;
    QString Accept;
    // The largest body taken, checked against the announced Content-Length and the bytes that
    // arrive; 0 takes any size.
    qint64 MaxBodySize = 0;
    // How long the connection may stay silent (no connection made, no byte received) before the
    // request ends as timed out; 0 waits for ever.
    int SilenceTimeoutMs = 0;
    // Where the body goes; the caller opens it before Get() and takes it back afterwards.
    QIODevice *RcvdStream = nullptr;

    // One per line of an answer's head, the status line included.
    std::function<void(THttpCli *sender, const QByteArray &line)> OnHeaderData;
    // The body of the final answer begins.
    std::function<void(THttpCli *sender)> OnDocBegin;
    // A piece of the body, with the count of body bytes received so far.
    std::function<void(THttpCli *sender, QByteArrayView piece, qint64 count)> OnDocData;

    // Performs the request and returns when it is complete. Raises EHttpException when it ends
    // with a status of 400 or above, which includes every failure on this side. If the program is
    // told to quit meanwhile, the request is aborted.
    void Get();
    // Ends a running request with 404 and the reason, "Connection aborted on request" unless
    // another is given; nothing when none runs.
    void Abort(const QString &reason = QString::fromLatin1(kAborted));

    bool busy() const { return running_; }
    int StatusCode() const { return statusCode_; }
    QString ReasonPhrase() const { return reasonPhrase_; }
    qint64 RcvdCount() const { return rcvdCount_; }
    // The final answer's announced body length, when it announced one.
    std::optional<qint64> ContentLength() const { return contentLength_; }
    // Whether the last request failed here (no answer, a broken one, a limit, an abort) rather
    // than by the server's status.
    bool FailedOnThisSide() const { return failedHere_; }
    // The request as it goes on the wire for this address.
    QByteArray requestFor(const QUrl &url) const;

private:
    void headerLine(const QByteArray &line) override;
    void headEnded() override;
    void bodyData(QByteArrayView piece) override;

    void startRequest(const QUrl &url);
    void received(TSock *sock);
    void peerClosed();
    void socketInfo(TSocketInfo kind, const QString &text);
    void afterFeed();
    void followRedirect();
    void succeed();
    void fail(int statusCode, const QString &reason);
    void dropSocket();
    void heardFromServer();

    QPointer<TSock> sock_;
    std::unique_ptr<HttpResponseParser> parser_;
    QUrl currentUrl_;
    QEventLoop *loop_ = nullptr;
    bool running_ = false;
    bool done_ = false;
    bool connected_ = false;
    QString connectionError_; // an error the socket reported on an open connection
    int redirects_ = 0;
    int statusCode_ = 0;
    QString reasonPhrase_;
    qint64 rcvdCount_ = 0;
    std::optional<qint64> contentLength_;
    bool failedHere_ = false;
    QTimer *silence_ = nullptr;
};
