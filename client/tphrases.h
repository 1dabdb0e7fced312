#pragma once

#include "chat/phrases.h"

#include <QDialog>

#include <array>

class ClientSession;
class QLineEdit;
class QPushButton;
class SettingsFile;

// The phrase editor ("Phrase List" in the View menu): one field per phrase button. "Done" gives
// the buttons the fields' texts and stores them; closing it any other way changes nothing.
class Tphrases : public QDialog
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

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    ClientSession &session_;
    SettingsFile &settings_;
    QWidget *mainWindow_;
    std::array<QLineEdit *, chat::kPhraseButtons> fields_ {};
    QPushButton *button_done = nullptr;
};
