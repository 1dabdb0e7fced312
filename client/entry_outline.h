#pragma once

#include <QWidget>

// The frame drawn round the entry row while the board has the keyboard. It holds the keyboard
// focus then, so that no caret blinks elsewhere; the keys the board has no use for (digits,
// punctuation) go on to the chat entry as they always have.
class EntryOutline : public QWidget
{
public:
    EntryOutline(const QRect &entryRow, QWidget *parent);
    void setKeysElsewhere(QWidget *target) { keysElsewhere_ = target; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    QWidget *keysElsewhere_ = nullptr;
};
