#include "chat/chatentry.h"

#include "chat/chatline.h"
#include "chat/colourdrawing.h"
#include "protocol/constants.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QRegularExpression>

namespace chat {

const QString ChatEntry::Placeholder = QStringLiteral("<Enter Chat Here>");

namespace {
constexpr int FontPixels = 13;
}

ChatEntry::ChatEntry(QWidget *parent) : QLineEdit(Placeholder, parent)
{
    setObjectName(QStringLiteral("mychat"));
    // No longer than the host relays: typing, pasting and smilies stop at the limit, as in any
    // full text field.
    setMaxLength(proto::kMaxChatChars);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(FontPixels);
    setFont(font);
    // A white field whatever the desktop's theme: the text is in the player's own colour.
    QPalette look = palette();
    look.setColor(QPalette::Base, Qt::white);
    setPalette(look);
    setTextColour(0); // black until the settings say otherwise

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("popup_mychat"));
    m_paste1 = new QAction(tr("&Paste"), this);
    m_paste1->setObjectName(QStringLiteral("Paste1"));
    // Shown in the menu; the key itself is handled in keyPressEvent, where the line edit's own
    // paste would otherwise insert at the caret.
    m_paste1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    m_paste1->setShortcutContext(Qt::WidgetShortcut);
    connect(m_paste1, &QAction::triggered, this, &ChatEntry::Paste1Click);
    m_popup->addAction(m_paste1);
}

void ChatEntry::setTextColour(quint32 colour)
{
    QPalette look = palette();
    look.setColor(QPalette::Text, readableTextColour(colour, look));
    setPalette(look);
}

void ChatEntry::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (hasSelectedText() && selectedText() == text()) {
        deselect();
        setCursorPosition(int(text().size()));
    }
}

void ChatEntry::emptyPlaceholder()
{
    if (text() == Placeholder)
        clear();
}

void ChatEntry::showTextEnd(const QString &newText)
{
    setText(newText);
    deselect();
    setCursorPosition(int(newText.size()));
}

void ChatEntry::Paste1Click()
{
    static const QRegularExpression lineBreaks(QStringLiteral("\r\n|\r|\n"));
    QString pasted = QGuiApplication::clipboard()->text();
    pasted.replace(lineBreaks, QStringLiteral(" ")); // a one-line field
    showTextEnd(text() + pasted);
}

void ChatEntry::appendSmiley(int code)
{
    emptyPlaceholder();
    showTextEnd(text() + SmileyMarker + QString::number(code));
}

void ChatEntry::mychatKeyDown()
{
    emptyPlaceholder();
}

void ChatEntry::keyPressEvent(QKeyEvent *event)
{
    mychatKeyDown();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept(); // swallowed: no beep, no returnPressed
        emit sendRequested();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        Paste1Click();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ChatEntry::contextMenuEvent(QContextMenuEvent *event)
{
    m_popup->popup(event->globalPos());
    event->accept();
}

} // namespace chat
