#include "client/message_box.h"

#include "net/error_sink.h"

#include <QApplication>
#include <QMessageBox>

namespace messagebox {

namespace {

Presenter &presenter()
{
    static Presenter current = [](QWidget *parent, const QString &text) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Vrel"), text, QMessageBox::Ok, parent);
        box.exec();
    };
    return current;
}

Questioner &questioner()
{
    static Questioner current = [](QWidget *parent, const QString &text) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Vrel"), text, QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    };
    return current;
}

} // namespace

bool ask(QWidget *parent, const QString &text)
{
    return questioner()(parent, text);
}

void setQuestioner(Questioner replacement)
{
    questioner() = std::move(replacement);
}

void show(QWidget *parent, const QString &text)
{
    presenter()(parent, text);
}

void setPresenter(Presenter replacement)
{
    presenter() = std::move(replacement);
}

void showErrorsInBoxes()
{
    vrel::setErrorSink([](const QString &text) { show(QApplication::activeWindow(), text); });
}

} // namespace messagebox
