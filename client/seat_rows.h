#pragma once

#include <QString>

#include <array>

class QLabel;
class QWidget;

// The six seat rows of the board: name, total score, word count and the watching icon. A row
// whose name reads "<Waiting>" is an empty seat, everywhere in the client.
class SeatRows
{
public:
    static constexpr int kSeats = 6;
    static const QString kWaiting;

    explicit SeatRows(QWidget *board);

    QLabel *name(int seat) const { return names_[index(seat)]; }
    QLabel *score(int seat) const { return scores_[index(seat)]; }
    QLabel *words(int seat) const { return words_[index(seat)]; }
    QLabel *eyes(int seat) const { return eyes_[index(seat)]; }

    QString nameOf(int seat) const;
    bool isEmpty(int seat) const { return nameOf(seat) == kWaiting; }
    void setName(int seat, const QString &name);
    // The name the disconnect rule keeps quiet about (never shown).
    static QString reservedName(int seat);

private:
    static size_t index(int seat) { return size_t(seat - 1); }

    std::array<QLabel *, kSeats> names_ {};
    std::array<QLabel *, kSeats> scores_ {};
    std::array<QLabel *, kSeats> words_ {};
    std::array<QLabel *, kSeats> eyes_ {};
};
