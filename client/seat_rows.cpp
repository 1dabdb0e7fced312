#include "client/seat_rows.h"

#include "client/board_controls.h"
#include "accessibility/spoken.h"
#include "client/board_scale.h"
#include "client/heard_views.h"
#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "session/client_session.h"

#include <QLabel>

namespace layout = art::layout;

namespace {

QLabel *rowLabel(QWidget *board, const QString &name, int left, int width, int top)
{
    return textLabel(board, name, QRect(left, top, width, layout::seatRowHeight), boardFont(13, true),
                     Qt::AlignLeft | Qt::AlignVCenter);
}

} // namespace

SeatRows::SeatRows(QWidget *board)
    : list_(new SeatList(board))
{
    for (int seat = 1; seat <= kSeats; ++seat) {
        const int top = layout::seatRowTops[index(seat)];
        const QString n = QString::number(seat);
        names_[index(seat)] = rowLabel(board, QStringLiteral("label_playername") + n,
                                       layout::nameLeft, layout::nameWidth, top);
        scores_[index(seat)] = rowLabel(board, QStringLiteral("label_score") + n,
                                        layout::scoreLeft, layout::wordCountLeft - layout::scoreLeft - 2, top);
        words_[index(seat)] = rowLabel(board, QStringLiteral("label_words") + n,
                                       layout::wordCountLeft, 60, top);
        auto *eyes = new QLabel(board);
        eyes->setObjectName(QStringLiteral("image_eyes") + n);
        board_scale::place(eyes, layout::eyesIcon(seat));
        board_scale::show(eyes, [](qreal dpr) { return art::eyes(dpr); });
        eyes->setAccessibleName(QStringLiteral("watching"));
        eyes->hide();
        eyes_[index(seat)] = eyes;
    }
}

void SeatRows::draw(const ClientSession &session)
{
    QStringList items;
    for (int n = 1; n <= kSeats; ++n) {
        items << spoken::seatItem(n, session.seat(n));
        const SeatRow &seat = session.seat(n);
        setElidedText(name(n), seat.shownName());
        score(n)->setText(QString::number(seat.score));
        words(n)->setText(seat.wordCount ? QString::number(*seat.wordCount) : QString());
        eyes(n)->setVisible(seat.watching);
    }
    list_->setItems(items);
}
