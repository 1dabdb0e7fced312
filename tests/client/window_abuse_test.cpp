// The window against a host that sends what a hostile or broken host would: one line stuffed with
// thousands of links or smilies, lines that change colour every time, a flood at the host's full
// rate, a message that never ends, more than a window can ever work off. Every byte comes from a
// peer that plays the host's part.

#include "tests/client/fake_host_game.h"

#include "chat/chatentry.h"
#include "tests/support/chat_drawing.h"

#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextBlock>

using testing_support::settle;
using testing_support::waitUntil;

namespace {
const QByteArray T("\xFF", 1);

QByteArray repeated(const QByteArray &piece, int times)
{
    QByteArray all;
    all.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        all += piece;
    return all;
}

// The colour the text of a line of the chat is painted in.
QColor paintedColour(const chat::ChatView &view, const QTextBlock &block)
{
    return testing_support::drawnFormat(view, block.begin().fragment()).foreground().color();
}
} // namespace

class WindowUnderAbuse : public FakeHostGame
{
protected:
    // Ann joins the peer that plays the host and gets seat 2.
    void SetUp() override
    {
        joinAnn();
        peer->send("CMD_newplayerinfo+2+Ann" + T);
        ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == QLatin1String("Ann"); }));
    }

    ClientSession &session() { return ann->session(); }
    chat::ChatView &view() { return *ann->chat().mainchat(); }
    // Everything received so far is worked off.
    bool caughtUp() { return session().queuedMessages() == 0; }
};

TEST_F(WindowUnderAbuse, ALineStuffedWithLinksOrSmiliesIsShownAtOnceAndTheWindowAnswers)
{
    const QByteArray links = "CMD_chat+3+" + repeated("www.a.b ", 7900) + "|clRed" + T;
    const QByteArray smilies = "CMD_chat+3+" + repeated(":)#12 ", 7900) + "|clRed" + T;
    QElapsedTimer clock;
    clock.start();
    peer->send(links + smilies + "CMD_hiscount+2+4+" + T);
    // Before, the first line alone froze the window for minutes.
    ASSERT_TRUE(waitUntil([&] { return caughtUp() && session().seat(2).wordCount == 4; }, 3000));
    RecordProperty("milliseconds", int(clock.elapsed()));

    const QStringList lines = chatLines(*ann);
    ASSERT_EQ(lines.size(), 4) << lines.join('|').left(300).toStdString();
    EXPECT_EQ(lines[2].count(QStringLiteral("www.a.b")), 7900);
    // Only the first links and smilies of a line become links and pictures; the rest is text.
    EXPECT_EQ(view().linkCount(), chat::MaxLinksPerLine);
    const QString smileyLine = view().document()->findBlockByNumber(3).text();
    EXPECT_EQ(smileyLine.count(QChar::ObjectReplacementCharacter), chat::MaxSmiliesPerLine);
    // (The line's first ":" ends its head, which takes the first smiley apart.)
    EXPECT_EQ(smileyLine.count(QStringLiteral(":)#12")), 7900 - 1 - chat::MaxSmiliesPerLine);
    EXPECT_EQ(paintedColour(view(), view().document()->findBlockByNumber(3)), testing_support::onChat(Qt::red));
    screenshot(&ann->chat(), QStringLiteral("lines-stuffed-with-links-and-smilies"));

    // The window still answers the player at once.
    chat::ChatEntry *entry = ann->chat().mychat();
    entry->setFocus();
    QTest::keyClicks(entry, QStringLiteral("ok"));
    EXPECT_EQ(entry->text(), "ok");
}

TEST_F(WindowUnderAbuse, LinesThatAlternateColoursCostTheSameHoweverManyCameBefore)
{
    // 3,000 lines of one seat in two colours, in four batches: each line recolours the seat's
    // earlier lines, which must not cost more as they pile up.
    constexpr int kBatches = 4, kPerBatch = 750;
    std::vector<qint64> batchMs;
    for (int batch = 0; batch < kBatches; ++batch) {
        QByteArray bytes;
        for (int i = 0; i < kPerBatch; ++i) {
            const int n = batch * kPerBatch + i;
            bytes += "CMD_chat+3+Cid chats: line " + QByteArray::number(n) + (n % 2 ? "|clBlue" : "|clRed") + T;
        }
        const QString last = QStringLiteral("line %1").arg((batch + 1) * kPerBatch - 1);
        QElapsedTimer clock;
        clock.start();
        peer->send(bytes);
        ASSERT_TRUE(waitUntil([&] { return caughtUp() && chatText(*ann).endsWith(last + QLatin1Char(' ')); }, 20000));
        batchMs.push_back(clock.elapsed());
    }
    RecordProperty("batch_ms", QStringLiteral("%1 %2 %3 %4").arg(batchMs[0]).arg(batchMs[1]).arg(batchMs[2])
                                   .arg(batchMs[3]).toStdString());
    // Linear: the last batch costs about what the first did (quadratic would be seven times).
    EXPECT_LT(batchMs.back(), 3 * batchMs.front() + 300) << batchMs.front() << " then " << batchMs.back();

    // The view keeps every line, each painted in the seat's colour of now.
    QTextDocument *document = view().document();
    const QTextBlock oldest = document->find(QStringLiteral(" line 0 ")).block();
    ASSERT_TRUE(oldest.isValid());
    EXPECT_EQ(document->blockCount() - oldest.blockNumber(), 3000);
    EXPECT_TRUE(document->lastBlock().text().contains(QLatin1String("line 2999")));
    EXPECT_EQ(paintedColour(view(), document->lastBlock()), QColor(Qt::blue));
    view().verticalScrollBar()->setValue(0);
    EXPECT_EQ(paintedColour(view(), oldest), QColor(Qt::blue));
    peer->send("CMD_chat+3+Cid chats: red again|clRed" + T);
    ASSERT_TRUE(waitUntil([&] { return document->lastBlock().text().contains(QLatin1String("red again")); }));
    view().verticalScrollBar()->setValue(0);
    EXPECT_EQ(paintedColour(view(), oldest), testing_support::onChat(Qt::red));
    screenshot(&ann->chat(), QStringLiteral("recoloured-oldest-lines"));
}

TEST_F(WindowUnderAbuse, AHostSendingAtFullRateForAMinuteNeverGetsAhead)
{
    // The host relays at most one message of a connection a pace: one flooder for a minute.
    constexpr int kSeconds = 60;
    const int perSecond = 1000 / proto::timing::kHostPaceMs;
    int sent = 0, mostQueued = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kSeconds * 1000) {
        for (; sent < clock.elapsed() * perSecond / 1000; ++sent)
            peer->send("CMD_chat+3+Cid chats: flood " + QByteArray::number(sent) + " see www.x.org :)#1"
                       + QByteArray::number(sent % 8 + 10) + (sent % 2 ? "|clBlue" : "|clRed") + T);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        mostQueued = std::max(mostQueued, session().queuedMessages());
    }
    const QString last = QStringLiteral("flood %1 ").arg(sent - 1);
    ASSERT_TRUE(waitUntil([&] { return caughtUp() && view().document()->lastBlock().text().contains(last); }));
    RecordProperty("most_queued", mostQueued);
    // Falling behind by a third of the rate, as before, would leave thousands queued by now.
    EXPECT_LT(mostQueued, perSecond) << sent << " sent";
    EXPECT_GE(sent, kSeconds * perSecond - 1);
    EXPECT_TRUE(ann->chat().isVisible());
}

TEST_F(WindowUnderAbuse, AMessageThatNeverEndsClosesTheWindowWithItsReason)
{
    peer->send("CMD_hiscount+2+3+" + T + "CMD_chat+3+" + repeated("x", 70 * 1024));
    ASSERT_TRUE(waitUntil([&] { return endings == 1; }));
    EXPECT_EQ(boxes, QStringList({"The host sent a message too long to read (more than 64 KB). "
                                  "The connection is closed."}));
    EXPECT_FALSE(ann->chat().isVisible());
    EXPECT_TRUE(peer->closedByPeer());
}

TEST_F(WindowUnderAbuse, AHostThatKeepsTheWindowTooFarBehindEndsTheSession)
{
    // With the window's dispatch held still, the host gets one message past the cap ahead.
    session().setManualDispatch(true);
    peer->send(repeated("CMD_hiscount+3+1+" + T, ClientSession::kMaxQueuedMessages));
    ASSERT_TRUE(waitUntil([&] { return session().queuedMessages() == ClientSession::kMaxQueuedMessages; }));
    settle(50);
    EXPECT_EQ(endings, 0);
    peer->send("CMD_hiscount+3+2+" + T);
    ASSERT_TRUE(waitUntil([&] { return endings == 1; }));
    EXPECT_EQ(boxes, QStringList({"The host sends more than this game can keep up with. The connection is closed."}));
    EXPECT_EQ(session().queuedMessages(), 0);
    EXPECT_TRUE(peer->closedByPeer());
}
