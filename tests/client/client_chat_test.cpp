// Chat between copies of the program: lines and actions typed into the entry travel through the
// host to every copy and show in the sender's colour.

#include "tests/client/client_fixture.h"

#include "chat/chatentry.h"
#include "protocol/constants.h"
#include "tests/support/chat_drawing.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using testing_support::RawClient;
using testing_support::settle;
using testing_support::waitUntil;

namespace {

// The colour the head of the line containing `text` is painted in.
QColor colourOfLine(VrelProgram &program, const QString &text)
{
    const chat::ChatView &view = *program.chat().mainchat();
    for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next()) {
        if (block.text().contains(text))
            return testing_support::drawnFormat(view, block.begin().fragment()).foreground().color();
    }
    return {};
}

void type(VrelProgram &program, const QString &text)
{
    chat::ChatEntry *entry = program.chat().mychat();
    entry->setFocus();
    QTest::keyClicks(entry, text);
    QTest::keyClick(entry, Qt::Key_Return);
}

} // namespace

class ClientChat : public ClientFixture
{
};

TEST_F(ClientChat, LinesAndActionsReachEveryCopyInTheSendersColour)
{
    auto ann = host(QStringLiteral("Ann"));
    int seat = 0;
    auto bob = joinRaw(portOf(*ann), "Bob", &seat);
    auto cid = start({QStringLiteral("Cid"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, portOf(*ann));
    ASSERT_TRUE(waitUntil([&] { return rowName(*cid, 1) == QLatin1String("Ann"); }));
    bob->drain(100);

    // The entry starts with its placeholder, which the first key empties.
    EXPECT_EQ(ann->chat().mychat()->text(), "<Enter Chat Here>");
    type(*ann, QStringLiteral("hello 1+1"));
    EXPECT_EQ(ann->chat().mychat()->text(), "");
    EXPECT_EQ(bob->waitFor("CMD_chat"), QByteArray("CMD_chat+1+Ann chats: hello 1+1|clBlack"));
    type(*ann, QStringLiteral("/me waves"));
    EXPECT_EQ(bob->waitFor("CMD_action"), QByteArray("CMD_action+1+Ann waves|clBlack"));
    type(*ann, QStringLiteral("/help"));
    EXPECT_EQ(ann->chat().mychat()->text(), "");

    bob->send(QByteArray("CMD_chat+2+see www.example.org :)#12|clRed\xFF"));
    ASSERT_TRUE(waitUntil([&] { return chatText(*cid).contains("Bob chats:") && chatText(*ann).contains("Bob chats:"); }));
    for (VrelProgram *copy : {ann.get(), cid.get()}) {
        EXPECT_TRUE(chatLines(*copy).contains("Ann chats: hello 1+1"));
        EXPECT_TRUE(chatLines(*copy).contains("Ann waves"));
        // Every copy draws the red darker alike, so that it reads on the chat's peach.
        EXPECT_EQ(colourOfLine(*copy, QStringLiteral("Bob chats:")), testing_support::onChat(Qt::red));
    }
    // Bob hears his own line back; "/help" sent nothing.
    EXPECT_EQ(bob->drain(200), QList<QByteArray>({"CMD_chat+2+Bob chats: see www.example.org :)#12|clRed"}));

    // A new colour recolours the sender's earlier lines on every copy.
    ann->chat().chooseColour = [](quint32) { return std::optional<quint32>(0x000080FF); };
    ann->chat().TextColor1Click();
    type(*ann, QStringLiteral("orange now"));
    EXPECT_EQ(bob->waitFor("CMD_chat"), QByteArray("CMD_chat+1+Ann chats: orange now|$000080FF"));
    ASSERT_TRUE(waitUntil([&] { return chatText(*cid).contains("orange now"); }));
    EXPECT_EQ(colourOfLine(*cid, QStringLiteral("hello 1+1")), testing_support::onChat(QColor(0xFF, 0x80, 0x00)));
}

TEST_F(ClientChat, TheEntryHoldsNoMoreThanTheHostRelays)
{
    auto ann = host(QStringLiteral("Ann"));
    auto bob = joinRaw(portOf(*ann), "Bob");
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == QLatin1String("Bob"); }));
    bob->drain(100);
    chat::ChatEntry *entry = ann->chat().mychat();
    entry->setFocus();
    entry->clear();

    // A pasted 100,000-byte line fills the entry up to the limit; a full entry takes no more.
    QGuiApplication::clipboard()->setText(QString(100000, QLatin1Char('p')));
    QTest::keyClick(entry, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(entry->text().size(), proto::kMaxChatChars);
    QTest::keyClicks(entry, QStringLiteral("xyz"));
    entry->appendSmiley(12);
    EXPECT_EQ(entry->text(), QString(proto::kMaxChatChars, QLatin1Char('p')));

    // What is typed up to the limit goes out whole, and Ann keeps her seat.
    entry->clear();
    QTest::keyClicks(entry, QStringLiteral("ab"));
    entry->Paste1Click();
    EXPECT_EQ(entry->text(), QStringLiteral("ab") + QString(proto::kMaxChatChars - 2, QLatin1Char('p')));
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_EQ(bob->waitFor("CMD_chat"),
              "CMD_chat+1+Ann chats: ab" + QByteArray(proto::kMaxChatChars - 2, 'p') + "|clBlack");
    settle(100);
    EXPECT_EQ(rowName(*ann, 1), "Ann");
    EXPECT_EQ(endings, 0);
}

TEST_F(ClientChat, NothingIsSentBeforeTheSeatIsKnown)
{
    auto waiting = start({QStringLiteral("Ann"), QStringLiteral("127.0.0.1")});
    type(*waiting, QStringLiteral("hello"));
    EXPECT_EQ(waiting->chat().mychat()->text(), "hello");
}

TEST_F(ClientChat, TheMainWindowAsAPlayerSeesIt)
{
    auto ann = host(QStringLiteral("Ann"));
    auto bob = joinRaw(portOf(*ann), "Bob");
    auto cid = joinRaw(portOf(*ann), "Cid");
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 3) == QLatin1String("Cid"); }));
    type(*ann, QStringLiteral("Welcome! Rules at www.example.org/vrel :)#10"));
    bob->send(QByteArray("CMD_chat+2+thanks :)#13 ready when you are|clPurple\xFF"));
    cid->send(QByteArray("CMD_action+3+waves to everybody :)#20|clGreen\xFF"));
    ASSERT_TRUE(waitUntil([&] { return chatText(*ann).contains("waves to everybody"); }));
    // Words and colour of the game's own line, from a player: without the band of the game's lines.
    cid->send(QByteArray("CMD_action+3+disconnected.|clBlue\xFF"));
    ASSERT_TRUE(waitUntil([&] { return chatLines(*ann).contains("Cid disconnected."); }));
    bob->close();
    ASSERT_TRUE(waitUntil([&] { return chatLines(*ann).contains("Bob disconnected."); }));
    settle(100);

    EXPECT_EQ(ann->chat().size(), QSize(775, 577));
    EXPECT_EQ(ann->chat().board()->size(), QSize(764, 529));
    const QImage shot = ann->chat().grab().toImage();
    QDir().mkpath(QStringLiteral("screenshots"));
    EXPECT_TRUE(shot.save(QStringLiteral("screenshots/main-window.png")));
    // The board's backdrop is drawn, not a blank window.
    EXPECT_NE(shot.pixelColor(300, 150), shot.pixelColor(5, 200));
}
