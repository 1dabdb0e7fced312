#include "records/profile_text.h"

#include <QList>
#include <QStringDecoder>

namespace profile {

namespace {

// One line of the text: its content [begin, contentEnd) and its line end [contentEnd, end).
struct Line {
    qsizetype begin = 0;
    qsizetype contentEnd = 0;
    qsizetype end = 0;
};

QList<Line> splitLines(const QByteArray &text)
{
    QList<Line> lines;
    qsizetype begin = 0;
    while (begin < text.size()) {
        const qsizetype newline = text.indexOf('\n', begin);
        Line line;
        line.begin = begin;
        line.end = newline < 0 ? text.size() : newline + 1;
        line.contentEnd = newline < 0 ? text.size() : newline;
        if (newline >= 0 && line.contentEnd > begin && text[line.contentEnd - 1] == '\r')
            --line.contentEnd;
        lines.append(line);
        begin = line.end;
    }
    return lines;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

QByteArrayView withoutBlanks(QByteArrayView view)
{
    while (!view.isEmpty() && isBlank(view.front()))
        view = view.sliced(1);
    while (!view.isEmpty() && isBlank(view.back()))
        view.chop(1);
    return view;
}

// [begin, end) of the text without the blanks at either end; a byte-order mark at the very start
// of the text counts as blank.
QByteArrayView trimmed(const QByteArray &text, qsizetype begin, qsizetype end)
{
    if (begin == 0 && text.startsWith("\xEF\xBB\xBF"))
        begin = qMin<qsizetype>(3, end);
    return withoutBlanks(QByteArrayView(text.constData() + begin, end - begin));
}

// UTF-8 to text, keeping a byte-order mark at the start as the character it is (part of a
// name or a value, which it can only be away from the start of the file).
QString decoded(QByteArrayView bytes)
{
    QStringDecoder toText(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return toText(bytes);
}

bool sameName(QByteArrayView stored, const QString &name)
{
    return decoded(stored).compare(name, Qt::CaseInsensitive) == 0;
}

// The section name of a "[Name]" line.
std::optional<QByteArrayView> sectionName(QByteArrayView content)
{
    if (!content.startsWith('['))
        return std::nullopt;
    const qsizetype close = content.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return withoutBlanks(content.sliced(1, close - 1));
}

// Where a key stands: the line of its section, the line of the key, the section's last key line.
struct Place {
    qsizetype sectionLine = -1;
    qsizetype keyLine = -1;
    qsizetype lastEntryLine = -1;
    qsizetype equals = -1; // the key line's "=" in the text
};

Place locate(const QByteArray &text, const QList<Line> &lines, const QString &section, const QString &key)
{
    Place place;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &line = lines[i];
        const QByteArrayView content = trimmed(text, line.begin, line.contentEnd);
        if (const std::optional<QByteArrayView> name = sectionName(content)) {
            if (place.sectionLine >= 0)
                break; // the end of the section found
            if (sameName(*name, section))
                place.sectionLine = place.lastEntryLine = i;
            continue;
        }
        if (place.sectionLine < 0 || content.startsWith(';'))
            continue;
        const qsizetype equals = content.indexOf('=');
        if (equals < 0)
            continue;
        place.lastEntryLine = i;
        if (place.keyLine < 0 && sameName(withoutBlanks(content.first(equals)), key)) {
            place.keyLine = i;
            place.equals = (content.constData() - text.constData()) + equals;
        }
    }
    return place;
}

QByteArray lineEndOf(const QByteArray &text)
{
    const qsizetype newline = text.indexOf('\n');
    return newline > 0 && text[newline - 1] == '\r' ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

QByteArray oneLine(const QString &value)
{
    QString line = value;
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line.toUtf8();
}

QString cut(QString value)
{
    if (value.size() <= kMaxValueLength)
        return value;
    value.truncate(kMaxValueLength);
    if (value.back().isHighSurrogate())
        value.chop(1); // never half a character
    return value;
}

} // namespace

std::optional<QString> findValue(const QByteArray &text, const QString &section, const QString &key)
{
    const QList<Line> lines = splitLines(text);
    const Place place = locate(text, lines, section, key);
    if (place.keyLine < 0)
        return std::nullopt;
    const Line &line = lines[place.keyLine];
    return cut(decoded(trimmed(text, place.equals + 1, line.contentEnd)));
}

QByteArray withValue(const QByteArray &text, const QString &section, const QString &key, const QString &value)
{
    const QList<Line> lines = splitLines(text);
    const Place place = locate(text, lines, section, key);
    const QByteArray lineEnd = lineEndOf(text);
    const QByteArray entry = key.toUtf8() + '=' + oneLine(value);

    if (place.keyLine >= 0) {
        const Line &line = lines[place.keyLine];
        qsizetype valueStart = place.equals + 1;
        while (valueStart < line.contentEnd && (text[valueStart] == ' ' || text[valueStart] == '\t'))
            ++valueStart;
        return text.left(valueStart) + oneLine(value) + text.mid(line.contentEnd);
    }
    if (place.sectionLine >= 0) {
        const Line &after = lines[place.lastEntryLine];
        if (after.end == after.contentEnd) // the text's last line, without a line end
            return text + lineEnd + entry + lineEnd;
        return text.left(after.end) + entry + lineEnd + text.mid(after.end);
    }
    QByteArray result = text;
    if (!result.isEmpty()) {
        if (!result.endsWith('\n'))
            result += lineEnd;
        if (!trimmed(result, lines.last().begin, lines.last().contentEnd).isEmpty())
            result += lineEnd; // a blank line before the new section
    }
    return result + '[' + section.toUtf8() + ']' + lineEnd + entry + lineEnd;
}

} // namespace profile
