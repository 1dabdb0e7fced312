#include "session/chat_backlog.h"

#include "protocol/constants.h"
#include "protocol/messages.h"

#include <utility>

namespace {

bool isChatLine(const QByteArray &line)
{
    static const QByteArray chat = QByteArray(msg::Chat::verb) + proto::kSeparator;
    static const QByteArray action = QByteArray(msg::Action::verb) + proto::kSeparator;
    return line.startsWith(chat) || line.startsWith(action);
}

// The seat a chat line names, or nothing when its seat field is no seat (it will not be shown).
std::optional<int> speakerOf(const QByteArray &line)
{
    const qsizetype start = line.indexOf(proto::kSeparator) + 1;
    const qsizetype end = line.indexOf(proto::kSeparator, start);
    const std::optional<int> seat = proto::toNumber(line.mid(start, end < 0 ? -1 : end - start));
    if (!seat || *seat < 0 || *seat > proto::kLastSeat)
        return std::nullopt;
    return seat;
}

} // namespace

ChatBacklog::Verdict ChatBacklog::arrive(const QByteArray &line, qint64 nowMs)
{
    if (!isChatLine(line))
        return {};
    const std::optional<int> seat = speakerOf(line);
    const bool behind = !waiting_.empty() && nowMs - waiting_.front().arrivedMs > kMaxWaitMs;
    const bool many = !seat || waitingOf_[size_t(*seat)] >= kFairShare;
    if ((behind && many) || int(waiting_.size()) >= kMaxWaiting)
        return hide(seat);
    waiting_.push_back({nowMs, seat.value_or(-1)});
    if (seat)
        ++waitingOf_[size_t(*seat)];
    return {};
}

ChatBacklog::Verdict ChatBacklog::taken(const QByteArray &line, qint64 nowMs)
{
    if (waiting_.empty() || !isChatLine(line))
        return {};
    const Waiting turn = waiting_.front();
    waiting_.pop_front();
    if (turn.seat < 0)
        return {};
    const bool many = waitingOf_[size_t(turn.seat)]-- > kFairShare;
    if (nowMs - turn.arrivedMs > kMaxWaitMs && many)
        return hide(turn.seat);
    return {};
}

ChatBacklog::Verdict ChatBacklog::hide(std::optional<int> seat)
{
    if (!seat)
        return {false, std::nullopt};
    ++hidden_[size_t(*seat)];
    if (std::exchange(marked_[size_t(*seat)], true))
        return {false, std::nullopt};
    return {false, seat};
}

void ChatBacklog::clear()
{
    *this = ChatBacklog();
}

QByteArray ChatBacklog::mark(int seat)
{
    return QByteArray(1, proto::kTerminator) + QByteArray::number(seat);
}

std::optional<int> ChatBacklog::markedSeat(const QByteArray &line)
{
    if (!line.startsWith(proto::kTerminator))
        return std::nullopt;
    const std::optional<int> seat = proto::toNumber(line.mid(1));
    if (!seat || *seat < 0 || *seat >= kSeats)
        return std::nullopt;
    return seat;
}

int ChatBacklog::takeHidden(int seat)
{
    marked_[size_t(seat)] = false;
    return std::exchange(hidden_[size_t(seat)], 0);
}
