#pragma once

#include "chat/chatline.h"
#include "chat/colourtext.h"
#include "chat/linktarget.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBrowser>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include <array>
#include <deque>

class QAction;
class QMenu;

namespace chat {

// The chat view ("mainchat"): one paragraph per chat line, in 15 text styles whose colour and
// boldness are shared by all lines of a seat (and by all system lines), links that open in the
// desktop's browser, and smiley pictures. A style's look lives in the style, not in its lines:
// a line is drawn in its style's look of the moment, so a new colour costs nothing until the
// seat's earlier lines are painted. The view keeps at most the newest MaxLines lines.
class ChatView : public QTextBrowser
{
    Q_OBJECT

public:
    static constexpr int DefaultTextSize = 10;
    static constexpr quint32 BackgroundColour = 0x00B0DAFF;
    static constexpr quint32 LinkColour = ColourGreen;
    // The band behind the game's own lines (pale blue; 0x00BBGGRR).
    static constexpr quint32 SystemBandColour = 0x00FFEBDCu;
    // Past MaxLines lines the oldest DroppedLines go, all in one step, so that an evening's chat
    // stays (at least MaxLines - DroppedLines lines); a system line at the top then says that
    // older lines were removed. Links and pictures cost the most to keep: past MaxPieces of them
    // the oldest lines go too, until DroppedPieces fewer are kept, so that a flood of lines
    // stuffed with them stays within some tens of MiB.
    static constexpr int MaxLines = 22000;
    static constexpr int DroppedLines = 2000;
    static constexpr int MaxPieces = 100000;
    static constexpr int DroppedPieces = 10000;
    static constexpr char RemovedLinesNotice[] = "Older lines were removed.";

    explicit ChatView(QWidget *parent = nullptr);

    // Appends one line, "seat+text", in the given colour; the seat's style takes that colour, so
    // the seat's earlier lines show it too. A line without a seat from 0 to 9 is dropped.
    void addlinetochat(const QString &line, quint32 colour);

    // The size of the chat text in points; it takes effect at the next layout (the next line,
    // a resize or a clear). Sizes outside 1 to 96 are ignored.
    void setTextSize(int points);
    int textSize() const { return m_textSize; }
    // Lays the view out again now, so that a new text size shows at once.
    void layOutAgain();
    // The board's scale: text, margins and smilies, earlier lines' included, grow with it.
    void setScale(qreal scale);
    qreal scale() const { return m_scale; }

    bool scrollLocked() const { return m_scrollLocked; }
    void setScrollLocked(bool locked);

    // Tests replace the browser with a function that records the address.
    void setLinkOpener(LinkOpener opener) { m_openLink = std::move(opener); }

    // Links are numbered from 0 in the order they were shown since the view was last cleared;
    // each keeps its own target text for as long as its line is in the view (empty after that).
    int linkCount() const { return m_droppedLinks + int(m_linkTargets.size()); }
    QString linkTarget(int link) const;

    // The text runs of the lines on screen in their styles' colours, as the view paints them.
    QList<QAbstractTextDocumentLayout::Selection> looks() const;

    // The context menu's items, and the second "Scroll Chat Off" and "Clear Main Chat" items for
    // the main window's Options menu; both pairs show and change the same state.
    QMenu *contextMenu() const { return m_popup; }
    QAction *scrollChatOff1() const { return m_scrollChatOff1; }
    QAction *scrollChatOff2() const { return m_scrollChatOff2; }
    QAction *clearMainChat1() const { return m_clearMainChat1; }
    QAction *clearMainChat2() const { return m_clearMainChat2; }
    QAction *copy1() const { return m_copy1; }
    QAction *selectAll1() const { return m_selectAll1; }

public slots:
    void ScrollChatOff1Click();
    void ClearMainChat1Click();
    void Copy1Click();
    void SelectAll1Click();
    void mainchatJump(int link);

signals:
    // The view was emptied by "Clear Main Chat"; the main window puts the focus into the entry.
    void cleared();
    // A game's invite link ("vrel://" and its address) was clicked: the game, not the browser,
    // takes it.
    void gameLinkClicked(const QString &link);
    // A link was clicked: the keyboard goes back to where the player types.
    void linkUsed();
    // A key the view has no use for (a letter, Enter): it belongs to where the player types, and
    // the main window hands it on there.
    void keyForEntry(QKeyEvent *event);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct Style
    {
        quint32 colour;
        bool bold = false;
        bool underlined = false;
    };

    QAction *makeAction(const QString &text, const char *name);
    void prepareDocument();
    void applyTextSize();
    void provideSmileyPictures();
    void resizeSmilies();
    QSizeF smileySize() const;
    void setStyleLook(int style, quint32 colour, bool bold);
    QTextCharFormat styleFormat(int style) const;
    QTextCharFormat lookOf(int style) const;
    QTextBlockFormat lineFormat(int seat) const;
    void insertLine(const ChatLine &line);
    int dropOldestLines();
    int linesToDrop() const;
    qreal insertRemovedNotice();

    void openClickedLink(const QUrl &href);
    void reportUnopenableLink();

    std::array<Style, ChatStyleCount> m_styles;
    std::deque<QString> m_linkTargets; // the links of the lines kept, oldest first
    std::deque<int> m_lineLinks;       // how many links each line kept has, oldest first
    std::deque<int> m_linePieces;      // how many links and pictures each line kept has
    int m_pieces = 0;                  // links and pictures of the lines kept
    int m_droppedLinks = 0;            // links whose lines were dropped since the last clear
    LinkOpener m_openLink;
    int m_textSize = DefaultTextSize;
    int m_pendingTextSize = DefaultTextSize;
    bool m_scrollLocked = false;
    qreal m_smileyPixelRatio = 0;
    qreal m_scale = 1;

    QMenu *m_popup = nullptr;
    QAction *m_scrollChatOff1 = nullptr;
    QAction *m_scrollChatOff2 = nullptr;
    QAction *m_clearMainChat1 = nullptr;
    QAction *m_clearMainChat2 = nullptr;
    QAction *m_copy1 = nullptr;
    QAction *m_selectAll1 = nullptr;
};

} // namespace chat
