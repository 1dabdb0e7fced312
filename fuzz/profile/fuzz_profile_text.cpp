// Any bytes as an INI text, with a section, two keys and a value taken from the input: reading
// never fails and never gives more than 2047 characters, and setting a key changes only that key's
// line (every other line stays byte for byte, every other key reads as before) and reads back.
//
// Input: one byte N, then N bytes of names ("section\nkey\nvalue\nother key", UTF-8), then the text.

#include "records/profile_text.h"

#include <QStringDecoder>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r';
}

// Names that the grammar can hold: one line, no brackets or "=", no comment mark, no blanks at
// either end.
bool writable(const QString &name)
{
    if (name.contains(u'\n') || name.contains(u'\r') || name.contains(u'[') || name.contains(u']') || name.contains(u'='))
        return false;
    return !name.startsWith(u';') && (name.isEmpty() || (!isBlank(name.front()) && !isBlank(name.back())));
}

// What reading gives back for a written value.
QString readBack(QString value)
{
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    while (!value.isEmpty() && isBlank(value.front()))
        value.remove(0, 1);
    while (!value.isEmpty() && isBlank(value.back()))
        value.chop(1);
    if (value.size() > profile::kMaxValueLength) {
        value.truncate(profile::kMaxValueLength);
        if (value.back().isHighSurrogate())
            value.chop(1);
    }
    return value;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t namesSize = std::min<std::size_t>(data[0], size - 1);
    QStringDecoder toText(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    const QStringList names = QString(toText(QByteArrayView(data + 1, qsizetype(namesSize)))).split(u'\n');
    const QByteArray text(reinterpret_cast<const char *>(data + 1 + namesSize), qsizetype(size - 1 - namesSize));
    const QString section = names.value(0);
    const QString key = names.value(1);
    const QString value = names.value(2);
    const QString otherKey = names.value(3);

    for (const QString &k : {key, otherKey}) {
        if (const std::optional<QString> found = profile::findValue(text, section, k))
            check(found->size() <= profile::kMaxValueLength);
    }
    if (!writable(section) || !writable(key))
        return 0;

    const QByteArray after = profile::withValue(text, section, key, value);
    check(profile::findValue(after, section, key) == readBack(value));

    // Only one line changed: what the text lost between the common start and the common end
    // holds no line end.
    qsizetype head = 0;
    while (head < text.size() && head < after.size() && text[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < text.size() - head && tail < after.size() - head && text[text.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    check(!text.mid(head, text.size() - head - tail).contains('\n'));

    if (otherKey.compare(key, Qt::CaseInsensitive) != 0)
        check(profile::findValue(after, section, otherKey) == profile::findValue(text, section, otherKey));
    check(profile::findValue(after, otherKey, key) == profile::findValue(text, otherKey, key)
          || otherKey.compare(section, Qt::CaseInsensitive) == 0);
    return 0;
}
