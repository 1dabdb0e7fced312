#include "chat/chatview.h"
#include "tests/support/screenshot.h"

#include <QApplication>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

using namespace chat;

namespace {

// A shown view whose links land in `opened` instead of a browser.
struct LinkFixture
{
    LinkFixture()
    {
        view.setLinkOpener([this](const QUrl &url) {
            opened.push_back(url);
            return openerWorks;
        });
        view.resize(400, 150);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    ~LinkFixture() { closeMessageBoxes(); }

    // Where in the viewport the given text of the given paragraph is shown, scrolled into view.
    QPoint pointOf(int paragraph, const QString &text)
    {
        const QTextBlock block = view.document()->findBlockByNumber(paragraph);
        const int offset = int(block.text().indexOf(text));
        EXPECT_GE(offset, 0) << text.toStdString();
        QTextCursor cursor(view.document());
        cursor.setPosition(block.position() + offset + 1);
        view.setTextCursor(cursor);
        view.ensureCursorVisible();
        return view.cursorRect(cursor).center();
    }

    void click(int paragraph, const QString &text)
    {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, pointOf(paragraph, text));
    }

    static QStringList messageBoxTexts()
    {
        QStringList texts;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
                texts << box->windowTitle() + QStringLiteral(": ") + box->text();
        }
        return texts;
    }

    static void closeMessageBoxes()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(widget))
                box->close();
        }
        QCoreApplication::processEvents();
    }

    ChatView view;
    std::vector<QUrl> opened;
    bool openerWorks = true;
};

} // namespace

TEST(ChatLinks, ASingleClickOpensTheLinkOverHttp)
{
    LinkFixture f;
    f.view.addlinetochat(QStringLiteral("3+Ann chats: look www.x.org/a now"), 0x000000FF);
    f.view.addlinetochat(QStringLiteral("4+Bob chats: HTTP://www.Foo.com/Page"), 0x00FF0000);
    f.click(0, QStringLiteral("www.x.org"));
    ASSERT_EQ(f.opened.size(), 1u);
    EXPECT_EQ(f.opened[0], QUrl(QStringLiteral("http://www.x.org/a")));

    f.click(1, QStringLiteral("Foo.com"));
    ASSERT_EQ(f.opened.size(), 2u);
    EXPECT_EQ(f.opened[1].scheme(), QStringLiteral("http"));
    EXPECT_EQ(f.opened[1].host(), QStringLiteral("www.foo.com"));
    EXPECT_EQ(f.opened[1].path(), QStringLiteral("/Page"));

    // https:// is a link like http://, opened as it stands.
    f.view.addlinetochat(QStringLiteral("5+Cy chats: see https://example.net/p?q=1 too"), 0);
    f.click(2, QStringLiteral("example.net"));
    ASSERT_EQ(f.opened.size(), 3u);
    EXPECT_EQ(f.opened[2], QUrl(QStringLiteral("https://example.net/p?q=1")));
    testing_support::screenshot(&f.view, QStringLiteral("chat-https-link"));

    // A click on plain text opens nothing.
    f.click(0, QStringLiteral("look"));
    EXPECT_EQ(f.opened.size(), 3u);
    EXPECT_TRUE(LinkFixture::messageBoxTexts().isEmpty());
}

TEST(ChatLinks, TheMouseIsAHandOverALink)
{
    LinkFixture f;
    f.view.addlinetochat(QStringLiteral("3+Ann chats: look www.x.org now"), 0);
    QTest::mouseMove(f.view.viewport(), f.pointOf(0, QStringLiteral("look")));
    EXPECT_NE(f.view.viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(f.view.viewport(), f.pointOf(0, QStringLiteral("www.x.org")));
    EXPECT_EQ(f.view.viewport()->cursor().shape(), Qt::PointingHandCursor);
}

TEST(ChatLinks, EveryLinkKeepsItsOwnTargetAlsoAfterAClear)
{
    LinkFixture f;
    for (int i = 0; i < 120; ++i)
        f.view.addlinetochat(QStringLiteral("%1+P: go www.site%2.org/p%2 or http://alt%2.net")
                                 .arg(i % 9 + 1)
                                 .arg(i),
                             0);
    EXPECT_EQ(f.view.linkCount(), 240);
    EXPECT_EQ(f.view.linkTarget(239), QStringLiteral("http://alt119.net "));

    for (int i : {0, 57, 101, 119}) {
        f.click(i, QStringLiteral("www.site%1").arg(i));
        f.click(i, QStringLiteral("alt%1").arg(i));
    }
    const std::vector<QUrl> expected{
        QUrl(QStringLiteral("http://www.site0.org/p0")),     QUrl(QStringLiteral("http://alt0.net")),
        QUrl(QStringLiteral("http://www.site57.org/p57")),   QUrl(QStringLiteral("http://alt57.net")),
        QUrl(QStringLiteral("http://www.site101.org/p101")), QUrl(QStringLiteral("http://alt101.net")),
        QUrl(QStringLiteral("http://www.site119.org/p119")), QUrl(QStringLiteral("http://alt119.net"))};
    EXPECT_EQ(f.opened, expected);

    f.view.ClearMainChat1Click();
    f.opened.clear();
    f.view.addlinetochat(QStringLiteral("1+A: www.after.org"), 0);
    f.view.addlinetochat(QStringLiteral("2+B: www.later.org"), 0);
    f.click(1, QStringLiteral("later"));
    f.click(0, QStringLiteral("after"));
    const std::vector<QUrl> afterClear{QUrl(QStringLiteral("http://www.later.org")),
                                       QUrl(QStringLiteral("http://www.after.org"))};
    EXPECT_EQ(f.opened, afterClear);
}

TEST(ChatLinks, HostileLinkWordsNeverOpenAnythingButHttp)
{
    LinkFixture f;
    const QStringList hostile{
        QStringLiteral("file:///etc/passwd?www."), QStringLiteral("javascript:alert(1)//www.x"),
        QStringLiteral("http://file:///etc/shadow"), QStringLiteral("ftp://www.x.org/f"),
        QStringLiteral("smb://www.x.org/s"),          QStringLiteral("http://")};
    for (int i = 0; i < hostile.size(); ++i) {
        f.view.addlinetochat(QStringLiteral("1+Mal chats: ") + hostile[i], 0);
        f.click(i, hostile[i].left(6));
        EXPECT_EQ(LinkFixture::messageBoxTexts(), QStringList{QStringLiteral("Vrel: Cannot open Webpage")})
            << hostile[i].toStdString();
        LinkFixture::closeMessageBoxes();
    }
    for (const QUrl &url : f.opened)
        ADD_FAILURE() << "opened " << url.toString().toStdString();
    EXPECT_EQ(f.view.document()->blockCount(), hostile.size()); // the chat is unchanged

    f.view.addlinetochat(QStringLiteral("1+Ok chats: https://www.x.org/safe"), 0);
    f.click(int(hostile.size()), QStringLiteral("www.x.org"));
    ASSERT_EQ(f.opened.size(), 1u);
    EXPECT_EQ(f.opened[0], QUrl(QStringLiteral("https://www.x.org/safe")));
}

// An invite link to a game is a link like a web address, but the game takes it, never the
// browser; "vrel://" in the middle of a word, or in capitals, is text.
TEST(ChatLinks, AnInviteLinkClickedGoesToTheGameNotTheBrowser)
{
    LinkFixture f;
    QStringList games;
    QObject::connect(&f.view, &ChatView::gameLinkClicked, [&](const QString &link) { games << link; });
    f.view.addlinetochat(QStringLiteral("3+Ann chats: join vrel://[2001:db8::1]:7800 or xvrel://a:1 VREL://b:2"), 0);
    EXPECT_EQ(f.view.linkCount(), 1);
    f.click(0, QStringLiteral("2001:db8"));
    EXPECT_EQ(games, QStringList{QStringLiteral("vrel://[2001:db8::1]:7800")});
    f.click(0, QStringLiteral("xvrel"));
    f.click(0, QStringLiteral("VREL"));
    EXPECT_EQ(games.size(), 1);
    EXPECT_TRUE(f.opened.empty());
    EXPECT_TRUE(LinkFixture::messageBoxTexts().isEmpty());
}

TEST(ChatLinks, ABrowserThatCannotBeStartedIsReported)
{
    LinkFixture f;
    f.openerWorks = false;
    f.view.addlinetochat(QStringLiteral("1+A: www.x.org"), 0);
    f.click(0, QStringLiteral("www.x.org"));
    EXPECT_EQ(f.opened.size(), 1u);
    EXPECT_EQ(LinkFixture::messageBoxTexts(), QStringList{QStringLiteral("Vrel: Cannot open Webpage")});
}

TEST(ChatLinks, TheViewKeepsTheNewestLinesWithTheirLinksAndALockedViewStaysPut)
{
    LinkFixture f;
    // One line past the most the view keeps: the oldest lines go, a batch at once.
    const int total = ChatView::MaxLines + 1;
    const int kept = ChatView::MaxLines - ChatView::DroppedLines;
    const int firstKept = total - kept;
    for (int i = 0; i < total; ++i)
        f.view.addlinetochat(QStringLiteral("%1+P: line %2 www.site%2.org").arg(i % 9 + 1).arg(i), 0);
    QTextDocument *document = f.view.document();
    // A system line on top says that older lines went.
    EXPECT_EQ(document->blockCount(), kept + 1);
    EXPECT_EQ(document->firstBlock().text(), QStringLiteral(" Older lines were removed."));
    EXPECT_TRUE(document->findBlockByNumber(1).text().contains(QStringLiteral("line %1 ").arg(firstKept)));
    // Links keep their numbers; those of dropped lines have no target any more.
    EXPECT_EQ(f.view.linkCount(), total);
    EXPECT_EQ(f.view.linkTarget(firstKept - 1), QString());
    EXPECT_EQ(f.view.linkTarget(firstKept), QStringLiteral("www.site%1.org ").arg(firstKept));
    f.click(1, QStringLiteral("www.site%1").arg(firstKept));
    f.click(kept, QStringLiteral("www.site%1").arg(total - 1));
    const std::vector<QUrl> expected{QUrl(QStringLiteral("http://www.site%1.org").arg(firstKept)),
                                     QUrl(QStringLiteral("http://www.site%1.org").arg(total - 1))};
    EXPECT_EQ(f.opened, expected);

    // With the scroll lock on, the lines on screen stay in place while the oldest ones go.
    f.view.setScrollLocked(true);
    QScrollBar *bar = f.view.verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    const QString onTop = f.view.cursorForPosition(QPoint(10, 10)).block().text();
    // (The notice on top counts among the lines: these fill the view past its limit by one.)
    for (int i = 0; i < ChatView::DroppedLines; ++i)
        f.view.addlinetochat(QStringLiteral("1+P: more %1").arg(i), 0);
    EXPECT_EQ(document->blockCount(), kept + 1);
    EXPECT_EQ(document->firstBlock().text(), QStringLiteral(" Older lines were removed."));
    // The notice of the first drop went with the oldest lines: one notice, on top.
    EXPECT_EQ(document->toPlainText().count(QStringLiteral("Older lines were removed.")), 1);
    EXPECT_EQ(f.view.cursorForPosition(QPoint(10, 10)).block().text(), onTop);

    // Lines stuffed with links and pictures go sooner: the view keeps no more of them than its
    // budget, whatever the number of lines, and the newest line's links still open.
    f.view.setScrollLocked(false);
    const QString stuffed = QStringLiteral("3+Bob chats: ") + QStringLiteral("www.x ").repeated(50) + QStringLiteral(":)#12").repeated(50);
    for (int i = 0; i <= ChatView::MaxPieces / 100; ++i)
        f.view.addlinetochat(stuffed, 0);
    int pieces = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat())
                pieces += it.fragment().length();
            else if (format.isAnchor() && it.fragment().text() != QStringLiteral(" "))
                ++pieces;
        }
    }
    EXPECT_LE(pieces, ChatView::MaxPieces);
    EXPECT_GT(pieces, ChatView::MaxPieces - ChatView::DroppedPieces - 100);
    EXPECT_EQ(document->firstBlock().text(), QStringLiteral(" Older lines were removed."));
    EXPECT_EQ(document->lastBlock().text().count(QStringLiteral("www.x")), 50);
    f.opened.clear();
    f.click(document->blockCount() - 1, QStringLiteral("www.x"));
    EXPECT_EQ(f.opened, std::vector<QUrl>{QUrl(QStringLiteral("http://www.x"))});
}
