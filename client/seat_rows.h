#pragma once

#include "protocol/constants.h"

#include <array>
#include <cstddef>

class ClientSession;
class QLabel;
class SeatList;
class QWidget;

// The six seat rows of the board: name, total score, word count and the watching icon, drawn
// from the session's seats. The local player's own row is marked with a light band behind it.
class SeatRows
{
public:
    static constexpr int kSeats = proto::kPlayerSeats;

    explicit SeatRows(QWidget *board);

    void draw(const ClientSession &session);

    QLabel *name(int seat) const { return names_[index(seat)]; }
    QLabel *score(int seat) const { return scores_[index(seat)]; }
    QLabel *words(int seat) const { return words_[index(seat)]; }
    QLabel *eyes(int seat) const { return eyes_[index(seat)]; }
    // The band behind the local player's row; hidden for an onlooker and before the login.
    QWidget *ownRowMark() const { return ownRow_; }
    // The rows as a screen reader lists them.
    SeatList *list() const { return list_; }

private:
    static size_t index(int seat) { return size_t(seat - 1); }

    SeatList *list_ = nullptr;
    std::array<QLabel *, kSeats> names_ {};
    std::array<QLabel *, kSeats> scores_ {};
    std::array<QLabel *, kSeats> words_ {};
    std::array<QLabel *, kSeats> eyes_ {};
    QWidget *ownRow_ = nullptr;
};
