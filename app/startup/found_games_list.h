#pragma once

#include <QListView>

// The games found on the local network as the join dialog lists them: one game a line, wrapped
// rather than cut, every other one shaded. A click or the arrow keys pick a game; a double click
// or Enter asks to join it, whatever the style's idea of activating an item (some styles
// activate on a single click, which would join on the first click).
class FoundGamesList : public QListView
{
    Q_OBJECT
public:
    explicit FoundGamesList(QWidget *parent = nullptr);

signals:
    void picked(const QModelIndex &index);
    void joinAsked(const QModelIndex &index);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
