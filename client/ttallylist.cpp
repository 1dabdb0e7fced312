#include "client/ttallylist.h"

#include "client/board_controls.h"
#include "client/message_box.h"
#include "records/tally_table.h"
#include "resources/art/palette.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>

namespace {

const QSize kWindowSize {470, 318};
constexpr int kListLeft = 12;
constexpr int kListWidth = 176;
constexpr int kRecordLeft = 204;
constexpr int kRecordWidth = 252;
constexpr int kValueWidth = 62;

QLabel *caption(QWidget *parent, const QString &name, const QString &text, const QRect &place, int pixelSize,
                Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    QLabel *label = textLabel(parent, name, place, boardFont(pixelSize, true), alignment, art::palette::ink);
    label->setText(text);
    return label;
}

// A check list that says how to use it while it is empty.
class HintedList : public QListWidget
{
public:
    HintedList(const QString &hint, QWidget *parent) : QListWidget(parent), hint_(hint) {}

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QListWidget::paintEvent(event);
        if (count() != 0)
            return;
        QPainter painter(viewport());
        painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        painter.setFont(boardFont(12));
        painter.drawText(viewport()->rect().adjusted(8, 6, -8, -6), Qt::AlignCenter | Qt::TextWordWrap, hint_);
    }

private:
    QString hint_;
};

QListWidget *checkList(QWidget *parent, const QString &name, const QRect &place, const QString &hint)
{
    QListWidget *list = new HintedList(hint, parent);
    list->setObjectName(name);
    list->setGeometry(place);
    list->setFont(boardFont(13));
    return list;
}

void fill(QListWidget *list, const QStringList &names, const std::function<bool(int)> &ticked)
{
    list->clear();
    for (int row = 0; row < names.size(); ++row) {
        auto *item = new QListWidgetItem(names.at(row), list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(ticked(row) ? Qt::Checked : Qt::Unchecked);
    }
}

} // namespace

Ttallylist::Ttallylist(TallyTable &tally, QWidget *mainWindow)
    : DialogWindow(QStringLiteral("Ttallylist"), QStringLiteral("Vrel - Tally List"), kWindowSize, mainWindow)
    , tally_(tally)
{
    buildLists();
    buildRecord();
    draw();
}

void Ttallylist::buildLists()
{
    QLabel *current = caption(this, QStringLiteral("label_currentgame"), QStringLiteral("Players In Current Game"),
                              QRect(kListLeft, 10, kListWidth, 18), 13);
    checklist_ = checkList(this, QStringLiteral("checklist"), QRect(kListLeft, 30, kListWidth, 112),
                           QStringLiteral("The other players of your game show here. Tick a name to follow "
                                          "that player from game to game."));
    current->setBuddy(checklist_);
    checklist_->setAccessibleName(current->text());
    QLabel *tallied = caption(this, QStringLiteral("label_beingtallied"), QStringLiteral("Players Being Tallied"),
                              QRect(kListLeft, 152, kListWidth, 18), 13);
    listbox_tally = checkList(this, QStringLiteral("listbox_tally"), QRect(kListLeft, 172, kListWidth, 134),
                              QStringLiteral("Nobody is followed yet. The players you tick above are listed "
                                             "here; click one to see your record against them."));
    tallied->setBuddy(listbox_tally);
    listbox_tally->setAccessibleName(tallied->text());

    connect(checklist_, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (!drawing_)
            checklistClickCheck(checklist_->row(item));
    });
    connect(listbox_tally, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (!drawing_)
            listbox_tallyClickCheck(listbox_tally->row(item));
    });
    connect(listbox_tally, &QListWidget::currentRowChanged, this, [this] {
        if (!drawing_)
            listbox_tallyClick();
    });
}

void Ttallylist::buildRecord()
{
    const int valueLeft = kRecordLeft + kRecordWidth - 2 * kValueWidth;
    caption(this, QStringLiteral("label_totalcaption"), QStringLiteral("Total Games:"),
            QRect(kRecordLeft, 12, 130, 20), 15);
    label_totalgames = caption(this, QStringLiteral("label_totalgames"), {}, QRect(valueLeft, 12, kValueWidth, 20), 15,
                               Qt::AlignCenter);
    caption(this, QStringLiteral("label_winscaption"), QStringLiteral("Your Wins"), QRect(kRecordLeft, 36, 130, 20), 15);
    label_yourwins = caption(this, QStringLiteral("label_yourwins"), {}, QRect(valueLeft, 36, kValueWidth, 20), 15,
                             Qt::AlignCenter);

    // The selected player's record, over all runs and this run, on a panel of its own.
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("panel_player"));
    panel->setGeometry(kRecordLeft - 6, 68, kRecordWidth + 12, 148);
    panel->setStyleSheet(QStringLiteral("QFrame#panel_player { background: %1; border: 1px solid %2; border-radius: 6px; }")
                             .arg(art::palette::peachLight.name(), art::palette::peachDeep.darker(115).name()));
    label_playertally = caption(this, QStringLiteral("label_playertally"), {}, QRect(kRecordLeft, 76, kRecordWidth, 20), 15);
    caption(this, QStringLiteral("label_totalheading"), QStringLiteral("Total"), QRect(valueLeft, 100, kValueWidth, 18), 13,
            Qt::AlignCenter);
    caption(this, QStringLiteral("label_sessionheading"), QStringLiteral("Session"),
            QRect(valueLeft + kValueWidth, 100, kValueWidth, 18), 13, Qt::AlignCenter);
    const QString names[4] = {QStringLiteral("Number of Games"), QStringLiteral("Wins:"), QStringLiteral("Your Wins:"),
                              QStringLiteral("Neither Won:")};
    for (int counter = 0; counter < 4; ++counter) {
        const int top = 122 + 22 * counter;
        QLabel *name = caption(this, QStringLiteral("label_counter%1").arg(counter + 1), names[counter],
                               QRect(kRecordLeft, top, valueLeft - kRecordLeft, 20), 13);
        if (counter == TallyTable::TheirWins)
            label_theirwins = name;
        totals_[size_t(counter)] = caption(this, QStringLiteral("label_total%1").arg(counter + 1), {},
                                           QRect(valueLeft, top, kValueWidth, 20), 13, Qt::AlignCenter);
        session_[size_t(counter)] = caption(this, QStringLiteral("label_session%1").arg(counter + 1), {},
                                            QRect(valueLeft + kValueWidth, top, kValueWidth, 20), 13, Qt::AlignCenter);
    }

    button_reset = new QPushButton(QStringLiteral("Reset Tally"), this);
    button_reset->setObjectName(QStringLiteral("button_reset"));
    button_reset->setGeometry(kRecordLeft, 282, 110, 24);
    connect(button_reset, &QPushButton::clicked, this, &Ttallylist::button_resetClick);
    auto *done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry(kRecordLeft + kRecordWidth - 80, 282, 80, 24);
    connect(done, &QPushButton::clicked, this, &Ttallylist::button_doneClick);
}

// ---------------------------------------------------------------- drawing the tally

void Ttallylist::draw()
{
    label_totalgames->setText(QString::number(tally_.gamesPlayed()));
    label_yourwins->setText(QString::number(tally_.gamesWon()));
    drawRoster();
    drawTallied();
    drawPlayer();
}

void Ttallylist::drawRoster()
{
    drawing_ = true;
    fill(checklist_, roster_, [this](int row) { return tally_.rowOf(roster_.at(row)) > 0; });
    drawing_ = false;
}

void Ttallylist::drawTallied()
{
    drawing_ = true;
    const int selected = listbox_tally->currentRow();
    fill(listbox_tally, tally_.players(), [](int) { return true; });
    listbox_tally->setCurrentRow(selected < listbox_tally->count() ? selected : -1);
    drawing_ = false;
}

void Ttallylist::drawPlayer()
{
    const int row = listbox_tally->currentRow() + 1;
    const bool shown = row >= 1 && row < tally_.rowCount();
    const QString name = shown ? tally_.cell(row, 0) : QString();
    label_playertally->setText(shown ? name + QStringLiteral("'s Tally") : QString());
    label_theirwins->setText(name + QStringLiteral(" Wins:"));
    for (int counter = 0; counter < 4; ++counter) {
        const auto value = [&](int first) { return shown ? tally_.count(row, first + counter) : 0; };
        totals_[size_t(counter)]->setText(QString::number(value(TallyTable::kTotalColumn)));
        session_[size_t(counter)]->setText(QString::number(value(TallyTable::kSessionColumn)));
    }
}

// ---------------------------------------------------------------- the roster and the counting

void Ttallylist::setRoster(const QStringList &names)
{
    roster_ = names;
    drawRoster();
}

void Ttallylist::addgame(const QString &winner, bool localWins)
{
    tally_.addgame(winner, localWins, roster_);
    draw();
}

// ---------------------------------------------------------------- the player's changes

void Ttallylist::checklistClickCheck(int row)
{
    if (row >= 0 && row < roster_.size() && tally_.addPlayer(roster_.at(row)))
        drawTallied();
    // Every tick shows whether the name is tallied: unticking a tallied name changes nothing.
    drawRoster();
}

void Ttallylist::listbox_tallyClick()
{
    drawPlayer();
}

void Ttallylist::listbox_tallyClickCheck(int row)
{
    QListWidgetItem *item = listbox_tally->item(row);
    if (!item || item->checkState() == Qt::Checked)
        return;
    const QString name = tally_.cell(row + 1, 0);
    if (messagebox::ask(this, QStringLiteral("This will delete ") + name + QStringLiteral("'s Tally, Are you want to delete it?")))
        tally_.removePlayer(row + 1);
    draw();
}

void Ttallylist::button_resetClick()
{
    if (!messagebox::ask(this, QStringLiteral("Are you sure you want to reset the Tally?")))
        return;
    tally_.reset();
    draw();
}
