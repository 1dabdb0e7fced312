// Any bytes at all as an HTTP answer. The first byte chooses how the rest is cut into pieces and
// whether the reader stops at a redirection, as the client does. The answer must read the same
// whole and in pieces, and stay within its limits: a head line of at most 64 KiB, at most 100
// header lines, one end of the head, no body byte beyond the announced length. Anything else (a
// difference, a crash, a sanitizer report, a hang) is a finding.

#include "net/http_response_parser.h"

#include <QList>

#include <cstdint>
#include <cstdlib>

namespace {

struct Reader : HttpResponseParser::Listener {
    QList<QByteArray> lines;
    int headEnds = 0;
    QByteArray body;
    bool stopAtRedirection = false;
    HttpResponseParser parser {*this};

    void headerLine(const QByteArray &line) override
    {
        if (line.size() > HttpResponseParser::kMaxLineLength)
            std::abort();
        lines << line;
    }
    void headEnded() override
    {
        ++headEnds;
        if (stopAtRedirection && !parser.location().isEmpty())
            parser.stop();
    }
    void bodyData(QByteArrayView piece) override { body += piece.toByteArray(); }

    bool sameAs(const Reader &other) const
    {
        return lines == other.lines && headEnds == other.headEnds && body == other.body
            && parser.phase() == other.parser.phase() && parser.statusCode() == other.parser.statusCode()
            && parser.reasonPhrase() == other.parser.reasonPhrase() && parser.location() == other.parser.location()
            && parser.contentLength() == other.parser.contentLength() && parser.failure() == other.parser.failure();
    }
};

void check(const Reader &reader)
{
    if (reader.headEnds > 1 || reader.lines.size() > HttpResponseParser::kMaxHeaderLines + 1)
        std::abort();
    if (reader.parser.contentLength() && reader.body.size() > *reader.parser.contentLength())
        std::abort();
    if (reader.body.size() != reader.parser.bodyReceived())
        std::abort();
    if ((reader.parser.phase() == HttpResponseParser::Phase::Failed) == reader.parser.failure().isEmpty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int pieceSize = 1 + (data[0] >> 1);
    const QByteArrayView answer(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    Reader whole;
    Reader pieces;
    whole.stopAtRedirection = pieces.stopAtRedirection = data[0] & 1;
    whole.parser.feed(answer);
    for (qsizetype at = 0; at < answer.size(); at += pieceSize)
        pieces.parser.feed(answer.sliced(at, std::min<qsizetype>(pieceSize, answer.size() - at)));
    for (Reader *reader : {&whole, &pieces}) {
        check(*reader);
        reader->parser.closed();
        check(*reader);
    }
    if (!whole.sameAs(pieces))
        std::abort();
    return 0;
}
