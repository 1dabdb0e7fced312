#include "chat/chatview.h"

#include "chat/colourdrawing.h"
#include "chat/colourtext.h"
#include "chat/smilies.h"
#include "resources/art/palette.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>

namespace chat {
namespace {

// The text of a line carries the index of its style; the style's colour is laid over it when
// the line is on screen.
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
    look.setColor(QPalette::Text, Qt::black); // whatever the desktop's theme, on peach
    setPalette(look);
    // The scroll bars are the game's too: a dark theme's bar would be a dark stripe on peach.
    for (QScrollBar *bar : {verticalScrollBar(), horizontalScrollBar()})
        bar->setPalette(art::windowPalette());

    m_styles.fill(Style{ColourWindowText});
    m_styles[SystemStyle] = Style{ColourNavy};
    m_styles[LinkStyle] = Style{LinkColour, false, true};

    prepareDocument();
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl &href) {
        // Back to the entry first, so that a message box about the link hands the focus there.
        emit linkUsed();
        openClickedLink(href);
    });
    // Taken by a click (to select and copy), and by Tab, so that the chat can be read, scrolled
    // and copied from the keyboard.
    setFocusPolicy(Qt::StrongFocus);

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("popup_mainchat"));
    m_scrollChatOff1 = makeAction(tr("Scroll Chat O&ff"), "ScrollChatOff1");
    m_scrollChatOff2 = makeAction(tr("Scroll Chat O&ff"), "ScrollChatOff2");
    m_clearMainChat1 = makeAction(tr("Clear &Main Chat"), "ClearMainChat1");
    m_clearMainChat2 = makeAction(tr("Clear &Main Chat"), "ClearMainChat2");
    m_copy1 = makeAction(tr("&Copy"), "Copy1");
    m_selectAll1 = makeAction(tr("Select &All"), "SelectAll1");

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
    m_smileyPixelRatio = 0;
    applyTextSize();
}

void ChatView::applyTextSize()
{
    m_textSize = m_pendingTextSize;
    QFont font(FontFamily);
    if (m_scale == 1)
        font.setPointSize(m_textSize);
    else
        font.setPointSizeF(m_textSize * m_scale);
    QTextFrameFormat frame = document()->rootFrame()->frameFormat();
    frame.setLeftMargin(MarginPixels * m_scale);
    frame.setRightMargin(MarginPixels * m_scale);
    document()->rootFrame()->setFrameFormat(frame);
    document()->setDefaultFont(font);
}

void ChatView::setScale(qreal scale)
{
    if (scale == m_scale || scale <= 0)
        return;
    m_scale = scale;
    provideSmileyPictures();
    resizeSmilies();
    applyTextSize();
}

QSizeF ChatView::smileySize() const
{
    return QSizeF(SmileySize) * m_scale;
}

// The smilies of the lines already shown take the size of the scale.
void ChatView::resizeSmilies()
{
    std::vector<std::pair<int, int>> pictures; // position and length
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto part = block.begin(); !part.atEnd(); ++part) {
            if (part.fragment().charFormat().isImageFormat())
                pictures.emplace_back(part.fragment().position(), part.fragment().length());
        }
    }
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const auto &[position, length] : pictures) {
        cursor.setPosition(position);
        cursor.setPosition(position + length, QTextCursor::KeepAnchor);
        QTextImageFormat picture = cursor.charFormat().toImageFormat();
        picture.setWidth(smileySize().width());
        picture.setHeight(smileySize().height());
        cursor.setCharFormat(picture);
    }
    cursor.endEditBlock();
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
    const qreal ratio = devicePixelRatioF() * m_scale;
    if (ratio == m_smileyPixelRatio)
        return;
    m_smileyPixelRatio = ratio;
    for (int picture = 0; picture < SmileyCount; ++picture)
        document()->addResource(QTextDocument::ImageResource, QUrl(smileyResourceName(picture)),
                                smileyPixmap(picture, ratio));
}

// The format a style's text is stored with; its colour is laid over it when it is drawn. (A
// style turns bold with its first line and stays bold, so the boldness can be stored.)
QTextCharFormat ChatView::styleFormat(int style) const
{
    const Style &look = m_styles[size_t(style)];
    QTextCharFormat format;
    format.setProperty(StyleProperty, style);
    format.setFontWeight(look.bold ? QFont::Bold : QFont::Normal);
    format.setFontUnderline(look.underlined);
    return format;
}

// The game's own lines (seat 0) lie on a band of their own, which no player's text can take: a
// player's line in the system's blue, or one that reads like a notice, still looks like a
// player's.
QTextBlockFormat ChatView::lineFormat(int seat) const
{
    QTextBlockFormat format;
    if (seat == 0)
        format.setBackground(drawingColour(SystemBandColour));
    return format;
}

// The colour a style's text is drawn in now.
QTextCharFormat ChatView::lookOf(int style) const
{
    QTextCharFormat format;
    format.setForeground(readableTextColour(m_styles[size_t(style)].colour, palette()));
    return format;
}

// Every earlier line of the style takes the new colour the next time it is painted.
void ChatView::setStyleLook(int style, quint32 colour, bool bold)
{
    Style &look = m_styles[size_t(style)];
    look.colour = colour;
    look.bold = bold;
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
    const int droppedHeight = dropOldestLines();
    QScrollBar *bar = verticalScrollBar();
    if (!m_scrollLocked)
        bar->setValue(bar->maximum());
    else if (droppedHeight > 0) // the lines on screen stay where they are
        bar->setValue(bar->value() - droppedHeight);
}

// The whole line goes in as one edit: the view lays it out once, in time linear in its length.
void ChatView::insertLine(const ChatLine &line)
{
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    if (!document()->isEmpty())
        cursor.insertBlock();
    cursor.setBlockFormat(lineFormat(line.seat));

    const QTextCharFormat textFormat = styleFormat(line.style);
    QTextCharFormat linkFormat = styleFormat(LinkStyle);
    linkFormat.clearProperty(StyleProperty);
    linkFormat.setForeground(readableTextColour(m_styles[LinkStyle].colour, palette()));
    linkFormat.setAnchor(true);
    int links = 0;
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
            // The link's number within its line: the clicked line tells the rest.
            QTextCharFormat link = linkFormat;
            link.setAnchorHref(LinkHrefPrefix + QString::number(links++));
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
            picture.setWidth(smileySize().width());
            picture.setHeight(smileySize().height());
            picture.setToolTip(smileyName(item.picture));
            picture.setVerticalAlignment(QTextCharFormat::AlignMiddle);
            cursor.insertImage(picture);
            break;
        }
        }
    }
    flushText();
    m_lineLinks.push_back(links);
    const int pieces = int(std::count_if(line.items.begin(), line.items.end(),
                                         [](const ChatItem &item) { return item.kind != ChatItem::Kind::Text; }));
    m_linePieces.push_back(pieces);
    m_pieces += pieces;
    cursor.endEditBlock();
}

// How many of the oldest lines go now: DroppedLines past MaxLines lines, and past MaxPieces links
// and pictures as many as leave DroppedPieces fewer. The newest line always stays.
int ChatView::linesToDrop() const
{
    const int lines = document()->blockCount();
    int drop = lines > MaxLines ? lines - (MaxLines - DroppedLines) : 0;
    if (m_pieces > MaxPieces) {
        int pieces = m_pieces;
        int oldest = 0;
        for (; oldest + 1 < int(m_linePieces.size()) && pieces > MaxPieces - DroppedPieces; ++oldest)
            pieces -= m_linePieces[size_t(oldest)];
        drop = std::max(drop, oldest);
    }
    return std::min(drop, lines - 1);
}

// The oldest lines go, many at a time (one layout for all of them), and their links with them.
// Returns the height they took.
int ChatView::dropOldestLines()
{
    QTextDocument *doc = document();
    const int drop = linesToDrop();
    if (drop <= 0)
        return 0;
    const int kept = doc->blockCount() - drop;
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    const qreal height = layout->blockBoundingRect(doc->findBlockByNumber(doc->blockCount() - kept)).top()
                         - layout->blockBoundingRect(doc->firstBlock()).top();
    // The document drops them itself, and frees their text.
    doc->setMaximumBlockCount(kept);
    doc->setMaximumBlockCount(0);
    while (m_lineLinks.size() > size_t(doc->blockCount())) {
        const int links = m_lineLinks.front();
        m_lineLinks.pop_front();
        m_linkTargets.erase(m_linkTargets.begin(), m_linkTargets.begin() + links);
        m_droppedLinks += links;
        m_pieces -= m_linePieces.front();
        m_linePieces.pop_front();
    }
    // The notice of an earlier drop went with the oldest lines; a new one takes its place.
    return qRound(height - insertRemovedNotice());
}

// The system line at the top that tells the player older lines were removed. Returns its height.
qreal ChatView::insertRemovedNotice()
{
    setStyleLook(SystemStyle, SystemLineColour, true);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::Start);
    const QTextBlockFormat oldestLine = cursor.blockFormat();
    // A system line without a head begins with a blank, as every such line does.
    cursor.insertText(QStringLiteral(" ") + QLatin1String(RemovedLinesNotice), styleFormat(SystemStyle));
    cursor.setBlockFormat(lineFormat(0));
    cursor.insertBlock(oldestLine);
    cursor.endEditBlock();
    m_lineLinks.push_front(0);
    m_linePieces.push_front(0);
    return document()->documentLayout()->blockBoundingRect(document()->firstBlock()).height();
}

// Each run of a style's text on screen, with the colour it is drawn in now. Only what is on
// screen is looked at, so a style's new colour costs nothing for the lines off screen.
QList<QAbstractTextDocumentLayout::Selection> ChatView::looks() const
{
    QList<QAbstractTextDocumentLayout::Selection> runs;
    // Inside an edit block the cursors below skip working out where they are on screen.
    QTextCursor edit(document());
    edit.beginEditBlock();
    QAbstractTextDocumentLayout *layout = document()->documentLayout();
    const int top = verticalScrollBar()->value();
    const int bottom = top + viewport()->height();
    QTextBlock block = document()->findBlock(layout->hitTest(QPointF(0, top), Qt::FuzzyHit));
    // One run for a style's text with the pictures between it: each run costs the layout a clip
    // of its own when it draws, and a line of smilies has a blank between every two.
    int style = -1;
    int start = 0;
    int end = 0;
    const auto endRun = [&] {
        if (style >= 0) {
            QAbstractTextDocumentLayout::Selection run {QTextCursor(document()), lookOf(style)};
            run.cursor.setPosition(start);
            run.cursor.setPosition(end, QTextCursor::KeepAnchor);
            runs.append(run);
        }
        style = -1;
    };
    for (; block.isValid() && layout->blockBoundingRect(block).top() <= bottom; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const int fragmentStyle = format.hasProperty(StyleProperty) ? format.intProperty(StyleProperty) : -1;
            if (fragmentStyle >= 0 && fragmentStyle != style) {
                endRun();
                style = fragmentStyle;
                start = fragment.position();
            } else if (fragmentStyle < 0 && !format.isImageFormat()) {
                endRun(); // a link keeps its own look
                continue;
            }
            end = fragment.position() + fragment.length();
        }
        endRun();
    }
    edit.endEditBlock();
    return runs;
}

QString ChatView::linkTarget(int link) const
{
    if (link < m_droppedLinks || link >= linkCount())
        return {};
    return m_linkTargets[size_t(link - m_droppedLinks)];
}

// A clicked link is selected by the browser: its line is the selection's line, and the link
// names its place in that line.
void ChatView::openClickedLink(const QUrl &href)
{
    const QString name = href.toString();
    if (!name.startsWith(LinkHrefPrefix))
        return;
    bool ok = false;
    const int inLine = name.mid(LinkHrefPrefix.size()).toInt(&ok);
    const int line = document()->findBlock(textCursor().selectionStart()).blockNumber();
    if (!ok || line < 0 || size_t(line) >= m_lineLinks.size() || inLine < 0 || inLine >= m_lineLinks[size_t(line)])
        return;
    int link = m_droppedLinks + inLine;
    for (int earlier = 0; earlier < line; ++earlier)
        link += m_lineLinks[size_t(earlier)];
    mainchatJump(link);
}

void ChatView::mainchatJump(int link)
{
    if (link < m_droppedLinks || link >= linkCount())
        return;
    const QString target = linkTarget(link);
    if (target.startsWith(GameLinkPrefix)) {
        emit gameLinkClicked(target.trimmed());
        return;
    }
    const std::optional<QUrl> address = linkAddress(target);
    if (!address || !m_openLink || !m_openLink(*address))
        reportUnopenableLink();
}

void ChatView::reportUnopenableLink()
{
    // Not a nested event loop: the click that got us here is still being handled.
    auto *box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Vrel"),
                                QStringLiteral("Cannot open Webpage"), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Black on the game's peach, whatever the desktop's theme (the view's own colours are the
    // chat's, not a dialog's).
    box->setPalette(art::windowPalette());
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
    m_lineLinks.clear();
    m_linePieces.clear();
    m_pieces = 0;
    m_droppedLinks = 0;
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
    if (event->matches(QKeySequence::SelectAll) || event->matches(QKeySequence::MoveToPreviousPage)
        || event->matches(QKeySequence::MoveToNextPage) || event->matches(QKeySequence::MoveToStartOfDocument)
        || event->matches(QKeySequence::MoveToEndOfDocument) || event->key() == Qt::Key_Up
        || event->key() == Qt::Key_Down) {
        QTextBrowser::keyPressEvent(event);
        return;
    }
    // Everything else, Enter above all (which would open the link last clicked), is typing.
    emit keyForEntry(event);
    event->accept();
}

bool ChatView::focusNextPrevChild(bool next)
{
    // Tab leaves the view as it leaves any other control, rather than stepping through links.
    return QWidget::focusNextPrevChild(next);
}

void ChatView::resizeEvent(QResizeEvent *event)
{
    if (m_pendingTextSize != m_textSize)
        applyTextSize();
    QTextBrowser::resizeEvent(event);
}

// Painted as the text view paints itself, with the styles' colours laid over their text and the
// player's selection over everything.
void ChatView::paintEvent(QPaintEvent *event)
{
    provideSmileyPictures(); // the view may have moved to a screen with another pixel ratio
    const QPoint scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QRect area = event->rect().translated(scrolled);
    QPainter painter(viewport());
    painter.translate(-scrolled);
    painter.setClipRect(area);

    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = palette();
    context.clip = area;
    context.selections = looks();
    const QTextCursor selected = textCursor();
    if (selected.hasSelection()) {
        const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
        QAbstractTextDocumentLayout::Selection selection {selected, QTextCharFormat()};
        selection.format.setBackground(palette().brush(group, QPalette::Highlight));
        selection.format.setForeground(palette().brush(group, QPalette::HighlightedText));
        context.selections.append(selection);
    }
    document()->documentLayout()->draw(&painter, context);
}

} // namespace chat
