#pragma once

#include <QByteArray>

#include <array>
#include <optional>

// The chat lines a client has received and not shown yet. When lines come faster than the window
// shows them, those beyond kMaxWaiting are not kept but counted by the seat that wrote them; the
// first of a run leaves a mark in the received queue, and when the mark's turn comes the window
// shows one line in their place ("12 lines from Bob not shown"). So what others write can neither
// take the client's memory nor hold up the game's own messages.
class ChatBacklog
{
public:
    static constexpr int kMaxWaiting = 100;

    struct Arrival {
        bool queue = true;             // the line goes to the received queue, or is only counted
        std::optional<int> markedSeat; // the first hidden of a run: mark(seat) goes to the queue
    };

    // A received line; only chat lines and actions are ever hidden.
    Arrival arrive(const QByteArray &line);
    // A received line was taken from the queue to be handled.
    void taken(const QByteArray &line);
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

    int waiting_ = 0;
    std::array<int, kSeats> hidden_ {};
    std::array<bool, kSeats> marked_ {};
};
