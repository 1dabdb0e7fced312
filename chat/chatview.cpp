#include "chat/chatview.h"

#include "chat/colourdrawing.h"
#include "chat/colourtext.h"
#include "chat/smilies.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>

namespace chat {
namespace {

// Char formats carry the index of the style they were drawn in, so a style change can find them.
constexpr int StyleProperty = QTextFormat::UserProperty + 1;

constexpr int MarginPixels = 5;
constexpr int MinTextSize = 1;
constexpr int MaxTextSize = 96;

const QString FontFamily = QStringLiteral("Arial");
const QString LinkHrefPrefix = QStringLiteral("chatlink:");

QString smileyResourceName(int picture) { return QStringLiteral("smiley:%1").arg(picture); }

// Chat text never starts a paragraph of its own or smuggles objects into the document: breaks
// become blanks and object marks are dropped.
QString oneLineText(QString text)
{
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\r' || u == u'\t' || u == QChar::LineSeparator
            || u == QChar::ParagraphSeparator || u == 0xFDD0 || u == 0xFDD1)
            c = u' ';
    }
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

} // namespace

ChatView::ChatView(QWidget *parent)
    : QTextBrowser(parent), m_openLink(desktopLinkOpener())
{
    setObjectName(QStringLiteral("mainchat"));
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::WidgetWidth);

    QPalette look = palette();
    look.setColor(QPalette::Base, drawingColour(BackgroundColour));
    setPalette(look);

    m_styles.fill(Style{ColourWindowText});
    m_styles[SystemStyle] = Style{ColourNavy};
    m_styles[LinkStyle] = Style{LinkColour, false, true};

    prepareDocument();
    connect(this, &QTextBrowser::anchorClicked, this, &ChatView::openClickedLink);

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("popup_mainchat"));
    m_scrollChatOff1 = makeAction(tr("Scroll Chat Off"), "ScrollChatOff1");
    m_scrollChatOff2 = makeAction(tr("Scroll Chat Off"), "ScrollChatOff2");
    m_clearMainChat1 = makeAction(tr("Clear Main Chat"), "ClearMainChat1");
    m_clearMainChat2 = makeAction(tr("Clear Main Chat"), "ClearMainChat2");
    m_copy1 = makeAction(tr("Copy"), "Copy1");
    m_selectAll1 = makeAction(tr("Select All"), "SelectAll1");

    for (QAction *item : {m_scrollChatOff1, m_scrollChatOff2}) {
        item->setCheckable(true);
        item->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
        connect(item, &QAction::triggered, this, &ChatView::ScrollChatOff1Click);
    }
    for (QAction *item : {m_clearMainChat1, m_clearMainChat2})
        connect(item, &QAction::triggered, this, &ChatView::ClearMainChat1Click);
    m_copy1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    connect(m_copy1, &QAction::triggered, this, &ChatView::Copy1Click);
    connect(m_selectAll1, &QAction::triggered, this, &ChatView::SelectAll1Click);

    // The context menu's shortcuts are only shown there; the view handles Ctrl+C and Ctrl+S
    // itself, and the Options menu's items carry the window-wide Ctrl+S.
    for (QAction *item : {m_scrollChatOff1, m_clearMainChat1, m_copy1, m_selectAll1}) {
        item->setShortcutContext(Qt::WidgetShortcut);
        m_popup->addAction(item);
    }
}

QAction *ChatView::makeAction(const QString &text, const char *name)
{
    auto *action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    return action;
}

void ChatView::prepareDocument()
{
    QTextDocument *doc = document();
    doc->setUndoRedoEnabled(false);
    doc->setDocumentMargin(1);
    QTextFrameFormat frame = doc->rootFrame()->frameFormat();
    frame.setLeftMargin(MarginPixels);
    frame.setRightMargin(MarginPixels);
    doc->rootFrame()->setFrameFormat(frame);
    m_smileyPixelRatio = 0;
    applyTextSize();
}

void ChatView::applyTextSize()
{
    m_textSize = m_pendingTextSize;
    QFont font(FontFamily);
    font.setPointSize(m_textSize);
    document()->setDefaultFont(font);
}

void ChatView::layOutAgain()
{
    applyTextSize();
}

void ChatView::setTextSize(int points)
{
    if (points >= MinTextSize && points <= MaxTextSize)
        m_pendingTextSize = points;
}

void ChatView::provideSmileyPictures()
{
    const qreal ratio = devicePixelRatioF();
    if (ratio == m_smileyPixelRatio)
        return;
    m_smileyPixelRatio = ratio;
    for (int picture = 0; picture < SmileyCount; ++picture)
        document()->addResource(QTextDocument::ImageResource, QUrl(smileyResourceName(picture)),
                                smileyPixmap(picture, ratio));
}

QTextCharFormat ChatView::styleFormat(int style) const
{
    const Style &look = m_styles[size_t(style)];
    QTextCharFormat format;
    format.setProperty(StyleProperty, style);
    format.setForeground(textDrawingColour(look.colour, palette()));
    format.setFontWeight(look.bold ? QFont::Bold : QFont::Normal);
    format.setFontUnderline(look.underlined);
    return format;
}

void ChatView::setStyleLook(int style, quint32 colour, bool bold)
{
    Style &look = m_styles[size_t(style)];
    if (look.colour == colour && look.bold == bold)
        return;
    look.colour = colour;
    look.bold = bold;

    // Every earlier item of this style takes the new look.
    struct Range { int start, length; };
    std::vector<Range> ranges;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.hasProperty(StyleProperty) && format.intProperty(StyleProperty) == style)
                ranges.push_back({fragment.position(), fragment.length()});
        }
    }
    if (ranges.empty())
        return;
    const QTextCharFormat format = styleFormat(style);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const Range &range : ranges) {
        cursor.setPosition(range.start);
        cursor.setPosition(range.start + range.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }
    cursor.endEditBlock();
}

void ChatView::addlinetochat(const QString &line, quint32 colour)
{
    const std::optional<ChatLine> parsed = parseChatLine(line);
    if (!parsed)
        return;
    if (m_pendingTextSize != m_textSize)
        applyTextSize();
    provideSmileyPictures();
    setStyleLook(parsed->style, colour, true);
    insertLine(*parsed);
    if (!m_scrollLocked)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void ChatView::insertLine(const ChatLine &line)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (!document()->isEmpty())
        cursor.insertBlock();

    const QTextCharFormat textFormat = styleFormat(line.style);
    QString text = line.head;
    const auto flushText = [&] {
        if (!text.isEmpty())
            cursor.insertText(oneLineText(text), textFormat);
        text.clear();
    };
    for (const ChatItem &item : line.items) {
        switch (item.kind) {
        case ChatItem::Kind::Text:
            text += item.text;
            break;
        case ChatItem::Kind::Link: {
            flushText();
            QTextCharFormat link = styleFormat(LinkStyle);
            link.setAnchor(true);
            link.setAnchorHref(LinkHrefPrefix + QString::number(m_linkTargets.size()));
            link.setToolTip(item.text.trimmed());
            m_linkTargets.push_back(item.text);
            // The word's blank belongs to the link but is not underlined.
            QString word = oneLineText(item.text);
            word.chop(1);
            cursor.insertText(word, link);
            link.setFontUnderline(false);
            cursor.insertText(QStringLiteral(" "), link);
            break;
        }
        case ChatItem::Kind::Smiley: {
            flushText();
            QTextImageFormat picture;
            picture.setName(smileyResourceName(item.picture));
            picture.setWidth(SmileySize.width());
            picture.setHeight(SmileySize.height());
            picture.setToolTip(smileyName(item.picture));
            picture.setVerticalAlignment(QTextCharFormat::AlignMiddle);
            cursor.insertImage(picture);
            break;
        }
        }
    }
    flushText();
}

QString ChatView::linkTarget(int link) const
{
    if (link < 0 || link >= linkCount())
        return {};
    return m_linkTargets[size_t(link)];
}

void ChatView::openClickedLink(const QUrl &href)
{
    const QString name = href.toString();
    if (!name.startsWith(LinkHrefPrefix))
        return;
    bool ok = false;
    const int link = name.mid(LinkHrefPrefix.size()).toInt(&ok);
    if (ok)
        mainchatJump(link);
}

void ChatView::mainchatJump(int link)
{
    if (link < 0 || link >= linkCount())
        return;
    const std::optional<QUrl> address = linkAddress(m_linkTargets[size_t(link)]);
    if (!address || !m_openLink || !m_openLink(*address))
        reportUnopenableLink();
}

void ChatView::reportUnopenableLink()
{
    // Not a nested event loop: the click that got us here is still being handled.
    auto *box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Vrel"),
                                QStringLiteral("Cannot open Webpage"), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void ChatView::setScrollLocked(bool locked)
{
    m_scrollLocked = locked;
    m_scrollChatOff1->setChecked(locked);
    m_scrollChatOff2->setChecked(locked);
}

void ChatView::ScrollChatOff1Click()
{
    setScrollLocked(!m_scrollLocked);
}

void ChatView::ClearMainChat1Click()
{
    document()->clear();
    m_linkTargets.clear();
    prepareDocument();
    viewport()->update();
    emit cleared();
}

void ChatView::Copy1Click()
{
    const QTextCursor selection = textCursor();
    if (!selection.hasSelection())
        return;
    QString text = selection.selectedText();
    text.remove(QChar::ObjectReplacementCharacter); // the smilies
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    QGuiApplication::clipboard()->setText(text);
}

void ChatView::SelectAll1Click()
{
    if (document()->isEmpty())
        return;
    selectAll();
    viewport()->update();
}

void ChatView::contextMenuEvent(QContextMenuEvent *event)
{
    m_popup->popup(event->globalPos());
    event->accept();
}

void ChatView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        Copy1Click();
        event->accept();
        return;
    }
    if (event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_S)) {
        ScrollChatOff1Click();
        event->accept();
        return;
    }
    QTextBrowser::keyPressEvent(event);
}

void ChatView::resizeEvent(QResizeEvent *event)
{
    if (m_pendingTextSize != m_textSize)
        applyTextSize();
    QTextBrowser::resizeEvent(event);
}

void ChatView::paintEvent(QPaintEvent *event)
{
    provideSmileyPictures(); // the view may have moved to a screen with another pixel ratio
    QTextBrowser::paintEvent(event);
}

} // namespace chat
