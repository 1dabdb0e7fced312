#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// Reads an HTTP answer from its bytes as they arrive, in pieces of any size: the status line and
// the header lines one by one, then the body up to its Content-Length or up to the end of the
// connection. It only reads; what becomes of a line or a piece of the body is the listener's
// business. A head that grows beyond its limits ends the answer as failed instead of growing
// memory.
class HttpResponseParser
{
public:
    static constexpr qsizetype kMaxLineLength = 64 * 1024;
    static constexpr int kMaxHeaderLines = 100; // after the status line

    // Why an answer failed.
    static constexpr char kLineTooLong[] = "header line too long";
    static constexpr char kTooManyLines[] = "too many header lines";
    static constexpr char kBadStatusLine[] = "invalid status line";
    static constexpr char kClosedInHead[] = "connection closed before the end of the header";
    static constexpr char kClosedInBody[] = "connection closed before the end of the document";

    class Listener
    {
    public:
        virtual ~Listener() = default;
        // Each line of the head, the status line first, without its line end.
        virtual void headerLine(const QByteArray &line) = 0;
        // The head is complete; the body follows (it may be empty).
        virtual void headEnded() = 0;
        virtual void bodyData(QByteArrayView piece) = 0;
    };

    enum class Phase { StatusLine, Headers, Body, Complete, Failed, Stopped };

    explicit HttpResponseParser(Listener &listener);

    // The next bytes from the connection. Bytes after the end of the answer are dropped. The
    // listener may stop() the parser from inside its calls; the rest is then dropped too.
    void feed(QByteArrayView bytes);
    // The server closed the connection: a body without a length ends here.
    void closed();
    // The reader wants no more of this answer (it follows a redirection, or gave up).
    void stop();

    Phase phase() const { return phase_; }
    bool finished() const { return phase_ == Phase::Complete || phase_ == Phase::Failed || phase_ == Phase::Stopped; }
    int statusCode() const { return statusCode_; }
    QByteArray reasonPhrase() const { return reasonPhrase_; }
    // The first "Location" header's value, empty if there was none.
    QByteArray location() const { return location_; }
    std::optional<qint64> contentLength() const { return contentLength_; }
    qint64 bodyReceived() const { return bodyReceived_; }
    // One of the texts above once the phase is Failed.
    QByteArray failure() const { return failure_; }

private:
    void takeLine(QByteArray line);
    bool readStatusLine(const QByteArray &line);
    void readHeader(const QByteArray &line);
    void endHead();
    void takeBody(QByteArrayView bytes);
    void fail(const char *why);

    Listener &listener_;
    Phase phase_ = Phase::StatusLine;
    QByteArray pendingLine_;
    int headerLines_ = 0;
    int statusCode_ = 0;
    QByteArray reasonPhrase_;
    QByteArray location_;
    std::optional<qint64> contentLength_;
    qint64 bodyReceived_ = 0;
    QByteArray failure_;
};
