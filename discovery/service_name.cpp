#include "discovery/service_name.h"

#include <QTextBoundaryFinder>

namespace servicename {

QString fitted(const QString &name)
{
    if (name.toUtf8().size() <= kMaxBytes)
        return name;
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, name);
    qsizetype fits = 0;
    while (boundaries.toNextBoundary() > 0 && name.left(boundaries.position()).toUtf8().size() <= kMaxBytes)
        fits = boundaries.position();
    return name.left(fits);
}

QString shown(const QString &name)
{
    QString line;
    line.reserve(name.size());
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool blank = u == '\t' || u == '\n' || u == '\r' || u == '\v' || u == '\f' || u == 0x85 || u == 0x2028 || u == 0x2029;
        // Embeddings, overrides and isolates reorder what follows them.
        const bool direction = (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
        if (blank)
            line += QLatin1Char(' ');
        else if (c.category() == QChar::Other_Control || direction)
            line += QChar(QChar::ReplacementCharacter);
        else
            line += c;
    }
    return line;
}

} // namespace servicename
