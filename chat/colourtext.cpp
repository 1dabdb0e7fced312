#include "chat/colourtext.h"

#include <array>
#include <limits>

namespace chat {
namespace {

struct NamedColour
{
    const char *name;
    quint32 value;
};

constexpr quint32 sys(int index) { return SystemColourBase + quint32(index); }

// The system colours follow the desktop's colour index order (0 to 24).
constexpr std::array<NamedColour, 16 + SystemColourCount + 1> namedColours{{
    {"clBlack", 0x00000000}, {"clMaroon", 0x00000080}, {"clGreen", 0x00008000},
    {"clOlive", 0x00008080}, {"clNavy", 0x00800000},   {"clPurple", 0x00800080},
    {"clTeal", 0x00808000},  {"clGray", 0x00808080},   {"clSilver", 0x00C0C0C0},
    {"clRed", 0x000000FF},   {"clLime", 0x0000FF00},   {"clYellow", 0x0000FFFF},
    {"clBlue", 0x00FF0000},  {"clFuchsia", 0x00FF00FF}, {"clAqua", 0x00FFFF00},
    {"clWhite", 0x00FFFFFF},
    {"clScrollBar", sys(0)}, {"clBackground", sys(1)}, {"clActiveCaption", sys(2)},
    {"clInactiveCaption", sys(3)}, {"clMenu", sys(4)}, {"clWindow", sys(5)},
    {"clWindowFrame", sys(6)}, {"clMenuText", sys(7)}, {"clWindowText", sys(8)},
    {"clCaptionText", sys(9)}, {"clActiveBorder", sys(10)}, {"clInactiveBorder", sys(11)},
    {"clAppWorkSpace", sys(12)}, {"clHighlight", sys(13)}, {"clHighlightText", sys(14)},
    {"clBtnFace", sys(15)}, {"clBtnShadow", sys(16)}, {"clGrayText", sys(17)},
    {"clBtnText", sys(18)}, {"clInactiveCaptionText", sys(19)}, {"clBtnHighlight", sys(20)},
    {"cl3DDkShadow", sys(21)}, {"cl3DLight", sys(22)}, {"clInfoText", sys(23)},
    {"clInfoBk", sys(24)},
    {"clNone", ColourNone},
}};

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

std::optional<quint32> hexNumber(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    quint32 value = 0;
    for (QChar c : digits) {
        int digit;
        if (isAsciiDigit(c))
            digit = c.unicode() - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c.unicode() - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c.unicode() - u'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + quint32(digit);
    }
    return value;
}

// A decimal colour may be written signed (a 32-bit integer, two's complement) or unsigned.
std::optional<quint32> decimalNumber(QStringView text)
{
    const bool negative = text.startsWith(u'-');
    const QStringView digits = negative ? text.mid(1) : text;
    if (digits.isEmpty() || digits.size() > 10)
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : digits) {
        if (!isAsciiDigit(c))
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return quint32(value);
}

} // namespace

QString colourToText(quint32 colour)
{
    for (const NamedColour &named : namedColours) {
        if (named.value == colour)
            return QString::fromLatin1(named.name);
    }
    return QStringLiteral("$%1").arg(colour, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<quint32> colourFromText(const QString &text)
{
    for (const NamedColour &named : namedColours) {
        if (text.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0)
            return named.value;
    }
    if (text.startsWith(u'$'))
        return hexNumber(QStringView(text).mid(1));
    return decimalNumber(text);
}

} // namespace chat
