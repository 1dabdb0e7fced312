#include "net/http_response_parser.h"

#include <cstring>

namespace {

constexpr qsizetype kMaxLengthDigits = 18; // fits a qint64

bool startsWithNoCase(const QByteArray &text, const char *prefix)
{
    return text.left(qsizetype(std::strlen(prefix))).compare(prefix, Qt::CaseInsensitive) == 0;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::optional<qint64> decimal(const QByteArray &text)
{
    if (text.isEmpty() || text.size() > kMaxLengthDigits)
        return std::nullopt;
    qint64 value = 0;
    for (char c : text) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

HttpResponseParser::HttpResponseParser(Listener &listener)
    : listener_(listener)
{
}

void HttpResponseParser::feed(QByteArrayView bytes)
{
    qsizetype at = 0;
    while (at < bytes.size() && (phase_ == Phase::StatusLine || phase_ == Phase::Headers)) {
        const char *start = bytes.data() + at;
        const void *newline = std::memchr(start, '\n', size_t(bytes.size() - at));
        if (!newline) {
            pendingLine_.append(start, bytes.size() - at);
            // One byte more than a line may hold: its carriage return.
            if (pendingLine_.size() > kMaxLineLength + 1)
                fail(kLineTooLong);
            return;
        }
        const qsizetype length = static_cast<const char *>(newline) - start;
        pendingLine_.append(start, length);
        at += length + 1;
        QByteArray line;
        line.swap(pendingLine_);
        takeLine(std::move(line));
    }
    if (phase_ == Phase::Body && at < bytes.size())
        takeBody(bytes.sliced(at));
}

void HttpResponseParser::closed()
{
    switch (phase_) {
    case Phase::StatusLine:
    case Phase::Headers:
        fail(kClosedInHead);
        break;
    case Phase::Body:
        if (contentLength_ && bodyReceived_ < *contentLength_)
            fail(kClosedInBody);
        else
            phase_ = Phase::Complete;
        break;
    default:
        break;
    }
}

void HttpResponseParser::stop()
{
    if (!finished())
        phase_ = Phase::Stopped;
    pendingLine_.clear();
}

void HttpResponseParser::takeLine(QByteArray line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.size() > kMaxLineLength) {
        fail(kLineTooLong);
        return;
    }
    if (phase_ == Phase::StatusLine) {
        if (!readStatusLine(line)) {
            fail(kBadStatusLine);
            return;
        }
        phase_ = Phase::Headers;
        listener_.headerLine(line);
        return;
    }
    if (line.isEmpty()) {
        endHead();
        return;
    }
    if (++headerLines_ > kMaxHeaderLines) {
        fail(kTooManyLines);
        return;
    }
    readHeader(line);
    listener_.headerLine(line);
}

// "HTTP/1.1 200 OK": a version, a three-digit code and an optional reason text.
bool HttpResponseParser::readStatusLine(const QByteArray &line)
{
    if (!startsWithNoCase(line, "HTTP/"))
        return false;
    qsizetype at = line.indexOf(' ');
    if (at < 0)
        return false;
    while (at < line.size() && line.at(at) == ' ')
        ++at;
    if (at + 3 > line.size() || !isDigit(line.at(at)) || !isDigit(line.at(at + 1)) || !isDigit(line.at(at + 2)))
        return false;
    if (at + 3 < line.size() && line.at(at + 3) != ' ')
        return false;
    statusCode_ = (line.at(at) - '0') * 100 + (line.at(at + 1) - '0') * 10 + (line.at(at + 2) - '0');
    reasonPhrase_ = line.mid(at + 3).trimmed();
    return true;
}

void HttpResponseParser::readHeader(const QByteArray &line)
{
    const qsizetype colon = line.indexOf(':');
    if (colon < 0)
        return;
    const QByteArray name = line.left(colon).trimmed();
    const QByteArray value = line.mid(colon + 1).trimmed();
    if (!contentLength_ && name.compare("Content-Length", Qt::CaseInsensitive) == 0)
        contentLength_ = decimal(value);
    else if (location_.isEmpty() && name.compare("Location", Qt::CaseInsensitive) == 0)
        location_ = value;
}

void HttpResponseParser::endHead()
{
    phase_ = Phase::Body;
    listener_.headEnded();
    if (phase_ == Phase::Body && contentLength_ == 0)
        phase_ = Phase::Complete;
}

void HttpResponseParser::takeBody(QByteArrayView bytes)
{
    qsizetype take = bytes.size();
    if (contentLength_)
        take = qsizetype(std::min<qint64>(take, *contentLength_ - bodyReceived_));
    bodyReceived_ += take;
    listener_.bodyData(bytes.first(take));
    if (phase_ == Phase::Body && contentLength_ && bodyReceived_ == *contentLength_)
        phase_ = Phase::Complete;
}

void HttpResponseParser::fail(const char *why)
{
    phase_ = Phase::Failed;
    failure_ = why;
    pendingLine_.clear();
}
