// Reading HTTP answers from their bytes, in pieces of any size.

#include "net/http_response_parser.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <QList>

#include <functional>

namespace {

using Phase = HttpResponseParser::Phase;

// Records what the parser reports.
struct Recording : HttpResponseParser::Listener {
    QList<QByteArray> lines;
    int headEnds = 0;
    QByteArray body;
    std::function<void(HttpResponseParser &)> atHeadEnd;
    HttpResponseParser *parser = nullptr;

    void headerLine(const QByteArray &line) override { lines << line; }
    void headEnded() override
    {
        ++headEnds;
        if (atHeadEnd)
            atHeadEnd(*parser);
    }
    void bodyData(QByteArrayView piece) override { body += piece.toByteArray(); }
};

struct Reading {
    Recording seen;
    HttpResponseParser parser {seen};
    Reading() { seen.parser = &parser; }

    // Feeds the bytes in pieces that end at the given offsets, then the rest.
    Reading &feed(const QByteArray &bytes, const QList<qsizetype> &cuts = {})
    {
        qsizetype from = 0;
        for (qsizetype cut : cuts) {
            parser.feed(QByteArrayView(bytes).sliced(from, cut - from));
            from = cut;
        }
        parser.feed(QByteArrayView(bytes).sliced(from));
        return *this;
    }
};

const QByteArray kAnswer = "HTTP/1.1 200 OK\r\n"
                           "Server: test\n"
                           "content-length: 10\r\n"
                           "Location2: not a location\r\n"
                           "\r\n"
                           "0123456789 and bytes after the body";

} // namespace

TEST(HttpResponseParser, AnAnswerReadsTheSameWhateverPiecesItArrivesIn)
{
    Reading whole;
    whole.feed(kAnswer);
    EXPECT_EQ(whole.seen.lines, QList<QByteArray>({"HTTP/1.1 200 OK", "Server: test", "content-length: 10",
                                                   "Location2: not a location"}));
    EXPECT_EQ(whole.seen.headEnds, 1);
    EXPECT_EQ(whole.seen.body, "0123456789");
    EXPECT_EQ(whole.parser.phase(), Phase::Complete);
    EXPECT_EQ(whole.parser.statusCode(), 200);
    EXPECT_EQ(whole.parser.reasonPhrase(), "OK");
    EXPECT_EQ(whole.parser.contentLength(), 10);
    EXPECT_TRUE(whole.parser.location().isEmpty());

    // Cut once at every place, and byte by byte.
    QList<qsizetype> everyByte;
    for (qsizetype cut = 1; cut < kAnswer.size(); ++cut) {
        Reading pieces;
        pieces.feed(kAnswer, {cut});
        EXPECT_EQ(pieces.seen.lines, whole.seen.lines) << "cut at " << cut;
        EXPECT_EQ(pieces.seen.body, whole.seen.body) << "cut at " << cut;
        EXPECT_EQ(pieces.seen.headEnds, 1);
        EXPECT_EQ(pieces.parser.phase(), Phase::Complete);
        everyByte << cut;
    }
    Reading bytes;
    bytes.feed(kAnswer, everyByte);
    EXPECT_EQ(bytes.seen.body, "0123456789");
    EXPECT_EQ(bytes.parser.bodyReceived(), 10);
    // Nothing more is taken once the answer is complete, not even after the server closes.
    bytes.parser.feed("more");
    bytes.parser.closed();
    EXPECT_EQ(bytes.seen.body, "0123456789");
    EXPECT_EQ(bytes.parser.phase(), Phase::Complete);
}

TEST(HttpResponseParser, TheBodyEndsAtItsLengthOrWhenTheServerCloses)
{
    Reading untilClosed;
    untilClosed.feed("HTTP/1.0 404 Not Found\r\nContent-Length: 12abc\r\n\r\nerror page");
    EXPECT_EQ(untilClosed.parser.contentLength(), std::nullopt); // not a number: ignored
    EXPECT_EQ(untilClosed.parser.phase(), Phase::Body);
    untilClosed.parser.feed(" goes on");
    untilClosed.parser.closed();
    EXPECT_EQ(untilClosed.parser.phase(), Phase::Complete);
    EXPECT_EQ(untilClosed.seen.body, "error page goes on");
    EXPECT_EQ(untilClosed.parser.statusCode(), 404);
    EXPECT_EQ(untilClosed.parser.reasonPhrase(), "Not Found");

    Reading empty;
    empty.feed("HTTP/1.0 200\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(empty.parser.phase(), Phase::Complete);
    EXPECT_EQ(empty.seen.headEnds, 1);
    EXPECT_TRUE(empty.parser.reasonPhrase().isEmpty());

    Reading shortBody;
    shortBody.feed("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nonly this");
    shortBody.parser.closed();
    EXPECT_EQ(shortBody.parser.phase(), Phase::Failed);
    EXPECT_EQ(shortBody.parser.failure(), HttpResponseParser::kClosedInBody);
    EXPECT_EQ(shortBody.seen.body, "only this");

    for (const QByteArray &cutShort : {QByteArray(), QByteArray("HTTP/1.0 200 OK\r\nServer: x\r\n"), QByteArray("HTTP/1.0 2")}) {
        Reading head;
        head.feed(cutShort);
        head.parser.closed();
        EXPECT_EQ(head.parser.phase(), Phase::Failed) << cutShort.constData();
        EXPECT_EQ(head.parser.failure(), HttpResponseParser::kClosedInHead);
        EXPECT_EQ(head.seen.headEnds, 0);
    }
}

TEST(HttpResponseParser, OnlyAStatusLineOfHttpWithAThreeDigitCodeIsAnAnswer)
{
    for (const QByteArray &bad : {QByteArray("HTP/1.0 200 OK"), QByteArray("HTTP/1.0 20 OK"), QByteArray("HTTP/1.0 2000 OK"),
                                  QByteArray("HTTP/1.0"), QByteArray(""), QByteArray("<html>"), QByteArray("HTTP/1.0 abc")}) {
        Reading reading;
        reading.feed(bad + "\r\nContent-Length: 0\r\n\r\n");
        EXPECT_EQ(reading.parser.phase(), Phase::Failed) << bad.constData();
        EXPECT_EQ(reading.parser.failure(), HttpResponseParser::kBadStatusLine);
        EXPECT_TRUE(reading.seen.lines.isEmpty());
    }
    Reading relaxed;
    relaxed.feed("http/1.1   302   Found  it \nLOCATION:  /next?a=1 \nLocation: /second\n\n");
    EXPECT_EQ(relaxed.parser.statusCode(), 302);
    EXPECT_EQ(relaxed.parser.reasonPhrase(), "Found  it");
    EXPECT_EQ(relaxed.parser.location(), "/next?a=1"); // the first one counts
}

TEST(HttpResponseParser, AHeadBeyondItsLimitsFailsWithoutGrowing)
{
    const QByteArray longest(HttpResponseParser::kMaxLineLength - 3, 'x');
    Reading atLimit;
    atLimit.feed("HTTP/1.0 200 OK\r\nX: " + longest + "\r\n", {100, 40000});
    EXPECT_EQ(atLimit.parser.phase(), Phase::Headers);
    EXPECT_EQ(atLimit.seen.lines.value(1).size(), HttpResponseParser::kMaxLineLength);

    Reading tooLong;
    tooLong.feed("HTTP/1.0 200 OK\r\nX: " + longest + "y\r\n\r\nbody");
    EXPECT_EQ(tooLong.parser.phase(), Phase::Failed);
    EXPECT_EQ(tooLong.parser.failure(), HttpResponseParser::kLineTooLong);

    // A line that never ends fails as soon as it passes the limit, however it arrives.
    Reading endless;
    endless.feed("HTTP/1.0 200 OK\r\nX: ");
    const QByteArray piece(4096, 'z');
    int pieces = 0;
    while (endless.parser.phase() == Phase::Headers && pieces < 1000) {
        endless.parser.feed(piece);
        ++pieces;
    }
    EXPECT_EQ(endless.parser.failure(), HttpResponseParser::kLineTooLong);
    EXPECT_EQ(pieces, 16);
    endless.parser.feed("\r\n\r\nbody");
    EXPECT_EQ(endless.seen.headEnds, 0);
    EXPECT_TRUE(endless.seen.body.isEmpty());

    QByteArray hundred = "HTTP/1.0 200 OK\r\n";
    for (int i = 0; i < HttpResponseParser::kMaxHeaderLines; ++i)
        hundred += "X-" + QByteArray::number(i) + ": v\r\n";
    Reading manyLines;
    manyLines.feed(hundred + "\r\nbody");
    EXPECT_EQ(manyLines.seen.lines.size(), HttpResponseParser::kMaxHeaderLines + 1);
    EXPECT_EQ(manyLines.seen.body, "body");
    Reading tooMany;
    tooMany.feed(hundred + "X-last: v\r\n\r\nbody");
    EXPECT_EQ(tooMany.parser.failure(), HttpResponseParser::kTooManyLines);
    EXPECT_EQ(tooMany.seen.lines.size(), HttpResponseParser::kMaxHeaderLines + 1);
    EXPECT_EQ(tooMany.seen.headEnds, 0);
}

TEST(HttpResponseParser, AReaderThatStopsAtTheEndOfTheHeadGetsNoBody)
{
    Reading redirected;
    redirected.seen.atHeadEnd = [](HttpResponseParser &parser) { parser.stop(); };
    redirected.feed("HTTP/1.0 301 Moved\r\nLocation: http://elsewhere/x\r\n\r\nmoved page");
    EXPECT_EQ(redirected.parser.phase(), Phase::Stopped);
    EXPECT_EQ(redirected.parser.location(), "http://elsewhere/x");
    EXPECT_TRUE(redirected.seen.body.isEmpty());
    redirected.parser.closed();
    EXPECT_EQ(redirected.parser.phase(), Phase::Stopped);
}
