#include "engine/seat_reservations.h"

#include <QRandomGenerator>

namespace {

// Compares every byte whatever the first difference, so that the time taken tells nothing about
// how much of a guessed key was right.
bool sameKey(const QByteArray &a, const QByteArray &b)
{
    if (a.isEmpty() || a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return difference == 0;
}

} // namespace

QByteArray SeatReservations::newKey(int seat)
{
    if (!valid(seat))
        return {};
    quint32 words[kKeyBytes / 4];
    QRandomGenerator::system()->fillRange(words);
    QByteArray key = QByteArray(reinterpret_cast<const char *>(words), kKeyBytes).toHex();
    seats_[size_t(seat)] = {key, {}, 0, false};
    return key;
}

void SeatReservations::forget(int seat)
{
    if (valid(seat))
        seats_[size_t(seat)] = {};
}

void SeatReservations::keep(int seat, const QByteArray &name)
{
    if (!valid(seat) || seats_[size_t(seat)].key.isEmpty())
        return;
    Seat &kept = seats_[size_t(seat)];
    kept.name = name;
    kept.secondsLeft = kKeptSeconds;
    kept.kept = true;
}

bool SeatReservations::kept(int seat) const
{
    return valid(seat) && seats_[size_t(seat)].kept;
}

bool SeatReservations::opens(int seat, const QByteArray &key) const
{
    return valid(seat) && sameKey(seats_[size_t(seat)].key, key);
}

void SeatReservations::retaken(int seat)
{
    if (!valid(seat))
        return;
    seats_[size_t(seat)].kept = false;
    seats_[size_t(seat)].name.clear();
}

QList<int> SeatReservations::secondPassed()
{
    QList<int> freed;
    for (int n = 1; n <= kSeats; ++n) {
        if (seats_[size_t(n)].kept && --seats_[size_t(n)].secondsLeft <= 0) {
            forget(n);
            freed << n;
        }
    }
    return freed;
}

QList<int> SeatReservations::gameEnded()
{
    QList<int> freed;
    for (int n = 1; n <= kSeats; ++n) {
        if (seats_[size_t(n)].kept) {
            forget(n);
            freed << n;
        }
    }
    return freed;
}

QList<QByteArray> SeatReservations::keptNames(int except) const
{
    QList<QByteArray> names;
    for (int n = 1; n <= kSeats; ++n) {
        if (n != except && seats_[size_t(n)].kept)
            names << seats_[size_t(n)].name;
    }
    return names;
}

bool SeatReservations::anyKey() const
{
    for (const Seat &seat : seats_) {
        if (!seat.key.isEmpty())
            return true;
    }
    return false;
}
