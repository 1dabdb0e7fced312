#include "client/message_box.h"

#include "net/error_sink.h"
#include "resources/art/palette.h"

#include <QApplication>
#include <QMessageBox>

namespace messagebox {

namespace {

Presenter &presenter()
{
    static Presenter current = [](QWidget *parent, const QString &text) {
        makeBox(parent, QMessageBox::NoIcon, text, QMessageBox::Ok)->exec();
    };
    return current;
}

Questioner &questioner()
{
    static Questioner current = [](QWidget *parent, const QString &text) {
        const auto box = makeBox(parent, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::No);
        return box->exec() == QMessageBox::Yes;
    };
    return current;
}

} // namespace

std::unique_ptr<QMessageBox> makeBox(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                                     QMessageBox::StandardButtons buttons)
{
    auto box = std::make_unique<QMessageBox>(icon, QStringLiteral("Vrel"), text, buttons, parent);
    box->setPalette(art::windowPalette());
    return box;
}

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
