#include "resources/art/art.h"
#include "resources/art/canvas.h"
#include "resources/art/palette.h"

#include <QPainter>

namespace art {

namespace {

struct PlateLook {
    QColor top, bottom;
    qreal sink; // lettering moves down while pressed
};

PlateLook look(PlateState state)
{
    switch (state) {
    case PlateState::Hover:
        return {canvas::mix(palette::darkRedLight, palette::orangeDeep, 0.25), palette::darkRedLight, 0};
    case PlateState::Pressed:
        return {palette::darkRedDeep, palette::darkRed, 1};
    case PlateState::Normal:
        break;
    }
    return {palette::darkRedLight, palette::darkRed, 0};
}

QString stateKey(PlateState state)
{
    return QString::number(static_cast<int>(state));
}

// A dark-red plate with one line of large peach lettering, or a large line over a small one.
void drawPlate(QPainter &p, QSizeF size, PlateState state, const QString &title, const QString &keyLine)
{
    const PlateLook colours = look(state);
    const QRectF r(QPointF(0, 0), size);
    canvas::plate(p, r.adjusted(0.5, 0.5, -0.5, -0.5), 7, colours.top, colours.bottom,
                  palette::darkRedDeep, 1.4);
    const QColor shadow = canvas::withAlpha(palette::darkRedDeep, 220);
    const auto lettering = [&](const QRectF &box, const QString &text, const QFont &font, const QColor &colour) {
        canvas::centredText(p, box.translated(0, colours.sink + 1.2), text, font, shadow);
        canvas::centredText(p, box.translated(0, colours.sink), text, font, colour);
    };
    if (keyLine.isEmpty()) {
        lettering(r, title, canvas::arial(22), palette::peach);
        return;
    }
    lettering(QRectF(0, 4, size.width(), 22), title, canvas::arial(19), palette::peach);
    lettering(QRectF(0, 27, size.width(), 11), keyLine, canvas::arial(10.5), palette::peachDeep);
}

QPixmap plate(const QString &name, QSize size, PlateState state, qreal dpr, const QString &title,
              const QString &keyLine)
{
    return canvas::cached(name + stateKey(state), size, dpr, [=](QPainter &p) {
        drawPlate(p, size, state, title, keyLine);
    });
}

} // namespace

QPixmap startPlate(PlateState state, qreal dpr)
{
    return plate(QStringLiteral("start"), {197, 43}, state, dpr, QStringLiteral("START GAME"), {});
}

QPixmap passPlate(PlateState state, qreal dpr)
{
    return plate(QStringLiteral("pass"), {172, 43}, state, dpr, QStringLiteral("PASS WORD"),
                 QStringLiteral("'1' KEY"));
}

QPixmap clearPlate(PlateState state, qreal dpr)
{
    return plate(QStringLiteral("clear"), {172, 43}, state, dpr, QStringLiteral("CLEAR WORD"),
                 QStringLiteral("'0' KEY"));
}

} // namespace art
