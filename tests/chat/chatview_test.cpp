#include "chat/chatview.h"
#include "chat/colourdrawing.h"
#include "resources/art/contrast.h"
#include "tests/support/chat_drawing.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextFrame>

#include <gtest/gtest.h>

using namespace chat;

namespace {

struct Piece
{
    QString text;
    QTextCharFormat format;
};

// The fragments of one paragraph with the formats the view paints them with.
std::vector<Piece> paragraph(const ChatView &view, int number)
{
    std::vector<Piece> pieces;
    const QTextBlock block = view.document()->findBlockByNumber(number);
    for (auto it = block.begin(); !it.atEnd(); ++it)
        pieces.push_back({it.fragment().text(), testing_support::drawnFormat(view, it.fragment())});
    return pieces;
}

QString paragraphText(const ChatView &view, int number)
{
    return view.document()->findBlockByNumber(number).text();
}

// Every text piece of the paragraph that is not a link or a picture, with its colour.
std::vector<QColor> textColours(const ChatView &view, int number)
{
    std::vector<QColor> colours;
    for (const Piece &piece : paragraph(view, number)) {
        if (!piece.format.isImageFormat() && !piece.format.isAnchor())
            colours.push_back(piece.format.foreground().color());
    }
    return colours;
}

void expectAllIn(const std::vector<QColor> &colours, QColor expected, const char *what)
{
    ASSERT_FALSE(colours.empty()) << what;
    for (const QColor &colour : colours)
        EXPECT_EQ(colour, expected) << what << ": " << colour.name().toStdString();
}

// The colours as the view draws them on its peach: red, green and orange are made darker there
// to read; blue reads as it is.
const QColor red = testing_support::onChat(QColor(255, 0, 0)), green = testing_support::onChat(QColor(0, 128, 0)),
             blue(0, 0, 255), orange = testing_support::onChat(QColor(255, 128, 0));

// A view on screen: the lines it shows are painted in their styles' colours.
struct ShownView : ChatView
{
    ShownView()
    {
        resize(400, 200);
        show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
    }
};

} // namespace

TEST(ChatView, ALineShowsHeadWordsAndPicturesInItsSeatStyle)
{
    ShownView view;
    view.addlinetochat(QStringLiteral("3+Ann chats: hi :)#12 there"), 0x000000FF);
    ASSERT_EQ(view.document()->blockCount(), 1);
    EXPECT_EQ(paragraphText(view, 0),
              QStringLiteral("Ann chats:  hi  ") + QChar::ObjectReplacementCharacter
                  + QStringLiteral(" there "));

    const std::vector<Piece> pieces = paragraph(view, 0);
    int pictures = 0;
    for (const Piece &piece : pieces) {
        if (piece.format.isImageFormat()) {
            ++pictures;
            EXPECT_EQ(piece.format.toImageFormat().name(), QStringLiteral("smiley:2"));
            EXPECT_EQ(piece.format.toImageFormat().width(), 17);
            EXPECT_EQ(piece.format.toImageFormat().height(), 16);
        } else {
            EXPECT_EQ(piece.format.foreground().color(), red);
            EXPECT_EQ(piece.format.fontWeight(), QFont::Bold);
        }
    }
    EXPECT_EQ(pictures, 1);
}

TEST(ChatView, ASeatsNewColourRecoloursItsEarlierLinesOnly)
{
    ShownView view;
    view.addlinetochat(QStringLiteral("3+Ann chats: hi :)#10 www.x.org"), 0x000000FF);
    view.addlinetochat(QStringLiteral("4+Bob chats: yo"), 0x00FF0000);
    view.addlinetochat(QStringLiteral("0+Cy is Connected."), 0x00FF0000);
    view.addlinetochat(QStringLiteral("3+Ann waves"), 0x00008000);
    expectAllIn(textColours(view, 0), green, "Ann's first line");
    expectAllIn(textColours(view, 1), blue, "Bob's line");
    expectAllIn(textColours(view, 3), green, "Ann's action");

    view.addlinetochat(QStringLiteral("3+Ann chats: orange now"), 0x000080FF);
    for (int line : {0, 3, 4})
        expectAllIn(textColours(view, line), orange, "Ann's lines");
    expectAllIn(textColours(view, 1), blue, "Bob's line");

    // Yellow would not read on the peach: it is drawn a darker yellow, just dark enough.
    view.addlinetochat(QStringLiteral("5+Dee chats: sunny"), 0x0000FFFF);
    const QColor yellow = textColours(view, 5).front();
    EXPECT_GE(art::contrast(yellow, view.palette().color(QPalette::Base)), 4.5);
    EXPECT_LT(art::contrast(yellow.lighter(104), view.palette().color(QPalette::Base)), 4.5);
    EXPECT_EQ(yellow.red(), yellow.green());
    EXPECT_EQ(yellow.blue(), 0);

    // The link in Ann's first line keeps the link look; its blank is not underlined.
    QString linkText;
    for (const Piece &piece : paragraph(view, 0)) {
        if (piece.format.isAnchor()) {
            linkText += piece.text;
            EXPECT_EQ(piece.format.foreground().color(), green);
            EXPECT_EQ(piece.format.fontUnderline(), piece.text != QStringLiteral(" "));
            EXPECT_NE(piece.format.fontWeight(), QFont::Bold);
        }
    }
    EXPECT_EQ(linkText, QStringLiteral("www.x.org "));
}

TEST(ChatView, SystemLinesShareOneStyleAndABandNoPlayersLineTakes)
{
    ShownView view;
    view.addlinetochat(QStringLiteral("0+You are Connected."), 0x00FF0000);
    view.addlinetochat(QStringLiteral("0+Ann is Connected."), 0x000000FF);
    expectAllIn(textColours(view, 0), red, "first system line");
    expectAllIn(textColours(view, 1), red, "second system line");
    EXPECT_EQ(paragraphText(view, 0), QStringLiteral(" You are Connected. "));

    // A player's action that reads like the game's own lines, in the system's blue, with an invite
    // link: the same words and colour, but never the band of the game's lines.
    view.addlinetochat(QStringLiteral("0+Invite link: vrel://203.0.113.9:7772"), chat::SystemLineColour);
    view.addlinetochat(QStringLiteral("7+Bill Invite link: vrel://203.0.113.9:7772"), chat::SystemLineColour);
    view.addlinetochat(QStringLiteral("2+The game is over."), chat::SystemLineColour);
    auto band = [&view](int line) { return view.document()->findBlockByNumber(line).blockFormat().background(); };
    for (int line : {0, 1, 2})
        EXPECT_EQ(band(line).color(), drawingColour(ChatView::SystemBandColour)) << line;
    for (int line : {3, 4})
        EXPECT_EQ(band(line).style(), Qt::NoBrush) << line;
    EXPECT_EQ(view.linkCount(), 2);
}

TEST(ChatView, DroppedLinesAndHostileTextKeepOneParagraphPerLine)
{
    ChatView view;
    view.addlinetochat(QStringLiteral("x+nobody"), 0x000000FF);
    view.addlinetochat(QStringLiteral("12+nobody"), 0x000000FF);
    EXPECT_TRUE(view.document()->isEmpty());

    view.addlinetochat(QStringLiteral("2+Bob chats: a\nb\rc") + QChar(QChar::ParagraphSeparator)
                           + QStringLiteral("d") + QChar(0xFDD0) + QChar(QChar::ObjectReplacementCharacter)
                           + QStringLiteral("e www.x\ny"),
                       0x000000FF);
    EXPECT_EQ(view.document()->blockCount(), 1);
    EXPECT_EQ(paragraphText(view, 0), QStringLiteral("Bob chats:  a b c d e www.x y "));
}

TEST(ChatView, CopyGivesTheSelectedLinesAsCrLfTextWithoutSmilies)
{
    ChatView view;
    QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
    view.Copy1Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));

    view.addlinetochat(QStringLiteral("3+Ann chats: hi :)#12 there"), 0x000000FF);
    view.addlinetochat(QStringLiteral("0+Bob is Connected."), 0x00FF0000);
    view.addlinetochat(QStringLiteral("4+Bob chats: :)#20www.x.org"), 0x00FF0000);

    QTextCursor selection(view.document());
    selection.setPosition(4); // inside "chats:"
    selection.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    view.setTextCursor(selection);
    view.copy1()->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("chats:  hi   there \r\n Bob is Connected. \r\nBob chats:   www.x.org "));

    // Ctrl+C in the view copies the same way.
    view.SelectAll1Click();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("Ann chats:  hi   there \r\n Bob is Connected. \r\nBob chats:   www.x.org "));
}

TEST(ChatView, SelectAllSelectsEverythingButNothingOnAnEmptyView)
{
    ChatView view;
    view.selectAll1()->trigger();
    EXPECT_FALSE(view.textCursor().hasSelection());

    view.addlinetochat(QStringLiteral("1+A: one"), 0);
    view.addlinetochat(QStringLiteral("2+B: two"), 0);
    view.selectAll1()->trigger();
    EXPECT_EQ(view.textCursor().selectionStart(), 0);
    EXPECT_EQ(view.textCursor().selectionEnd(), view.document()->characterCount() - 1);
}

TEST(ChatView, ClearEmptiesTheViewFromEitherItem)
{
    ChatView view;
    QSignalSpy cleared(&view, &ChatView::cleared);
    view.addlinetochat(QStringLiteral("1+A: www.a.org"), 0);
    view.clearMainChat1()->trigger();
    EXPECT_TRUE(view.document()->isEmpty());
    EXPECT_EQ(view.linkCount(), 0);
    EXPECT_EQ(cleared.count(), 1);

    view.addlinetochat(QStringLiteral("1+A: again"), 0);
    EXPECT_EQ(view.document()->blockCount(), 1);
    view.clearMainChat2()->trigger();
    EXPECT_TRUE(view.document()->isEmpty());
    EXPECT_EQ(cleared.count(), 2);

    // The cleared document keeps the view's margins.
    view.addlinetochat(QStringLiteral("1+A: after"), 0);
    EXPECT_EQ(view.document()->rootFrame()->frameFormat().leftMargin(), 5);
    EXPECT_EQ(view.document()->rootFrame()->frameFormat().rightMargin(), 5);
}

TEST(ChatView, ScrollLockKeepsThePlaceAndBothItemsShowIt)
{
    ChatView view;
    view.resize(300, 120);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QScrollBar *bar = view.verticalScrollBar();

    for (int i = 0; i < 40; ++i)
        view.addlinetochat(QStringLiteral("1+A: line %1").arg(i), 0);
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    view.scrollChatOff1()->trigger();
    EXPECT_TRUE(view.scrollLocked());
    EXPECT_TRUE(view.scrollChatOff1()->isChecked());
    EXPECT_TRUE(view.scrollChatOff2()->isChecked());

    bar->setValue(bar->maximum() / 3);
    const int place = bar->value();
    for (int i = 0; i < 20; ++i)
        view.addlinetochat(QStringLiteral("1+A: more %1").arg(i), 0);
    EXPECT_EQ(bar->value(), place);
    EXPECT_LT(bar->value(), bar->maximum());

    view.scrollChatOff2()->trigger();
    EXPECT_FALSE(view.scrollLocked());
    EXPECT_FALSE(view.scrollChatOff1()->isChecked());
    EXPECT_FALSE(view.scrollChatOff2()->isChecked());
    view.addlinetochat(QStringLiteral("1+A: last"), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    QTest::keyClick(&view, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(view.scrollLocked());
    EXPECT_TRUE(view.scrollChatOff2()->isChecked());
}

TEST(ChatView, TextSizeTakesEffectAtTheNextLayout)
{
    ChatView view;
    EXPECT_EQ(view.document()->defaultFont().pointSize(), 10);
    EXPECT_EQ(view.document()->defaultFont().family(), QStringLiteral("Arial"));

    view.setTextSize(14);
    EXPECT_EQ(view.document()->defaultFont().pointSize(), 10);
    view.addlinetochat(QStringLiteral("1+A: big"), 0);
    EXPECT_EQ(view.document()->defaultFont().pointSize(), 14);

    view.setTextSize(8);
    view.resize(view.width() + 10, view.height());
    view.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(view.document()->defaultFont().pointSize(), 8);

    view.setTextSize(12);
    view.ClearMainChat1Click();
    EXPECT_EQ(view.document()->defaultFont().pointSize(), 12);

    view.setTextSize(0);
    view.setTextSize(-5);
    view.setTextSize(5000);
    view.addlinetochat(QStringLiteral("1+A: same"), 0);
    EXPECT_EQ(view.document()->defaultFont().pointSize(), 12);
}

TEST(ChatView, SystemColoursAndNoColourDrawReadably)
{
    ShownView view;
    view.addlinetochat(QStringLiteral("5+Eve: invisible?"), 0x1FFFFFFF);
    expectAllIn(textColours(view, 0), view.palette().color(QPalette::Text), "clNone");
    view.addlinetochat(QStringLiteral("6+Fay: system"), 0x8000000D);
    expectAllIn(textColours(view, 1), testing_support::onChat(view.palette().color(QPalette::Highlight)), "clHighlight");
    EXPECT_EQ(view.palette().color(QPalette::Base), QColor(0xFF, 0xDA, 0xB0));
}

TEST(ChatView, RightClickOpensTheFourItemMenu)
{
    ChatView view;
    view.resize(300, 120);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 20), view.mapToGlobal(QPoint(20, 20)));
    QCoreApplication::sendEvent(view.viewport(), &click);
    QMenu *menu = view.contextMenu();
    ASSERT_TRUE(menu->isVisible());
    QStringList items;
    for (const QAction *item : menu->actions())
        items << item->objectName() + QLatin1Char('=') + item->text() + QLatin1Char('=')
                     + item->shortcut().toString();
    EXPECT_EQ(items, (QStringList{QStringLiteral("ScrollChatOff1=Scroll Chat O&ff=Ctrl+S"),
                                  QStringLiteral("ClearMainChat1=Clear &Main Chat="),
                                  QStringLiteral("Copy1=&Copy=Ctrl+C"),
                                  QStringLiteral("SelectAll1=Select &All=")}));
    menu->hide();
}

TEST(ChatView, OptionsMenuItemsShareTheStateAndCtrlSWorksAnywhereInTheWindow)
{
    QMainWindow window;
    auto *view = new ChatView;
    auto *entry = new QLineEdit;
    auto *corner = new QWidget;
    auto *layout = new QVBoxLayout(corner);
    layout->addWidget(view);
    layout->addWidget(entry);
    window.setCentralWidget(corner);
    QMenu *options = window.menuBar()->addMenu(QStringLiteral("Options"));
    options->addAction(view->scrollChatOff2());
    options->addAction(view->clearMainChat2());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    view->setFocus();
    QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(view->scrollLocked());
    EXPECT_TRUE(view->scrollChatOff1()->isChecked());
    entry->setFocus();
    QTest::keyClick(entry, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(view->scrollLocked());
    EXPECT_FALSE(view->scrollChatOff2()->isChecked());
}
