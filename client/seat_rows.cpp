#include "client/seat_rows.h"

#include "client/board_controls.h"
#include "accessibility/spoken.h"
#include "client/board_scale.h"
#include "client/heard_views.h"
#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "resources/art/palette.h"
#include "session/client_session.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace layout = art::layout;

namespace {

// A light band with a thin frame, drawn at whatever size the board's scale gives it.
class RowBand : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal line = std::max<qreal>(1, board_scale::of(this));
        painter.setPen(QPen(art::palette::frame, line));
        painter.setBrush(art::palette::peachLight);
        painter.drawRoundedRect(QRectF(rect()).adjusted(line / 2, line / 2, -line / 2, -line / 2), 3 * line, 3 * line);
    }
};

// From the eyes to the end of the word count.
QRect ownRowPlace(int seat)
{
    return {layout::eyesLeft - 3, layout::seatRowTops[size_t(seat - 1)], layout::wordCountLeft + 60 - layout::eyesLeft + 3,
            layout::seatRowHeight};
}

QLabel *rowLabel(QWidget *board, const QString &name, int left, int width, int top)
{
    return textLabel(board, name, QRect(left, top, width, layout::seatRowHeight), boardFont(13, true),
                     Qt::AlignLeft | Qt::AlignVCenter);
}

} // namespace

SeatRows::SeatRows(QWidget *board)
    : list_(new SeatList(board))
{
    // Made first, so that the row's texts lie on it.
    ownRow_ = new RowBand(board);
    ownRow_->setObjectName(QStringLiteral("image_ownrow"));
    ownRow_->hide();
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
    const int own = session.localSeat();
    const bool marked = session.isPlayer() && session.seat(own).occupied;
    if (marked)
        board_scale::place(ownRow_, ownRowPlace(own));
    ownRow_->setVisible(marked);
    list_->setItems(items);
}
