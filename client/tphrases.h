#pragma once

#include "chat/phrases.h"

#include "client/dialog_window.h"

#include <array>

class ClientSession;
class PhraseLengthLimit;
class QLineEdit;
class QPushButton;
class SettingsFile;

// The phrase editor ("Phrase List" in the View menu): one field per phrase button. "Done" gives
// the buttons the fields' texts and stores them; closing it any other way changes nothing.
class Tphrases : public DialogWindow
{
    Q_OBJECT
public:
    Tphrases(ClientSession &session, SettingsFile &settings, QWidget *mainWindow);

    // field 1 to 9
    QLineEdit *field(int n) const { return fields_[size_t(n - 1)]; }
    QPushButton *doneButton() const { return button_done; }

    // Fills the fields with the buttons' phrases and shows the editor (not modal).
    void showPhrases();
    // The fields' texts become the phrases, empty ones included, and are stored; the editor
    // closes unless the file could not be written.
    void button_doneClick();

private:
    ClientSession &session_;
    SettingsFile &settings_;
    std::array<QLineEdit *, chat::kPhraseButtons> fields_ {};
    std::array<PhraseLengthLimit *, chat::kPhraseButtons> limits_ {};
    QPushButton *button_done = nullptr;
};
