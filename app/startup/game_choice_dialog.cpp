#include "app/startup/game_choice_dialog.h"

#include "client/board_controls.h"
#include "net/error_sink.h"
#include "protocol/constants.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

GameChoiceDialog::GameChoiceDialog(const QString &objectName, const QString &title, const QString &heading,
                                   const QString &goText, QSize size, QWidget *mainWindow)
    : DialogWindow(objectName, title, size, mainWindow)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(20, 12, 20, 14);
    auto *headingLabel = new QLabel(heading, this);
    headingLabel->setObjectName(QStringLiteral("label_heading"));
    headingLabel->setFont(boardFont(18, true));
    headingLabel->setAlignment(Qt::AlignCenter);
    setTextColour(headingLabel, Qt::black);
    column->addWidget(headingLabel);

    rows_ = new QGridLayout();
    rows_->setColumnStretch(1, 1);
    column->addLayout(rows_);
    edit_name = new QLineEdit(this);
    edit_name->setObjectName(QStringLiteral("edit_name"));
    edit_name->setMaxLength(proto::kMaxNameChars);
    setFieldColours(edit_name);
    addRow(QStringLiteral("label_name"), QStringLiteral("Your Name:"), edit_name);

    label_problem = new QLabel(this);
    label_problem->setObjectName(QStringLiteral("label_problem"));
    label_problem->setWordWrap(true);
    label_problem->setFont(boardFont(12, true));
    label_problem->setTextFormat(Qt::PlainText);
    setTextColour(label_problem, QColor(0xA0, 0, 0));
    column->addWidget(label_problem, 1, Qt::AlignTop);

    auto *buttons = new QHBoxLayout();
    buttons->addStretch(1);
    button_go = new QPushButton(goText, this);
    button_go->setObjectName(QStringLiteral("button_go"));
    button_go->setDefault(true);
    button_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    button_cancel->setObjectName(QStringLiteral("button_cancel"));
    buttons->addWidget(button_go);
    buttons->addWidget(button_cancel);
    column->addLayout(buttons);
    setTabOrder(edit_name, button_go);
    setTabOrder(button_go, button_cancel);
    connect(button_go, &QPushButton::clicked, this, [this] { vrel::guarded([this] { go(); }); });
    connect(button_cancel, &QPushButton::clicked, this, &QWidget::hide);
}

void GameChoiceDialog::addRow(const QString &labelName, const QString &labelText, QWidget *field)
{
    auto *label = new QLabel(labelText, this);
    label->setObjectName(labelName);
    label->setFont(boardFont(13, true));
    setTextColour(label, Qt::black);
    label->setBuddy(field);
    // Lists take no name from their label: a screen reader names every field by it.
    field->setAccessibleName(QString(labelText).remove(QLatin1Char(':')).trimmed());
    const int row = rows_->rowCount();
    rows_->addWidget(label, row, 0);
    rows_->addWidget(field, row, 1);
    // Tab goes down the rows as they stand, then to the buttons.
    if (lastField_)
        setTabOrder(lastField_, field);
    if (button_go) {
        setTabOrder(field, button_go);
        setTabOrder(button_go, button_cancel);
    }
    lastField_ = field;
}

QString GameChoiceDialog::typedName()
{
    const QString name = edit_name->text().trimmed();
    if (name.isEmpty()) {
        showProblem(QStringLiteral("Type the name the other players will see you by."));
        edit_name->setFocus();
    }
    return name;
}

void GameChoiceDialog::showProblem(const QString &problem)
{
    label_problem->setText(problem);
}
