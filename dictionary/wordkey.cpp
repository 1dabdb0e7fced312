#include "dictionary/wordkey.h"

#include <algorithm>
#include <cstring>

namespace wordkey {

QByteArray normalised(QByteArrayView text)
{
    // NUL bytes count as spaces, so they are trimmed like spaces.
    const auto blank = [](char c) { return c == ' ' || c == '\0'; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    QByteArray s(std::max(end - begin, KeyLength), ' ');
    for (qsizetype i = begin; i < end; ++i) {
        const char c = text[i];
        s[i - begin] = c == '\0' ? ' ' : (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    }
    return s;
}

bool isBlank(const QByteArray &normalisedText)
{
    // Leading spaces are gone after normalising, so a space in front means nothing but padding.
    return normalisedText.startsWith(' ');
}

int compare(QByteArrayView a, QByteArrayView b)
{
    const qsizetype common = std::min(a.size(), b.size());
    if (common > 0) {
        if (const int bytes = std::memcmp(a.data(), b.data(), size_t(common)); bytes != 0)
            return bytes;
    }
    return (a.size() > b.size()) - (a.size() < b.size());
}

} // namespace wordkey
