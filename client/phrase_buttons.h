#pragma once

#include "chat/phrases.h"

#include <QObject>

#include <array>

class ClientSession;
class QPushButton;
class QWidget;

// The column of buttons at the left of the chat: b_phrase1 to b_phrase9, each with its picture
// and its phrase as tooltip, and at the foot b_phrase10, the chatter-sound button.
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

signals:
    // A phrase button (1 to 9) was clicked.
    void phraseClicked(int button);

private:
    std::array<QPushButton *, chat::kPhraseButtons> buttons_ {};
    QPushButton *b_phrase10 = nullptr;
};
