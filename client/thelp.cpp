#include "client/thelp.h"

#include "client/board_controls.h"
#include "client/help_pages.h"
#include "resources/art/palette.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>

namespace {

const QSize kWindowSize {560, 380};
const QRect kButtonColumn {14, 50, 120, 28};
constexpr int kButtonStep = 34;
const QRect kPage {148, 50, 398, 316};

// The page buttons are flat: a caption on the panel that lights up under the mouse. Tab reaches
// them (a dotted frame shows which has the keys) and Space or Enter chooses.
QPushButton *selButton(QWidget *parent, const QString &name, const QString &text, int index)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setFlat(true);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    button->setFont(boardFont(14, true));
    button->setGeometry(kButtonColumn.translated(0, kButtonStep * index));
    button->setStyleSheet(QStringLiteral("QPushButton { text-align: left; padding-left: 8px; border: none; color: %1; }"
                                         "QPushButton:hover, QPushButton:checked { background: %2; border-radius: 4px; }"
                                         "QPushButton:focus { border: 1px dotted %1; border-radius: 4px; }")
                              .arg(art::palette::darkRed.name(), art::palette::peachDeep.name()));
    return button;
}

} // namespace

Thelp::Thelp(QWidget *mainWindow, QWidget *about)
    : DialogWindow(QStringLiteral("Thelp"), QStringLiteral("Vrel - Help File"), kWindowSize, mainWindow)
    , about_(about)
{
    label_caption = textLabel(this, QStringLiteral("label_caption"), QRect(kPage.left(), 14, kPage.width(), 28),
                              boardFont(20, true), Qt::AlignLeft | Qt::AlignVCenter, art::palette::darkRed);
    pages_ = new QStackedWidget(this);
    pages_->setObjectName(QStringLiteral("pages"));
    pages_->setGeometry(kPage);

    int index = 0;
    QList<QWidget *> buttons;
    QList<QWidget *> memos;
    for (const HelpPage &page : helpPages()) {
        auto *memo = new QTextBrowser(pages_);
        memo->setObjectName(QStringLiteral("memo%1").arg(page.tag));
        memo->setAccessibleName(page.button);
        memo->setFrameShape(QFrame::NoFrame);
        // Reached by Tab (never by a click) so that a long page can be scrolled from the keyboard.
        memo->setFocusPolicy(Qt::TabFocus);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setOpenLinks(false);
        memo->setFont(boardFont(13));
        memo->setHtml(page.text);
        pages_->addWidget(memo);
        memos << memo;

        QPushButton *button = selButton(this, QStringLiteral("SelButton%1").arg(page.tag), page.button, index++);
        button->setProperty("Tag", page.tag);
        // The button of the page in front stays lit.
        button->setCheckable(true);
        button->setAutoExclusive(true);
        connect(button, &QPushButton::clicked, this, [this, button] { SelButton1Click(button); });
        buttons << button;
    }
    QPushButton *aboutButton = selButton(this, QStringLiteral("button_about"), QStringLiteral("About"), ++index);
    connect(aboutButton, &QPushButton::clicked, this, &Thelp::button_aboutClick);
    QPushButton *doneButton = selButton(this, QStringLiteral("button_done"), QStringLiteral("Done"), ++index);
    connect(doneButton, &QPushButton::clicked, this, &Thelp::button_doneClick);
    // Tab goes down the buttons, then to the page in front.
    const QList<QWidget *> order = buttons + QList<QWidget *> {aboutButton, doneButton} + memos;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    SelButton1Click(pageButton(QStringLiteral("Overview")));
}

QTextBrowser *Thelp::frontPage() const
{
    return static_cast<QTextBrowser *>(pages_->currentWidget());
}

QPushButton *Thelp::pageButton(const QString &caption) const
{
    for (QPushButton *button : findChildren<QPushButton *>()) {
        if (button->text() == caption && button->property("Tag").isValid())
            return button;
    }
    return nullptr;
}

void Thelp::SelButton1Click(QPushButton *button)
{
    auto *page = pages_->findChild<QTextBrowser *>(QStringLiteral("memo%1").arg(button->property("Tag").toInt()));
    if (!page)
        return;
    pages_->setCurrentWidget(page);
    label_caption->setText(button->text());
    button->setChecked(true);
}

void Thelp::button_aboutClick()
{
    showWindow(about_);
}
