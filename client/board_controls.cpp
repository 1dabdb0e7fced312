#include "client/board_controls.h"

#include "client/board_scale.h"

#include <QLabel>
#include <QPainter>

QFont boardFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette look = widget->palette();
    look.setColor(widget->foregroundRole(), colour);
    widget->setPalette(look);
}

void setFieldColours(QWidget *field)
{
    QPalette look = field->palette();
    look.setColor(QPalette::Base, Qt::white);
    look.setColor(QPalette::Text, Qt::black);
    field->setPalette(look);
}

QLabel *textLabel(QWidget *parent, const QString &objectName, const QRect &place, const QFont &font,
                  Qt::Alignment alignment, const QColor &colour)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    board_scale::place(label, place);
    board_scale::letter(label, font);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    setTextColour(label, colour);
    return label;
}

QLabel *pictureLabel(QWidget *parent, const QString &objectName, const QRect &place, const board_scale::Picture &picture)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    board_scale::place(label, place);
    board_scale::show(label, picture);
    label->hide();
    return label;
}

void centreOver(QWidget *window, const QWidget *mainWindow)
{
    const QRect over = mainWindow->frameGeometry();
    window->move(over.center() - QPoint(window->width() / 2, window->height() / 2));
}

Backdrop::Backdrop(board_scale::Picture picture, QWidget *parent)
    : QWidget(parent)
    , picture_(std::move(picture))
{
}

void Backdrop::paintEvent(QPaintEvent *)
{
    // Drawn by the art at the screen's ratio times the scale, and laid pixel for pixel over the
    // scaled widget (no copy of a picture that can be tens of megabytes).
    const qreal scale = board_scale::of(this);
    const qreal dpr = devicePixelRatioF();
    if (shown_.isNull() || shownScale_ != scale || shownRatio_ != dpr) {
        shown_ = picture_(dpr * scale);
        shownScale_ = scale;
        shownRatio_ = dpr;
    }
    QPainter painter(this);
    if (scale == 1)
        painter.drawPixmap(0, 0, shown_);
    else
        painter.drawPixmap(QRectF(QPointF(0, 0), QSizeF(shown_.size()) / dpr), shown_, QRectF(shown_.rect()));
}

void setElidedText(QLabel *label, const QString &text)
{
    const QString shown = label->fontMetrics().elidedText(text, Qt::ElideRight, label->width());
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : text);
}
