#include "client/winner_banner.h"

#include "client/board_font.h"
#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "resources/art/palette.h"

#include <QLabel>
#include <QPainter>

namespace {

constexpr int kLabelWidth = 605;
constexpr int kLabelHeight = 26;

class Band : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).drawPixmap(0, 0, art::winnerBanner()); }
};

QLabel *winnerLabel(QWidget *parent, const QString &objectName, QPoint at, const QColor &colour)
{
    auto *label = new QLabel(QStringLiteral("Winner!"), parent);
    label->setObjectName(objectName);
    label->setGeometry(QRect(at, QSize(kLabelWidth, kLabelHeight)));
    label->setFont(boardFont(21, true));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText); // the winner's name comes from a player
    QPalette look = label->palette();
    look.setColor(QPalette::WindowText, colour);
    label->setPalette(look);
    return label;
}

} // namespace

WinnerBanner::WinnerBanner(QWidget *board)
    : QObject(board)
{
    panel_winner = new Band(board);
    panel_winner->setObjectName(QStringLiteral("panel_winner"));
    panel_winner->setGeometry(art::layout::winnerBanner);
    // The shadow is created first so that it lies behind.
    label_winner2 = winnerLabel(panel_winner, QStringLiteral("label_winner2"), {1, 7}, Qt::gray);
    label_winner1 = winnerLabel(panel_winner, QStringLiteral("label_winner1"), {0, 9}, art::palette::peach);
    panel_winner->hide();
}

void WinnerBanner::setText(const QString &text)
{
    label_winner1->setText(text);
    label_winner2->setText(text);
}

QString WinnerBanner::text() const
{
    return label_winner1->text();
}

void WinnerBanner::showInFront()
{
    panel_winner->raise();
    panel_winner->show();
}

void WinnerBanner::hide()
{
    panel_winner->hide();
}
