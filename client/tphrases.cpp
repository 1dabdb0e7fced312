#include "client/tphrases.h"

#include "client/board_controls.h"
#include "net/error_sink.h"
#include "records/settings_file.h"
#include "resources/art/art.h"
#include "session/client_session.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {

const QSize kEditorSize {392, 338};
constexpr int kLeft = 20;
constexpr int kFirstRowTop = 16;
constexpr int kRowStep = 28;
constexpr int kLabelWidth = 128;
constexpr QSize kFieldSize {224, 22};

} // namespace

Tphrases::Tphrases(ClientSession &session, SettingsFile &settings, QWidget *mainWindow)
    : QDialog(mainWindow)
    , session_(session)
    , settings_(settings)
    , mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("Tphrases"));
    setWindowTitle(QStringLiteral("Vrel - Phrase Buttons "));
    setFixedSize(kEditorSize);

    for (int n = 1; n <= chat::kPhraseButtons; ++n) {
        const int top = kFirstRowTop + kRowStep * (n - 1);
        auto *label = textLabel(this, QStringLiteral("label_phrase%1").arg(n), QRect(kLeft, top, kLabelWidth, kFieldSize.height()),
                                boardFont(13, true), Qt::AlignLeft | Qt::AlignVCenter);
        label->setText(QStringLiteral("Phrase Button %1:").arg(n));
        QLineEdit *edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("phrase%1").arg(n));
        edit->setMaxLength(chat::kPhraseLength);
        edit->setGeometry(QRect(QPoint(kLeft + kLabelWidth, top), kFieldSize));
        label->setBuddy(edit);
        fields_[size_t(n - 1)] = edit;
    }

    const int noteTop = kFirstRowTop + kRowStep * chat::kPhraseButtons + 2;
    auto *note = textLabel(this, QStringLiteral("label_note"), QRect(kLeft, noteTop, kEditorSize.width() - 2 * kLeft, 20),
                           boardFont(12, false), Qt::AlignHCenter | Qt::AlignVCenter);
    note->setText(QStringLiteral("Buttons can only be used once every 2 seconds"));

    button_done = new QPushButton(QStringLiteral("Done"), this);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setGeometry(QRect((kEditorSize.width() - 80) / 2, noteTop + 26, 80, 26));
    button_done->setDefault(true);
    connect(button_done, &QPushButton::clicked, this, [this] { vrel::guarded([this] { button_doneClick(); }); });
}

void Tphrases::showPhrases()
{
    for (int n = 1; n <= chat::kPhraseButtons; ++n)
        field(n)->setText(session_.phrase(n));
    show();
    raise();
    activateWindow();
}

void Tphrases::button_doneClick()
{
    for (int n = 1; n <= chat::kPhraseButtons; ++n)
        session_.setPhrase(n, field(n)->text());
    if (settings_.savephrases())
        hide();
}

void Tphrases::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOver(this, mainWindow_);
}

void Tphrases::paintEvent(QPaintEvent *)
{
    QPainter(this).drawPixmap(0, 0, art::dialogBackground(size()));
}
