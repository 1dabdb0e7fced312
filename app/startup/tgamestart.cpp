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
#include <QPainter>

namespace {

const QSize kDialogSize {300, 196};
constexpr int kLabelLeft = 24;
constexpr int kBoxLeft = 178;
constexpr QSize kBoxSize {72, 24};

QLabel *dialogLabel(QWidget *parent, const QString &text, const QRect &place, int pixelSize)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setFont(boardFont(pixelSize, true));
    return label;
}

} // namespace

ArrowsOnlySpinBox::ArrowsOnlySpinBox(const QString &upDownName, const QString &editName, QWidget *parent)
    : QSpinBox(parent)
{
    setObjectName(upDownName);
    lineEdit()->setObjectName(editName);
    lineEdit()->setReadOnly(true);
    setWrapping(false);
    setFont(boardFont(13, true));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void ArrowsOnlySpinBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)
        QSpinBox::keyPressEvent(event);
    else
        event->ignore();
}

void ArrowsOnlySpinBox::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}

Tgamestart::Tgamestart(ClientSession &session, QWidget *mainWindow)
    : QDialog(mainWindow)
    , session_(session)
    , mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("Tgamestart"));
    setWindowTitle(QStringLiteral("Vrel - Game Start"));
    setFixedSize(kDialogSize);

    auto *heading = dialogLabel(this, QStringLiteral("Game Options"), QRect(0, 14, kDialogSize.width(), 24), 18);
    heading->setObjectName(QStringLiteral("label_heading"));
    heading->setAlignment(Qt::AlignCenter);

    dialogLabel(this, QStringLiteral("Rounds Per Game: "), QRect(QPoint(kLabelLeft, 54), QSize(150, kBoxSize.height())), 13)
        ->setObjectName(QStringLiteral("label_playtoscore"));
    UpDown1 = new ArrowsOnlySpinBox(QStringLiteral("UpDown1"), QStringLiteral("edit_playtoscore"), this);
    UpDown1->setGeometry(QRect(QPoint(kBoxLeft, 54), kBoxSize));
    UpDown1->setRange(PlayerOptions::kMinRounds, PlayerOptions::kMaxRounds);
    UpDown1->setSingleStep(1);

    dialogLabel(this, QStringLiteral("Creation Time:"), QRect(QPoint(kLabelLeft, 88), QSize(150, kBoxSize.height())), 13)
        ->setObjectName(QStringLiteral("label_creationtime"));
    UpDown2 = new ArrowsOnlySpinBox(QStringLiteral("UpDown2"), QStringLiteral("edit_creationtime"), this);
    UpDown2->setGeometry(QRect(QPoint(kBoxLeft, 88), kBoxSize));
    UpDown2->setRange(PlayerOptions::kMinSeconds, PlayerOptions::kMaxSeconds);
    UpDown2->setSingleStep(PlayerOptions::kSecondsStep);
    draw();
    // The session keeps the values (the settings file stores them); the boxes show them.
    for (ArrowsOnlySpinBox *box : {UpDown1, UpDown2})
        connect(box, &QSpinBox::valueChanged, this, [this] { session_.setGameOptions(UpDown1->value(), UpDown2->value()); });
    connect(&session_, &ClientSession::changed, this, [this](ClientSession::Parts parts) {
        if (parts & ClientSession::Options)
            draw();
    });

    button_start = new PlateButton(QStringLiteral("button_start"), &art::startPlate, this);
    const QSize plate = art::layout::startPlate.size();
    button_start->setGeometry(QRect(QPoint((kDialogSize.width() - plate.width()) / 2, 134), plate));
    connect(button_start, &QPushButton::clicked, this, [this] { vrel::guarded([this] { button_startClick(); }); });
}

void Tgamestart::button_startClick()
{
    session_.startgame(UpDown1->edit()->text().toUtf8(), UpDown2->edit()->text().toUtf8());
    hide();
}

void Tgamestart::draw()
{
    UpDown1->setValue(session_.options().roundsPerGame);
    UpDown2->setValue(session_.options().secondsPerRound);
}

void Tgamestart::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOver(this, mainWindow_);
}

void Tgamestart::paintEvent(QPaintEvent *)
{
    QPainter(this).drawPixmap(0, 0, art::dialogBackground(size()));
}
