#include "protocol/wire.h"

#include <limits>
#include <utility>

namespace proto {

VerbAndData splitVerb(const QByteArray &line)
{
    const qsizetype plus = line.indexOf(kSeparator);
    if (plus < 0)
        return {};
    return {line.left(plus), line.mid(plus + 1)};
}

std::optional<int> toNumber(const QByteArray &text)
{
    qsizetype i = 0;
    const bool negative = !text.isEmpty() && text.at(0) == '-';
    if (negative)
        i = 1;
    if (i >= text.size())
        return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int>::max() + (negative ? 1LL : 0LL))
            return std::nullopt;
    }
    return int(negative ? -value : value);
}

QList<QByteArray> StreamCutter::feed(const QByteArray &bytes)
{
    if (overlong_ == Overlong::Dropped)
        return feedDropping(bytes);
    QList<QByteArray> messages;
    pending_.append(bytes);
    qsizetype start = 0;
    for (qsizetype end = pending_.indexOf(kTerminator); end >= 0;
         end = pending_.indexOf(kTerminator, start)) {
        messages.append(pending_.mid(start, end - start));
        start = end + 1;
    }
    pending_.remove(0, start);
    return messages;
}

QList<QByteArray> StreamCutter::feedDropping(const QByteArray &bytes)
{
    QList<QByteArray> messages;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype end = bytes.indexOf(kTerminator, pos);
        const qsizetype stop = end < 0 ? bytes.size() : end;
        if (!skipping_) {
            if (pending_.size() + (stop - pos) > kMaxPending) {
                // Nothing of an overlong message is kept, however long it goes on.
                skipping_ = true;
                pending_ = QByteArray();
                ++dropped_;
            } else {
                pending_.append(bytes.constData() + pos, stop - pos);
            }
        }
        if (end < 0)
            break;
        if (!skipping_)
            messages.append(std::exchange(pending_, QByteArray()));
        skipping_ = false;
        pos = end + 1;
    }
    return messages;
}

} // namespace proto
