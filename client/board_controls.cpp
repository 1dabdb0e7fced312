#include "client/board_controls.h"

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
    label->setGeometry(place);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    setTextColour(label, colour);
    return label;
}

QLabel *pictureLabel(QWidget *parent, const QString &objectName, const QRect &place, const QPixmap &picture)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setGeometry(place);
    label->setPixmap(picture);
    label->hide();
    return label;
}

void centreOver(QWidget *window, const QWidget *mainWindow)
{
    const QRect over = mainWindow->frameGeometry();
    window->move(over.center() - QPoint(window->width() / 2, window->height() / 2));
}

Backdrop::Backdrop(std::function<QPixmap()> picture, QWidget *parent)
    : QWidget(parent)
    , picture_(std::move(picture))
{
}

void Backdrop::paintEvent(QPaintEvent *)
{
    QPainter(this).drawPixmap(0, 0, picture_());
}

void setElidedText(QLabel *label, const QString &text)
{
    const QString shown = label->fontMetrics().elidedText(text, Qt::ElideRight, label->width());
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : text);
}
