#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QWidget;
struct WinnerState;

// The winner banner laid over the board in front of everything: the winner's text twice, a grey
// shadow behind the peach lettering.
class WinnerBanner : public QObject
{
    Q_OBJECT
public:
    explicit WinnerBanner(QWidget *board);

    QWidget *panel() const { return panel_winner; }
    // Shown in front of everything when it comes up.
    void draw(const WinnerState &winner);
    QString text() const;

private:
    QWidget *panel_winner = nullptr;
    QLabel *label_winner1 = nullptr;
    QLabel *label_winner2 = nullptr;
};
