#include "client/board_scale.h"

#include <QLabel>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace board_scale {

namespace {

const char *const kScaleProperty = "vrelBoardScale";
const QString kPlacementName = QStringLiteral("vrel_board_placement");

// What a control was given at the starting size, kept with it (as its child) for every later
// scale.
class Placement : public QObject
{
public:
    explicit Placement(QWidget *control)
        : QObject(control)
        , geometry(control->geometry())
    {
        setObjectName(kPlacementName);
    }

    void apply(QWidget *control, qreal scale) const
    {
        if (font) {
            QFont shown = *font;
            if (font->pixelSize() > 0)
                shown.setPixelSize(qMax(1, qRound(font->pixelSize() * scale)));
            else
                shown.setPointSizeF(font->pointSizeF() * scale);
            control->setFont(shown);
        }
        QRect shown = scaled(geometry, scale);
        if (fitted)
            shown.setSize(shown.size().expandedTo(control->sizeHint()));
        control->setGeometry(shown);
        if (pictured) {
            auto *label = static_cast<QLabel *>(control);
            const QPixmap drawn = picture ? board_scale::picture(label, picture) : QPixmap();
            if (drawn.isNull())
                label->clear();
            else
                label->setPixmap(drawn);
        }
    }

    QRect geometry;
    bool fitted = false;
    std::optional<QFont> font;
    bool pictured = false;
    Picture picture;
};

Placement *placementOf(QWidget *control)
{
    if (auto *kept = dynamic_cast<Placement *>(control->findChild<QObject *>(kPlacementName, Qt::FindDirectChildrenOnly)))
        return kept;
    return new Placement(control);
}

int scaledEdge(int at1x, qreal scale)
{
    return int(std::lround(at1x * scale));
}

} // namespace

QRect scaled(const QRect &at1x, qreal scale)
{
    const int left = scaledEdge(at1x.left(), scale);
    const int top = scaledEdge(at1x.top(), scale);
    return QRect(left, top, scaledEdge(at1x.left() + at1x.width(), scale) - left,
                 scaledEdge(at1x.top() + at1x.height(), scale) - top);
}

int scaled(int at1x, qreal scale)
{
    return scaledEdge(at1x, scale);
}

qreal of(const QWidget *control)
{
    for (const QWidget *w = control; w; w = w->parentWidget()) {
        const QVariant scale = w->property(kScaleProperty);
        if (scale.isValid())
            return scale.toReal();
    }
    return 1;
}

namespace {

// Changes what a control keeps for the starting size and shows it at the board's scale.
void keep(QWidget *control, const std::function<void(Placement &)> &change)
{
    Placement *placement = placementOf(control);
    change(*placement);
    placement->apply(control, of(control));
}

} // namespace

void place(QWidget *control, const QRect &at1x)
{
    keep(control, [&](Placement &kept) { kept.geometry = at1x; });
}

void resize(QWidget *control, const QSize &at1x)
{
    keep(control, [&](Placement &kept) { kept.geometry.setSize(at1x); });
}

void move(QWidget *control, const QPoint &at1x)
{
    keep(control, [&](Placement &kept) { kept.geometry.moveTopLeft(at1x); });
}

void placeFitted(QLabel *label, const QPoint &at1x)
{
    keep(label, [&](Placement &kept) {
        kept.fitted = true;
        kept.geometry = QRect(at1x, label->sizeHint());
    });
}

void letter(QWidget *control, const QFont &at1x)
{
    keep(control, [&](Placement &kept) { kept.font = at1x; });
}

void show(QLabel *label, const Picture &picture)
{
    keep(label, [&](Placement &kept) {
        kept.pictured = true;
        kept.picture = picture;
    });
}

QPixmap picture(const QWidget *control, const Picture &picture)
{
    const qreal scale = of(control);
    const qreal dpr = control->devicePixelRatioF();
    if (scale == 1)
        return picture(dpr);
    QPixmap drawn = picture(dpr * scale);
    drawn.setDevicePixelRatio(dpr);
    return drawn;
}

void apply(QWidget *board, qreal scale)
{
    board->setProperty(kScaleProperty, scale);
    for (QObject *found : board->findChildren<QObject *>(kPlacementName)) {
        if (auto *placement = dynamic_cast<Placement *>(found))
            placement->apply(static_cast<QWidget *>(placement->parent()), scale);
    }
}

} // namespace board_scale
