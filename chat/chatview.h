#pragma once

#include "chat/chatline.h"
#include "chat/colourtext.h"
#include "chat/linktarget.h"

#include <QTextBrowser>
#include <QTextCharFormat>

#include <array>
#include <vector>

class QAction;
class QMenu;

namespace chat {

// The chat view ("mainchat"): one paragraph per chat line, in 15 text styles whose colour and
// boldness are shared by all lines of a seat (and by all system lines), links that open in the
// desktop's browser, and smiley pictures.
class ChatView : public QTextBrowser
{
    Q_OBJECT

public:
    static constexpr int DefaultTextSize = 10;
    static constexpr quint32 BackgroundColour = 0x00B0DAFF;
    static constexpr quint32 LinkColour = ColourGreen;

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

    bool scrollLocked() const { return m_scrollLocked; }
    void setScrollLocked(bool locked);

    // Tests replace the browser with a function that records the address.
    void setLinkOpener(LinkOpener opener) { m_openLink = std::move(opener); }

    // The target text of link number n (each link keeps its own until the view is cleared).
    int linkCount() const { return int(m_linkTargets.size()); }
    QString linkTarget(int link) const;

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

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
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
    void setStyleLook(int style, quint32 colour, bool bold);
    QTextCharFormat styleFormat(int style) const;
    void insertLine(const ChatLine &line);
    void openClickedLink(const QUrl &href);
    void reportUnopenableLink();

    std::array<Style, ChatStyleCount> m_styles;
    std::vector<QString> m_linkTargets;
    LinkOpener m_openLink;
    int m_textSize = DefaultTextSize;
    int m_pendingTextSize = DefaultTextSize;
    bool m_scrollLocked = false;
    qreal m_smileyPixelRatio = 0;

    QMenu *m_popup = nullptr;
    QAction *m_scrollChatOff1 = nullptr;
    QAction *m_scrollChatOff2 = nullptr;
    QAction *m_clearMainChat1 = nullptr;
    QAction *m_clearMainChat2 = nullptr;
    QAction *m_copy1 = nullptr;
    QAction *m_selectAll1 = nullptr;
};

} // namespace chat
