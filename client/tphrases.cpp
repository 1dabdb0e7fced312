#include "client/tphrases.h"

#include "client/board_controls.h"
#include "net/error_sink.h"
#include "records/settings_file.h"
#include "session/client_session.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include <algorithm>

namespace {

const QSize kEditorSize {392, 338};
constexpr int kLeft = 20;
constexpr int kFirstRowTop = 16;
constexpr int kRowStep = 28;
constexpr int kLabelWidth = 128;
constexpr QSize kFieldSize {224, 22};

} // namespace

// Typing stops at the phrase length, but a longer stored phrase is shown whole and may be
// shortened or changed in place: the field refuses only text longer than both the phrase length
// and the text it held before.
class PhraseLengthLimit : public QValidator
{
public:
    explicit PhraseLengthLimit(QLineEdit *field)
        : QValidator(field)
    {
        connect(field, &QLineEdit::textChanged, this, [this](const QString &text) { allow(text.size()); });
    }
    State validate(QString &input, int &) const override { return input.size() <= longest_ ? Acceptable : Invalid; }
    // The field is about to be given a text of this length, which is not validated itself.
    void allow(qsizetype length) { longest_ = std::max<qsizetype>(chat::kPhraseLength, length); }

private:
    qsizetype longest_ = chat::kPhraseLength;
};

Tphrases::Tphrases(ClientSession &session, SettingsFile &settings, QWidget *mainWindow)
    : DialogWindow(QStringLiteral("Tphrases"), QStringLiteral("Vrel - Phrase Buttons "), kEditorSize, mainWindow)
    , session_(session)
    , settings_(settings)
{

    for (int n = 1; n <= chat::kPhraseButtons; ++n) {
        const int top = kFirstRowTop + kRowStep * (n - 1);
        auto *label = textLabel(this, QStringLiteral("label_phrase%1").arg(n), QRect(kLeft, top, kLabelWidth, kFieldSize.height()),
                                boardFont(13, true), Qt::AlignLeft | Qt::AlignVCenter);
        label->setText(QStringLiteral("Phrase Button %1:").arg(n));
        QLineEdit *edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("phrase%1").arg(n));
        limits_[size_t(n - 1)] = new PhraseLengthLimit(edit);
        edit->setValidator(limits_[size_t(n - 1)]);
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
    for (int n = 1; n <= chat::kPhraseButtons; ++n) {
        const QString phrase = session_.phrase(n);
        limits_[size_t(n - 1)]->allow(phrase.size());
        field(n)->setText(phrase);
    }
    showWindow(this);
}

void Tphrases::button_doneClick()
{
    for (int n = 1; n <= chat::kPhraseButtons; ++n)
        session_.setPhrase(n, field(n)->text());
    if (settings_.savephrases())
        hide();
}
