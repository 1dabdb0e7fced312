#include "client/seat_rows.h"

#include "client/board_controls.h"
#include "resources/art/art.h"
#include "resources/art/board_layout.h"

#include <QLabel>

namespace layout = art::layout;

const QString SeatRows::kWaiting = QStringLiteral("<Waiting>");

namespace {

QLabel *rowLabel(QWidget *board, const QString &name, const QString &text, int left, int width, int top)
{
    QLabel *label = textLabel(board, name, QRect(left, top, width, layout::seatRowHeight), boardFont(13, true),
                              Qt::AlignLeft | Qt::AlignVCenter);
    label->setText(text);
    return label;
}

} // namespace

SeatRows::SeatRows(QWidget *board)
{
    for (int seat = 1; seat <= kSeats; ++seat) {
        const int top = layout::seatRowTops[index(seat)];
        const QString n = QString::number(seat);
        names_[index(seat)] = rowLabel(board, QStringLiteral("label_playername") + n, kWaiting,
                                       layout::nameLeft, layout::nameWidth, top);
        scores_[index(seat)] = rowLabel(board, QStringLiteral("label_score") + n, QStringLiteral("0"),
                                        layout::scoreLeft, layout::wordCountLeft - layout::scoreLeft - 2, top);
        words_[index(seat)] = rowLabel(board, QStringLiteral("label_words") + n, QStringLiteral("0"),
                                       layout::wordCountLeft, 60, top);
        auto *eyes = new QLabel(board);
        eyes->setObjectName(QStringLiteral("image_eyes") + n);
        eyes->setPixmap(art::eyes());
        eyes->setGeometry(layout::eyesIcon(seat));
        eyes->hide();
        eyes_[index(seat)] = eyes;
    }
}

QString SeatRows::nameOf(int seat) const
{
    return seat >= 1 && seat <= kSeats ? names_[index(seat)]->text() : QString();
}

void SeatRows::setName(int seat, const QString &name)
{
    if (seat >= 1 && seat <= kSeats)
        names_[index(seat)]->setText(name);
}

QString SeatRows::reservedName(int seat)
{
    // Seat 3's is "Klick", not the host's default name "Klock".
    static const char *const names[] = {"", "Klot", "Klick", "Kling", "Klick", "Krazy"};
    return seat >= 1 && seat <= kSeats ? QString::fromLatin1(names[seat - 1]) : QString();
}
