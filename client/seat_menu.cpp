#include "client/seat_menu.h"

#include "client/message_box.h"
#include "client/heard_views.h"
#include "client/seat_rows.h"
#include "net/error_sink.h"
#include "session/client_session.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

SeatMenu::SeatMenu(ClientSession &session, SeatRows &rows, QWidget *window)
    : QObject(window)
    , session_(session)
    , window_(window)
{
    popup_kick = new QMenu(window);
    popup_kick->setObjectName(QStringLiteral("popup_kick"));
    RemoveFromGame1 = popup_kick->addAction(QStringLiteral("&Remove From Game"));
    RemoveFromGame1->setObjectName(QStringLiteral("RemoveFromGame1"));
    SettoJustWatch1 = popup_kick->addAction(QStringLiteral("Set to &Just Watch"));
    SettoJustWatch1->setObjectName(QStringLiteral("SettoJustWatch1"));
    UnsetJustWatch1 = popup_kick->addAction(QStringLiteral("&Unset Just Watch"));
    UnsetJustWatch1->setObjectName(QStringLiteral("UnsetJustWatch1"));
    connect(RemoveFromGame1, &QAction::triggered, this, [this] { vrel::guarded([this] { RemoveFromGame1Click(); }); });
    connect(SettoJustWatch1, &QAction::triggered, this, [this] { vrel::guarded([this] { SettoJustWatch1Click(); }); });
    connect(UnsetJustWatch1, &QAction::triggered, this, [this] { vrel::guarded([this] { UnsetJustWatch1Click(); }); });

    for (int seat = 1; seat <= SeatRows::kSeats; ++seat) {
        QLabel *label = rows.name(seat);
        label->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(label, &QWidget::customContextMenuRequested, this, [this, label, seat](const QPoint &at) {
            label_playername1ContextPopup(seat);
            popup_kick->popup(label->mapToGlobal(at));
        });
    }
    // From the keyboard, on the row the seat list is on.
    connect(rows.list(), &SeatList::menuAsked, this, [this](int seat, const QPoint &at) {
        label_playername1ContextPopup(seat);
        popup_kick->popup(at);
    });
}

void SeatMenu::label_playername1ContextPopup(int seat)
{
    // The starter may not remove itself: that would end its own game without a question.
    const bool starter = session_.isStarter();
    SettoJustWatch1->setEnabled(starter);
    UnsetJustWatch1->setEnabled(starter);
    // A player who calls himself "<Waiting>" is there all the same.
    RemoveFromGame1->setEnabled(starter && session_.seat(seat).occupied && seat != session_.localSeat());
    target_ = seat;
}

void SeatMenu::SettoJustWatch1Click()
{
    session_.setJustWatch(target_, proto::StartWatching);
}

void SeatMenu::UnsetJustWatch1Click()
{
    session_.setJustWatch(target_, proto::PlayAgain);
}

void SeatMenu::RemoveFromGame1Click()
{
    removeAfterAsking(session_, window_, target_);
}

void removeAfterAsking(ClientSession &session, QWidget *window, int seat)
{
    const QString question = session.removalQuestion(seat);
    if (!question.isEmpty() && messagebox::ask(window, question))
        session.kicking(seat);
}
