#pragma once

#include "protocol/constants.h"

#include <QObject>

#include <array>

class ClientSession;
class QLabel;
class QListWidget;
class QWidget;

// The round-results panel laid over the upper board: the round's source words ("Original
// Words") and six score columns, each with a name, the round score, the word list, the fastest
// star and the BONUS marker. Columns are numbered 1 to 6 from the left; each shows the seat the
// session's column swap puts there.
class ResultsPanel : public QObject
{
    Q_OBJECT
public:
    static constexpr int kColumns = proto::kPlayerSeats;

    explicit ResultsPanel(QWidget *board);

    QWidget *panel() const { return panel_scores; }
    QListWidget *original() const { return listbox_original; }
    QLabel *roundCaption() const { return label_scoreround; }
    QLabel *name(int column) const { return columns_[index(column)].name; }
    QLabel *roundScore(int column) const { return columns_[index(column)].score; }
    QListWidget *words(int column) const { return columns_[index(column)].words; }
    QLabel *fastest(int column) const { return columns_[index(column)].fastest; }
    QLabel *bonus(int column) const { return columns_[index(column)].bonus; }

    // Shown at its place over the board, in front of the board's controls.
    void draw(const ClientSession &session);

private:
    struct Column {
        QLabel *name = nullptr;
        QLabel *score = nullptr;
        QListWidget *words = nullptr;
        QLabel *fastest = nullptr;
        QLabel *bonus = nullptr;
    };
    static size_t index(int column) { return size_t(column - 1); }

    QWidget *panel_scores = nullptr;
    QListWidget *listbox_original = nullptr;
    QLabel *label_scoreround = nullptr;
    std::array<Column, kColumns> columns_ {};
};
