#include "app/startup/tgamestart.h"

#include "client/board_controls.h"
#include "client/picture_controls.h"
#include "net/error_sink.h"
#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "session/client_session.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace {

const QSize kDialogSize {300, 196};
constexpr int kLabelLeft = 24;
constexpr int kBoxLeft = 178;
constexpr QSize kBoxSize {72, 24};

QLabel *dialogLabel(QWidget *parent, const QString &objectName, const QString &text, const QRect &place,
                    int pixelSize, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    QLabel *label = textLabel(parent, objectName, place, boardFont(pixelSize, true), alignment);
    label->setText(text);
    return label;
}

} // namespace

NumberBox::NumberBox(const QString &upDownName, const QString &editName, QWidget *parent)
    : QSpinBox(parent)
{
    setObjectName(upDownName);
    lineEdit()->setObjectName(editName);
    setWrapping(false);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    // The value follows the digits once they are all typed (Enter, Tab), not digit by digit.
    setKeyboardTracking(false);
    setFont(boardFont(13, true));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setFieldColours(this);
}

void NumberBox::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}

Tgamestart::Tgamestart(ClientSession &session, QWidget *mainWindow)
    : DialogWindow(QStringLiteral("Tgamestart"), QStringLiteral("Vrel - Game Start"), kDialogSize, mainWindow)
    , session_(session)
{

    dialogLabel(this, QStringLiteral("label_heading"), QStringLiteral("Game Options"),
                QRect(0, 14, kDialogSize.width(), 24), 18, Qt::AlignCenter);

    QLabel *roundsLabel = dialogLabel(this, QStringLiteral("label_playtoscore"), QStringLiteral("Rounds Per Game: "),
                                      QRect(QPoint(kLabelLeft, 54), QSize(150, kBoxSize.height())), 13);
    UpDown1 = new NumberBox(QStringLiteral("UpDown1"), QStringLiteral("edit_playtoscore"), this);
    roundsLabel->setBuddy(UpDown1);
    UpDown1->setGeometry(QRect(QPoint(kBoxLeft, 54), kBoxSize));
    UpDown1->setRange(PlayerOptions::kMinRounds, PlayerOptions::kMaxRounds);
    UpDown1->setSingleStep(1);

    QLabel *secondsLabel = dialogLabel(this, QStringLiteral("label_creationtime"), QStringLiteral("Creation Time:"),
                                       QRect(QPoint(kLabelLeft, 88), QSize(150, kBoxSize.height())), 13);
    UpDown2 = new NumberBox(QStringLiteral("UpDown2"), QStringLiteral("edit_creationtime"), this);
    secondsLabel->setBuddy(UpDown2);
    UpDown2->setGeometry(QRect(QPoint(kBoxLeft, 88), kBoxSize));
    UpDown2->setRange(PlayerOptions::kMinSeconds, PlayerOptions::kMaxSeconds);
    UpDown2->setSingleStep(PlayerOptions::kSecondsStep);
    draw();
    // The session keeps the values (the settings file stores them); the boxes show them.
    for (NumberBox *box : {UpDown1, UpDown2})
        connect(box, &QSpinBox::valueChanged, this, [this] { session_.setGameOptions(UpDown1->value(), UpDown2->value()); });
    connect(&session_, &ClientSession::changed, this, [this](ClientSession::Parts parts) {
        if (parts & ClientSession::Options)
            draw();
    });

    button_start = new PlateButton(QStringLiteral("button_start"), &art::startPlate, this);
    button_start->setAccessibleName(QStringLiteral("START GAME"));
    const QSize plate = art::layout::startPlate.size();
    button_start->setGeometry(QRect(QPoint((kDialogSize.width() - plate.width()) / 2, 134), plate));
    connect(button_start, &QPushButton::clicked, this, [this] { vrel::guarded([this] { button_startClick(); }); });
    // Operable from the keyboard: Tab reaches the Start plate, Enter starts from anywhere in the
    // dialog, Escape closes it.
    button_start->setFocusPolicy(Qt::StrongFocus);
    button_start->setDefault(true);
    setTabOrder(UpDown1, UpDown2);
    setTabOrder(UpDown2, button_start);
}

void Tgamestart::button_startClick()
{
    // Digits typed and not yet taken (the plate clicked at once) count, set into the range.
    UpDown1->interpretText();
    UpDown2->interpretText();
    session_.startgame(UpDown1->edit()->text().toUtf8(), UpDown2->edit()->text().toUtf8());
    hide();
}

void Tgamestart::draw()
{
    UpDown1->setValue(session_.options().roundsPerGame);
    UpDown2->setValue(session_.options().secondsPerRound);
}
