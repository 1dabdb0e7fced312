#include "app/startup/found_games_list.h"

#include "client/board_controls.h"

#include <QKeyEvent>

namespace {
const QColor kShadedRow {0xF2, 0xEA, 0xDC};
} // namespace

FoundGamesList::FoundGamesList(QWidget *parent)
    : QListView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A game's line (name, address, players, state) is longer than the list is wide: it wraps
    // rather than hide its facts behind a scroll bar.
    setWordWrap(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setResizeMode(QListView::Adjust);
    setAlternatingRowColors(true);
    setFieldColours(this);
    QPalette look = palette();
    look.setColor(QPalette::AlternateBase, kShadedRow);
    setPalette(look);
    connect(this, &QListView::clicked, this, &FoundGamesList::picked);
    connect(this, &QListView::doubleClicked, this, &FoundGamesList::joinAsked);
}

// Only the player's own moves pick a game: the list's changes (games coming and going) move the
// current row too, and must leave an address typed meanwhile alone.
void FoundGamesList::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && currentIndex().isValid()) {
        emit joinAsked(currentIndex());
        return;
    }
    const QModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    if (currentIndex().isValid() && currentIndex() != before)
        emit picked(currentIndex());
}
