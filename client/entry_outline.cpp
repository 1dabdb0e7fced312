#include "client/entry_outline.h"

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
    setGeometry(entryRow.adjusted(-kGap - kPen, -kGap - kPen, kGap + kPen, kGap + kPen));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus); // given the focus by the window, never by Tab or a click
    hide();
}

void EntryOutline::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(art::palette::darkRed, kPen);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const qreal half = kPen / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), 5, 5);
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
