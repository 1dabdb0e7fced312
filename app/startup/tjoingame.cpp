#include "app/startup/tjoingame.h"

#include "client/board_controls.h"
#include "joining/recent_games.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {
const QSize kDialogSize {400, 230};
// With the games on the network listed, the dialog is wider, so that a game's line (its name,
// address, players and state) mostly fits on one line.
constexpr int kWidthWithFoundGames = 560;
constexpr int kFoundListHeight = 140;
} // namespace

Tjoingame::Tjoingame(const RecentGames &recent, QWidget *mainWindow)
    : GameChoiceDialog(QStringLiteral("Tjoingame"), QStringLiteral("Vrel - Join a Game"), QStringLiteral("Join a Game"),
                       QStringLiteral("Join"), kDialogSize, mainWindow)
    , recent_(recent)
{
    list_found = new FoundGamesList(this);
    list_found->setObjectName(QStringLiteral("list_found"));
    list_found->setFixedHeight(kFoundListHeight);
    addRow(QStringLiteral("label_found"), QStringLiteral("On this network:"), list_found);
    label_found = findChild<QLabel *>(QStringLiteral("label_found"));
    label_found->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_found->hide();
    list_found->hide();
    connect(list_found, &FoundGamesList::picked, this, &Tjoingame::pickFound);
    connect(list_found, &FoundGamesList::joinAsked, this, &Tjoingame::joinFound);
    label_found_note = new QLabel(list_found->viewport());
    label_found_note->setObjectName(QStringLiteral("label_found_note"));
    label_found_note->setWordWrap(true);
    label_found_note->setTextFormat(Qt::PlainText);
    label_found_note->setAlignment(Qt::AlignCenter);
    label_found_note->hide();

    combo_address = new QComboBox(this);
    combo_address->setObjectName(QStringLiteral("combo_address"));
    combo_address->setEditable(true);
    combo_address->setInsertPolicy(QComboBox::NoInsert);
    combo_address->lineEdit()->setPlaceholderText(QStringLiteral("HOST, HOST:PORT or [IPv6]:PORT"));
    setFieldColours(combo_address);
    addRow(QStringLiteral("label_address"), QStringLiteral("Address:"), combo_address);
}

void Tjoingame::showDialog(const QString &address)
{
    nameEdit()->setText(recent_.lastName());
    combo_address->clear();
    combo_address->addItems(recent_.addresses());
    combo_address->setEditText(address.isEmpty() ? combo_address->itemText(0) : address);
    showProblem(QString());
    showWindow(this);
    placeFoundNote();
    if (nameEdit()->text().isEmpty())
        nameEdit()->setFocus();
    else
        combo_address->setFocus();
}

void Tjoingame::setFoundGames(QAbstractItemModel *model, int addressRole)
{
    list_found->setModel(model);
    foundAddressRole_ = addressRole;
    label_found->setVisible(model != nullptr);
    list_found->setVisible(model != nullptr);
    setFixedSize(model ? QSize(kWidthWithFoundGames, kDialogSize.height() + kFoundListHeight + 8) : kDialogSize);
}

void Tjoingame::pickFound(const QModelIndex &index)
{
    if (index.isValid())
        combo_address->setEditText(index.data(foundAddressRole_).toString());
}

void Tjoingame::setFoundGamesNote(const QString &note)
{
    label_found_note->setText(note);
    label_found_note->setVisible(!note.isEmpty());
    placeFoundNote();
}

void Tjoingame::placeFoundNote()
{
    label_found_note->setGeometry(list_found->viewport()->rect().adjusted(6, 6, -6, -6));
}

void Tjoingame::joinFound(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    pickFound(index);
    go();
}

void Tjoingame::go()
{
    const QString name = typedName();
    if (name.isEmpty())
        return;
    // An invite link pasted in is taken for the address it names.
    const QString typed = combo_address->currentText().trimmed();
    const AddressReading reading = isInviteLink(typed) ? readInviteLink(typed) : readGameAddress(typed);
    if (!reading.address) {
        showProblem(reading.problem);
        combo_address->setFocus();
        return;
    }
    hide();
    emit joinRequested(name, *reading.address);
}
