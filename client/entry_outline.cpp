#include "client/entry_outline.h"

#include "client/board_scale.h"
#include "resources/art/palette.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>

namespace {
constexpr int kGap = 3;
constexpr int kPen = 3;
}

EntryOutline::EntryOutline(const QRect &entryRow, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("entry_outline"));
    board_scale::place(this, entryRow.adjusted(-kGap - kPen, -kGap - kPen, kGap + kPen, kGap + kPen));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus); // given the focus by the window, never by Tab or a click
    hide();
}

void EntryOutline::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal scale = board_scale::of(this);
    QPen pen(art::palette::darkRed, kPen * scale);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const qreal half = kPen * scale / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), 5 * scale, 5 * scale);
}

void EntryOutline::keyPressEvent(QKeyEvent *event)
{
    if (keysElsewhere_)
        QCoreApplication::sendEvent(keysElsewhere_, event);
    else
        QWidget::keyPressEvent(event);
}

void EntryOutline::keyReleaseEvent(QKeyEvent *event)
{
    if (keysElsewhere_)
        QCoreApplication::sendEvent(keysElsewhere_, event);
    else
        QWidget::keyReleaseEvent(event);
}
