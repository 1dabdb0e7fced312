#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

// Modal message boxes titled "Vrel". Tests replace the way they are shown so that nothing
// waits for a click.
namespace messagebox {

using Presenter = std::function<void(QWidget *parent, const QString &text)>;
// Asks a question with the buttons Yes and No; true for Yes.
using Questioner = std::function<bool(QWidget *parent, const QString &text)>;

// The box itself, "Vrel" over the text, in the game's colours whatever the desktop's theme.
std::unique_ptr<QMessageBox> makeBox(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                                     QMessageBox::StandardButtons buttons);

void show(QWidget *parent, const QString &text);
void setPresenter(Presenter presenter);
bool ask(QWidget *parent, const QString &text);
void setQuestioner(Questioner questioner);
// Errors that escape an event handler are shown in a message box from now on.
void showErrorsInBoxes();

} // namespace messagebox
