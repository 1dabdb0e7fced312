#include "dictionary/wordkey.h"

#include <algorithm>
#include <cstring>

namespace wordkey {

QByteArray normalised(QByteArrayView text)
{
    QByteArray s = text.toByteArray();
    s.replace('\0', ' ');
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s[begin] == ' ')
        ++begin;
    while (end > begin && s[end - 1] == ' ')
        --end;
    s = s.mid(begin, end - begin);
    if (s.size() < KeyLength)
        s.append(KeyLength - s.size(), ' ');
    for (char &c : s) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
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
