#pragma once

#include <QByteArray>

#include <array>
#include <deque>
#include <optional>

// The chat lines a client has received and not shown yet. When lines come faster than the window
// shows them, the lines of those who write the most are not shown: a line that has waited longer
// than kMaxWaitMs when its turn comes is not shown if its seat has more than kFairShare lines
// waiting, and while the oldest line waiting has waited that long, such lines that come are not
// even kept. Either way they are counted by the seat that wrote them. The first of a run leaves a
// mark at the end of the received queue, and when the mark's turn comes the window shows one line
// in their place ("12 lines from Bob not shown"). So what some write can neither take the
// client's memory nor hold up the game's own messages, nor hide what the others write.
class ChatBacklog
{
public:
    static constexpr qint64 kMaxWaitMs = 500;
    static constexpr int kFairShare = 3;
    // However fast the window: no more are kept waiting than this.
    static constexpr int kMaxWaiting = 2000;

    struct Verdict {
        bool keep = true;              // the line goes to the queue, or to the window; or it is only counted
        std::optional<int> markedSeat; // the first hidden of a run: mark(seat) goes to the end of the queue
    };

    // A line received at nowMs (a monotonic clock): queued, or only counted. Only chat lines and
    // actions are ever hidden.
    Verdict arrive(const QByteArray &line, qint64 nowMs);
    // A queued line's turn has come at nowMs: shown, or only counted.
    Verdict taken(const QByteArray &line, qint64 nowMs);
    // Everything received is forgotten (the connection ended or was left).
    void clear();

    // The mark of a run of hidden lines of the seat, as it waits in the received queue: a line
    // that begins with the terminator byte, which no line from the host can.
    static QByteArray mark(int seat);
    // The seat of a mark; nothing for a line from the host.
    static std::optional<int> markedSeat(const QByteArray &line);
    // The lines of the seat hidden since its mark was queued; the next one hidden queues a new mark.
    int takeHidden(int seat);

private:
    static constexpr int kSeats = 10; // 0, the host's own notices, and seats 1 to 9

    Verdict hide(std::optional<int> seat);

    struct Waiting {
        qint64 arrivedMs;
        int seat; // -1: a line that names no seat (it is not shown)
    };
    std::deque<Waiting> waiting_; // the chat lines waiting in the queue, oldest first
    std::array<int, kSeats> waitingOf_ {};
    std::array<int, kSeats> hidden_ {};
    std::array<bool, kSeats> marked_ {};
};
