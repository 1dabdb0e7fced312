#pragma once

#include <QObject>

#include <array>

class QLabel;
class QListWidget;
class QWidget;

// The round-results panel laid over the upper board: the round's source words ("Original
// Words") and six score columns, each with a name, the round score, the word list, the fastest
// star and the BONUS marker. Columns are numbered 1 to 6 from the left; which seat a column shows
// is the main window's business.
class ResultsPanel : public QObject
{
    Q_OBJECT
public:
    static constexpr int kColumns = 6;

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
    void showOverBoard();
    void hide();

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
