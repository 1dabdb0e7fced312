#include "client/tspylist.h"

#include "client/board_controls.h"
#include "resources/art/art.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

Tspylist::Tspylist(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Tspylist"));
    setWindowTitle(QStringLiteral("Vrel - Spys"));
    setFixedSize(162, 168);

    listbox_spys = new QListWidget(this);
    listbox_spys->setObjectName(QStringLiteral("listbox_spys"));
    listbox_spys->setGeometry(5, 5, 154, 130);
    listbox_spys->setMouseTracking(true);
    listbox_spys->viewport()->installEventFilter(this);
    listbox_spys->setContextMenuPolicy(Qt::CustomContextMenu);
    setFieldColours(listbox_spys);

    textLabel(this, QStringLiteral("label_spylist"), QRect(8, 140, 76, 20), boardFont(12, true),
              Qt::AlignLeft | Qt::AlignVCenter)
        ->setText(QStringLiteral("Spy List"));

    auto *done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry(88, 140, 71, 20);
    connect(done, &QPushButton::clicked, this, &Tspylist::button_doneClick);

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("popup_spys"));
    popup_kickhim = popup_->addAction(QStringLiteral("Remove From Game"));
    popup_kickhim->setObjectName(QStringLiteral("popup_kickhim"));
    popup_kickhim->setEnabled(false);
    connect(popup_kickhim, &QAction::triggered, this, &Tspylist::popup_kickhimClick);
    connect(listbox_spys, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { popup_->popup(listbox_spys->viewport()->mapToGlobal(at)); });
}

void Tspylist::paintEvent(QPaintEvent *)
{
    QPainter(this).drawPixmap(0, 0, art::dialogBackground(size()));
}

void Tspylist::draw(const QList<Spectator> &spectators)
{
    shown_ = spectators;
    listbox_spys->clear();
    for (const Spectator &spectator : spectators)
        listbox_spys->addItem(QStringLiteral("%1: %2").arg(spectator.seat).arg(spectator.name));
}

bool Tspylist::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == listbox_spys->viewport() && event->type() == QEvent::MouseMove)
        listbox_spysMouseMove(static_cast<QMouseEvent *>(event)->position().toPoint());
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
