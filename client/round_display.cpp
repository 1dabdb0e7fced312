#include "client/round_display.h"

#include "client/board_controls.h"
#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "resources/art/palette.h"

#include <QLabel>

#include <algorithm>
#include <limits>

namespace layout = art::layout;

namespace {

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette look = label->palette();
    look.setColor(QPalette::WindowText, colour);
    label->setPalette(look);
}

// Ticks sound at 20 and 15 seconds left and at every second from 10 down to 1.
bool ticksAudibly(int remaining)
{
    return remaining == 20 || remaining == 15 || remaining <= 10;
}

} // namespace

RoundDisplay::RoundDisplay(QWidget *board)
    : QObject(board)
{
    label_roundnum = new QLabel(board);
    label_roundnum->setObjectName(QStringLiteral("label_roundnum"));
    label_roundnum->setGeometry(layout::roundCaption);
    label_roundnum->setFont(boardFont(19));
    label_roundnum->setTextFormat(Qt::PlainText);
    setTextColour(label_roundnum, Qt::black);
    label_roundnum->setText(QStringLiteral("Round: 0 of 0"));

    image_timer = new QLabel(board);
    image_timer->setObjectName(QStringLiteral("image_timer"));
    image_timer->setGeometry(layout::timerBar);
    image_timer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image_timer->setPixmap(art::timerBar());

    label_timer = new QLabel(board);
    label_timer->setObjectName(QStringLiteral("label_timer"));
    label_timer->setGeometry(layout::timerText);
    label_timer->setFont(boardFont(16, true));
    label_timer->setAlignment(Qt::AlignCenter);
    label_timer->setTextFormat(Qt::PlainText);
    setTextColour(label_timer, art::palette::peach);
    label_timer->setText(QStringLiteral("Time: 0:00"));

}

void RoundDisplay::setGame(const QString &roundsPerGame, int turnSeconds)
{
    roundsPerGame_ = roundsPerGame;
    turnSeconds_ = turnSeconds;
    barUnit_ = turnSeconds > 0 ? kBarWidth / turnSeconds : 0;
}

void RoundDisplay::setRoundCaption(int round)
{
    label_roundnum->setText(QStringLiteral("Round: %1 of %2").arg(round).arg(roundsPerGame_));
}

QString RoundDisplay::roundCaption() const
{
    return label_roundnum->text();
}

void RoundDisplay::restart(int seconds)
{
    stop();
    remaining_ = seconds;
    turntime.start();
}

void RoundDisplay::stop()
{
    turntime.stop();
}

void RoundDisplay::setManualClock(bool manual)
{
    turntime.setManualClock(manual);
}

void RoundDisplay::tick()
{
    if (!turntime.running())
        return;
    if (remaining_ > std::numeric_limits<int>::min())
        --remaining_;
    if (remaining_ <= 0) {
        remaining_ = 0;
        label_timer->setText(timeText(0));
        image_timer->resize(0, layout::timerBar.height());
        return;
    }
    // A clock restored for a late joiner may hold more seconds than a turn has.
    const qint64 width = qint64(barUnit_) * remaining_;
    image_timer->resize(int(std::min<qint64>(width, kBarWidth)), layout::timerBar.height());
    setTextColour(label_timer, remaining_ < kRedBelow ? QColor(Qt::red) : art::palette::paleYellow);
    if (ticksAudibly(remaining_))
        emit soundRequested(QStringLiteral("tick"));
    label_timer->setText(timeText(remaining_));
}

QString RoundDisplay::timeText(int seconds)
{
    return QStringLiteral("Time: %1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
