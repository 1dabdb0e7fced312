#include "records/settings_values.h"

#include <algorithm>

namespace settings {

namespace {

bool isAsciiHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

std::optional<int> readInteger(const QString &text)
{
    bool ok = false;
    for (const QString &hexMark : {QStringLiteral("$"), QStringLiteral("0x"), QStringLiteral("0X")}) {
        if (!text.startsWith(hexMark))
            continue;
        const QString digits = text.mid(hexMark.size());
        const bool allHex = std::all_of(digits.begin(), digits.end(), [](QChar c) { return isAsciiHexDigit(c); });
        if (digits.isEmpty() || digits.size() > 8 || !allHex)
            return std::nullopt;
        return int(digits.toUInt(&ok, 16));
    }
    const int value = text.toInt(&ok, 10);
    // toInt takes blanks around the number; the file's value never has any left.
    return ok && text.trimmed() == text ? std::optional<int>(value) : std::nullopt;
}

bool readSwitch(const QString &text)
{
    return text != QLatin1String("false");
}

QString switchText(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace settings
