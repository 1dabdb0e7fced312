#include "engine/player_text.h"

#include "protocol/constants.h"

namespace playertext {
namespace {

// The longest colour text is a system colour's name ("clInactiveCaptionText").
constexpr int kMaxColourChars = 32;
constexpr char kColourMark = '|';

constexpr char16_t kBrokenBar = 0x00A6; // shown for "|"
constexpr char16_t kRatio = 0x2236;     // shown for ":"

bool breaksTheLine(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) // control characters
        || c == 0x2028 || c == 0x2029            // line and paragraph separators
        || (c >= 0x202A && c <= 0x202E)          // embeddings and overrides of the direction
        || (c >= 0x2066 && c <= 0x2069);         // isolates
}

// At most maxChars characters of the text, each line-breaking one as a blank.
QString cleanedChars(const QByteArray &text, int maxChars)
{
    // A character takes at most four bytes: no need to decode more than the part that is kept.
    const QString decoded = QString::fromUtf8(text.left(qsizetype(maxChars) * 4 + 4));
    QString out;
    int chars = 0;
    for (qsizetype i = 0; i < decoded.size() && chars < maxChars; ++i, ++chars) {
        const QChar c = decoded.at(i);
        if (c.isHighSurrogate() && i + 1 < decoded.size()) {
            out += c;
            out += decoded.at(++i);
        } else {
            out += breaksTheLine(c.unicode()) ? QChar(u' ') : c;
        }
    }
    return out;
}

} // namespace

QByteArray cleaned(const QByteArray &text, int maxChars)
{
    return cleanedChars(text, maxChars).toUtf8();
}

QByteArray playerName(const QByteArray &name)
{
    QString safe = cleanedChars(name, proto::kMaxNameChars);
    safe.replace(QChar(u'|'), QChar(kBrokenBar));
    safe.replace(QChar(u':'), QChar(kRatio));
    return safe.toUtf8();
}

QByteArray chatText(const QByteArray &text)
{
    const qsizetype bar = text.indexOf(kColourMark);
    if (bar < 0)
        return cleaned(text, proto::kMaxChatChars);
    return cleaned(text.left(bar), proto::kMaxChatChars) + kColourMark
        + cleaned(text.mid(bar + 1), kMaxColourChars);
}

QString forLog(const QByteArray &name)
{
    const QString decoded = QString::fromUtf8(name.left(proto::kMaxNameChars * 4 + 4));
    QString quoted = QStringLiteral("\"");
    int chars = 0;
    for (const QChar c : decoded) {
        if (chars++ == proto::kMaxNameChars)
            return quoted + QStringLiteral("\"...");
        if (c == u'"' || c == u'\\')
            quoted += QLatin1Char('\\') + c;
        else if (breaksTheLine(c.unicode()))
            quoted += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
        else
            quoted += c;
    }
    return quoted + QLatin1Char('"');
}

} // namespace playertext
