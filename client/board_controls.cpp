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

QLabel *textLabel(QWidget *parent, const QString &objectName, const QRect &place, const QFont &font,
                  Qt::Alignment alignment, const QColor &colour)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setGeometry(place);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    if (colour.isValid()) {
        QPalette look = label->palette();
        look.setColor(QPalette::WindowText, colour);
        label->setPalette(look);
    }
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
