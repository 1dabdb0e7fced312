#include "client/phrase_buttons.h"

#include "chat/chatter_sounds.h"
#include "client/board_scale.h"
#include "client/picture_controls.h"
#include "resources/art/board_layout.h"
#include "session/client_session.h"

#include <QMenu>
#include <QPainter>
#include <QTextDocument>

namespace {

constexpr int kChatterSoundButton = 10;

// The button's face: its picture, lit under the mouse and sunk by a pixel while pressed.
QPixmap face(int button, art::PlateState state, qreal dpr)
{
    const QPixmap picture = art::phraseIcon(button, dpr);
    if (state == art::PlateState::Normal)
        return picture;
    QPixmap shown(picture.size());
    shown.setDevicePixelRatio(dpr);
    shown.fill(Qt::transparent);
    QPainter p(&shown);
    const bool pressed = state == art::PlateState::Pressed;
    p.drawPixmap(pressed ? QPoint(1, 1) : QPoint(0, 0), picture);
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    p.fillRect(QRectF(QPointF(0, 0), picture.deviceIndependentSize()), pressed ? QColor(0, 0, 0, 40) : QColor(255, 255, 255, 50));
    return shown;
}

PlateButton *phraseButton(int button, QWidget *board)
{
    auto *made = new PlateButton(QStringLiteral("b_phrase%1").arg(button),
                                 [button](art::PlateState state, qreal dpr) { return face(button, state, dpr); }, board);
    board_scale::place(made, art::layout::phraseButton(button - 1));
    return made;
}

// Phrases are the players' own texts: a phrase that looks like markup is shown as it was typed.
QString plainTooltip(const QString &phrase)
{
    if (!Qt::mightBeRichText(phrase))
        return phrase;
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(phrase.toHtmlEscaped());
}

} // namespace

PhraseButtons::PhraseButtons(QWidget *board)
    : QObject(board)
{
    for (int n = 1; n <= chat::kPhraseButtons; ++n) {
        buttons_[size_t(n - 1)] = phraseButton(n, board);
        connect(button(n), &QPushButton::clicked, this, [this, n] { emit phraseClicked(n); });
    }
    b_phrase10 = phraseButton(kChatterSoundButton, board);
    b_phrase10->setToolTip(QStringLiteral("Chatter Sounds"));
    b_phrase10->setAccessibleName(QStringLiteral("Chatter Sounds"));
    connect(b_phrase10, &QPushButton::clicked, this, &PhraseButtons::b_phrase10Click);

    popup_sounds = new QMenu(b_phrase10);
    popup_sounds->setObjectName(QStringLiteral("popup_sounds"));
    popup_sounds->addAction(QStringLiteral("<Cancel>"))->setData(0);
    for (int number = 1; number <= chat::kChatterSounds; ++number) {
        QAction *item = popup_sounds->addAction(chat::chatterCaption(number));
        item->setObjectName(chat::chatterSoundName(number));
        item->setData(number);
    }
    connect(popup_sounds, &QMenu::triggered, this, [this](QAction *item) { emit chatterSoundChosen(item->data().toInt()); });
}

void PhraseButtons::b_phrase10Click()
{
    popup_sounds->popup(b_phrase10->mapToGlobal(QPoint(b_phrase10->width(), b_phrase10->height())));
}

void PhraseButtons::draw(const ClientSession &session)
{
    for (int n = 1; n <= chat::kPhraseButtons; ++n) {
        button(n)->setToolTip(plainTooltip(session.phrase(n)));
        const QString name = QStringLiteral("Say: ") + session.phrase(n);
        if (button(n)->accessibleName() != name)
            button(n)->setAccessibleName(name);
    }
}
