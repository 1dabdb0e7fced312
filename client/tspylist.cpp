#include "client/tspylist.h"

#include "client/board_controls.h"
#include "resources/art/art.h"
#include "resources/art/palette.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {
constexpr int kWidth = 200;
}

Tspylist::Tspylist(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Tspylist"));
    setWindowTitle(QStringLiteral("Vrel - Spys"));
    // Wide enough for its whole title.
    setFixedSize(kWidth, 168);
    setPalette(art::windowPalette());

    listbox_spys = new QListWidget(this);
    listbox_spys->setObjectName(QStringLiteral("listbox_spys"));
    listbox_spys->setGeometry(5, 5, kWidth - 8, 130);
    listbox_spys->setTextElideMode(Qt::ElideRight);
    listbox_spys->setMouseTracking(true);
    listbox_spys->viewport()->installEventFilter(this);
    listbox_spys->installEventFilter(this);
    listbox_spys->setContextMenuPolicy(Qt::CustomContextMenu);
    setFieldColours(listbox_spys);

    QLabel *caption = textLabel(this, QStringLiteral("label_spylist"), QRect(8, 140, 76, 20), boardFont(12, true),
                                Qt::AlignLeft | Qt::AlignVCenter);
    caption->setText(QStringLiteral("Spy List"));
    caption->setBuddy(listbox_spys);
    listbox_spys->setAccessibleName(caption->text());

    auto *done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry(kWidth - 74, 140, 71, 20);
    connect(done, &QPushButton::clicked, this, &Tspylist::button_doneClick);

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("popup_spys"));
    popup_kickhim = popup_->addAction(QStringLiteral("&Remove From Game"));
    popup_kickhim->setObjectName(QStringLiteral("popup_kickhim"));
    popup_kickhim->setEnabled(false);
    connect(popup_kickhim, &QAction::triggered, this, &Tspylist::popup_kickhimClick);
    connect(listbox_spys, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { popup_->popup(listbox_spys->viewport()->mapToGlobal(at)); });
}

QPoint besidePlace(const QRect &main, const QSize &size, const QRect &desk)
{
    QPoint at(main.right() + 1, main.top());
    if (at.x() + size.width() > desk.right() + 1)
        at.setX(main.left() - size.width());
    if (at.x() < desk.left())
        at.setX(std::max(desk.left(), desk.right() + 1 - size.width()));
    at.setY(std::clamp(at.y(), desk.top(), std::max(desk.top(), desk.bottom() + 1 - size.height())));
    return at;
}

void moveBeside(QWidget *window, const QWidget *mainWindow)
{
    const QRect main = mainWindow->frameGeometry();
    const QScreen *screen = mainWindow->screen();
    window->move(besidePlace(main, window->frameGeometry().size(), screen ? screen->availableGeometry() : main));
}

void Tspylist::paintEvent(QPaintEvent *)
{
    QPainter(this).drawPixmap(0, 0, art::dialogBackground(size()));
}

void Tspylist::draw(const QList<Spectator> &spectators)
{
    shown_ = spectators;
    listbox_spys->clear();
    for (const Spectator &spectator : spectators) {
        const QString text = QStringLiteral("%1: %2").arg(spectator.seat).arg(spectator.name);
        listbox_spys->addItem(text);
        listbox_spys->item(listbox_spys->count() - 1)->setToolTip(text); // a long name is cut short
    }
}

void Tspylist::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (auto *mainWindow = parentWidget())
        moveBeside(this, mainWindow);
}

bool Tspylist::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == listbox_spys->viewport() && event->type() == QEvent::MouseMove)
        listbox_spysMouseMove(static_cast<QMouseEvent *>(event)->position().toPoint());
    // The menu key opens the pop-up menu on the entry the keyboard is on, as the pointer would.
    if (watched == listbox_spys && event->type() == QEvent::ContextMenu
        && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard)
        hoveredIndex_ = listbox_spys->currentRow();
    return QDialog::eventFilter(watched, event);
}

void Tspylist::listbox_spysMouseMove(const QPoint &position)
{
    const QListWidgetItem *item = listbox_spys->itemAt(position);
    hoveredIndex_ = item ? listbox_spys->row(item) : -1;
}

void Tspylist::popup_kickhimClick()
{
    if (hoveredIndex_ < 0 || hoveredIndex_ >= shown_.size())
        return;
    if (onRemove)
        onRemove(shown_.at(hoveredIndex_).seat);
}
