#include "client/winner_banner.h"

#include "client/board_controls.h"
#include "client/board_scale.h"
#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "resources/art/palette.h"
#include "session/session_state.h"

#include <QLabel>

namespace {

constexpr int kLabelWidth = 605;
constexpr int kLabelHeight = 26;

QLabel *winnerLabel(QWidget *parent, const QString &objectName, QPoint at, const QColor &colour)
{
    // The winner's name comes from a player: the label shows it as plain text.
    QLabel *label = textLabel(parent, objectName, QRect(at, QSize(kLabelWidth, kLabelHeight)), boardFont(21, true),
                              Qt::AlignHCenter | Qt::AlignTop, colour);
    label->setText(QStringLiteral("Winner!"));
    return label;
}

} // namespace

WinnerBanner::WinnerBanner(QWidget *board)
    : QObject(board)
{
    panel_winner = new Backdrop([](qreal dpr) { return art::winnerBanner(dpr); }, board);
    panel_winner->setObjectName(QStringLiteral("panel_winner"));
    board_scale::place(panel_winner, art::layout::winnerBanner);
    // The shadow is created first so that it lies behind.
    label_winner2 = winnerLabel(panel_winner, QStringLiteral("label_winner2"), {1, 7}, Qt::gray);
    label_winner1 = winnerLabel(panel_winner, QStringLiteral("label_winner1"), {0, 9}, art::palette::peach);
    panel_winner->hide();
}

void WinnerBanner::draw(const WinnerState &winner)
{
    label_winner1->setText(winner.text);
    label_winner2->setText(winner.text);
    if (winner.shown && panel_winner->isHidden()) {
        panel_winner->raise();
        panel_winner->show();
    } else if (!winner.shown) {
        panel_winner->hide();
    }
}

QString WinnerBanner::text() const
{
    return label_winner1->text();
}
