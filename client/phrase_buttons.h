#pragma once

#include "chat/phrases.h"

#include <QObject>

#include <array>

class ClientSession;
class QMenu;
class QPushButton;
class QWidget;

// The column of buttons at the left of the chat: b_phrase1 to b_phrase9, each with its picture
// and its phrase as tooltip, and at the foot b_phrase10, the chatter-sound button with its menu
// popup_sounds ("<Cancel>" and the 20 chatter sounds).
class PhraseButtons : public QObject
{
    Q_OBJECT
public:
    explicit PhraseButtons(QWidget *board);

    // The tooltips show the session's phrases.
    void draw(const ClientSession &session);

    // button 1 to 9
    QPushButton *button(int n) const { return buttons_[size_t(n - 1)]; }
    QPushButton *chatterSoundButton() const { return b_phrase10; }
    QMenu *chatterSoundMenu() const { return popup_sounds; }

    // Opens the chatter-sound menu with its top left corner at b_phrase10's bottom right corner.
    void b_phrase10Click();

signals:
    // A phrase button (1 to 9) was clicked.
    void phraseClicked(int button);
    // An item of the chatter-sound menu was chosen: the sound's number, 0 for "<Cancel>".
    void chatterSoundChosen(int number);

private:
    std::array<QPushButton *, chat::kPhraseButtons> buttons_ {};
    QPushButton *b_phrase10 = nullptr;
    QMenu *popup_sounds = nullptr;
};
