#include "chat/chatline.h"

namespace chat {
namespace {

std::optional<int> seatNumber(QStringView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    int seat = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        seat = seat * 10 + (c.unicode() - u'0');
        if (seat > MaxSeat)
            return std::nullopt;
    }
    return seat;
}

// One blank is appended, then each word runs up to and including the next blank, so a run of
// blanks gives words that are a single blank. `links` counts the line's links so far.
void addWords(QStringView text, std::vector<ChatItem> &items, int &links)
{
    const QString padded = text.toString() + u' ';
    qsizetype start = 0;
    while (start < padded.size()) {
        const qsizetype blank = padded.indexOf(u' ', start);
        QString word = padded.mid(start, blank - start + 1);
        auto kind = ChatItem::Kind::Text;
        if (links < MaxLinksPerLine && isLinkWord(word)) {
            kind = ChatItem::Kind::Link;
            ++links;
        }
        items.push_back({kind, std::move(word), 0});
        start = blank + 1;
    }
}

int smileyPicture(QStringView code)
{
    bool twoDigits = code.size() == 2;
    for (QChar c : code)
        twoDigits = twoDigits && c >= u'0' && c <= u'9';
    const int number = twoDigits ? code.toInt() : 0;
    return number >= FirstSmileyCode && number <= LastSmileyCode ? number - FirstSmileyCode : 0;
}

} // namespace

bool isLinkWord(const QString &word)
{
    return word.contains(QLatin1String("http://")) || word.contains(QLatin1String("https://")) || word.contains(QLatin1String("www."))
           || word.startsWith(GameLinkPrefix);
}

std::optional<ChatLine> parseChatLine(const QString &line)
{
    const qsizetype plus = line.indexOf(u'+');
    if (plus < 0)
        return std::nullopt;
    const std::optional<int> seat = seatNumber(QStringView(line).left(plus));
    if (!seat)
        return std::nullopt;

    ChatLine parsed;
    parsed.seat = *seat;
    parsed.style = *seat > 0 ? *seat + SeatStyleOffset : SystemStyle;

    const QStringView rest = QStringView(line).mid(plus + 1);
    const qsizetype colon = rest.indexOf(u':');
    parsed.head = rest.left(colon + 1).toString() + u' '; // no colon: an empty head
    QStringView body = rest.mid(colon + 1);

    int links = 0;
    int smilies = 0;
    qsizetype marker;
    while (smilies < MaxSmiliesPerLine && (marker = body.indexOf(SmileyMarker)) >= 0) {
        addWords(body.left(marker), parsed.items, links);
        const QStringView code = body.mid(marker + SmileyMarker.size(), 2);
        parsed.items.push_back({ChatItem::Kind::Smiley, QString(), smileyPicture(code)});
        ++smilies;
        body = body.mid(marker + SmileyMarker.size() + code.size());
    }
    if (!body.isEmpty())
        addWords(body, parsed.items, links);
    return parsed;
}

} // namespace chat
