#include "app/startup/thostgame.h"

#include "client/board_controls.h"
#include "joining/recent_games.h"

#include <QLineEdit>
#include <QSpinBox>

namespace {
const QSize kDialogSize {340, 190};
}

Thostgame::Thostgame(const RecentGames &recent, QWidget *mainWindow)
    : GameChoiceDialog(QStringLiteral("Thostgame"), QStringLiteral("Vrel - Host a Game"), QStringLiteral("Host a Game"),
                       QStringLiteral("Host"), kDialogSize, mainWindow)
    , recent_(recent)
{
    edit_port = new QSpinBox(this);
    edit_port->setObjectName(QStringLiteral("edit_port"));
    edit_port->setRange(1, 65535);
    edit_port->setValue(proto::kDefaultPort);
    setFieldColours(edit_port);
    addRow(QStringLiteral("label_port"), QStringLiteral("Port:"), edit_port);
}

void Thostgame::showDialog()
{
    nameEdit()->setText(recent_.lastName());
    showProblem(QString());
    showWindow(this);
    nameEdit()->setFocus();
}

void Thostgame::showPortTaken(const QString &problem, int suggestion)
{
    showProblem(problem);
    if (suggestion > 0)
        edit_port->setValue(suggestion);
    showWindow(this);
    edit_port->setFocus();
    edit_port->selectAll();
}

void Thostgame::go()
{
    const QString name = typedName();
    if (name.isEmpty())
        return;
    hide();
    emit hostRequested(name, edit_port->value());
}
