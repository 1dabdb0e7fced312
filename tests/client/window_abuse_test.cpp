// The window against a host that sends what a hostile or broken host would: one line stuffed with
// thousands of links or smilies, lines that change colour every time, a flood at the host's full
// rate, a message that never ends, more than a window can ever work off. Every byte comes from a
// peer that plays the host's part.

#include "tests/client/fake_host_game.h"

#include "chat/chatentry.h"
#include "tests/support/chat_drawing.h"

#include <QElapsedTimer>
#include <QMap>
#include <QRegularExpression>
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
    // 3,000 lines of one seat in two colours, in batches the window shows at once (larger ones
    // it would show in part, collapsed): each line recolours the seat's earlier lines, which must
    // not cost more as they pile up.
    constexpr int kBatches = 12, kPerBatch = 250;
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
    QStringList batchTimes;
    for (const qint64 ms : batchMs)
        batchTimes << QString::number(ms);
    RecordProperty("batch_ms", batchTimes.join(u' ').toStdString());
    // Linear: the last batch costs about what the first did (quadratic would be 23 times).
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

TEST_F(WindowUnderAbuse, AFloodRelayedInFullForAMinuteIsShownCollapsedAndTheWindowStays)
{
    // Four players each sending a line of 100 smilies 90 times a second, and a host that relays
    // every line (a host of the classic game paces nothing): the window once ejected itself after
    // some 38 seconds of it. The game's own messages go on meanwhile.
    const QList<QByteArray> names = {"Cid", "Dee", "Eve", "Fay"};
    for (int seat = 3; seat <= 6; ++seat)
        peer->send("CMD_newplayerinfo+" + QByteArray::number(seat) + '+' + names[seat - 3] + T);
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 6) == QLatin1String("Fay"); }));
    QMap<QString, int> shown;
    QMap<QString, int> hidden;
    static const QRegularExpression collapsed(QStringLiteral("^0\\+(\\d+) lines? from (\\w+) not shown$"));
    QObject::connect(&session(), &ClientSession::lineAdded, [&](const QString &line, quint32) {
        const QRegularExpressionMatch match = collapsed.match(line);
        if (match.hasMatch())
            hidden[match.captured(2)] += match.captured(1).toInt();
        else if (line.contains(QLatin1String(" chats: :)#12")))
            ++shown[line.section(u'+', 1).section(u' ', 0, 0)];
    });

    const QByteArray smilies = repeated(":)#12", 100);
    constexpr int kSeconds = 60, kPerSecond = 90;
    int sent = 0, counts = 0, mostQueued = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kSeconds * 1000) {
        for (; sent < clock.elapsed() * kPerSecond / 1000; ++sent) {
            for (int seat = 3; seat <= 6; ++seat)
                peer->send("CMD_chat+" + QByteArray::number(seat) + '+' + names[seat - 3] + " chats: " + smilies + "|clRed" + T);
        }
        for (; counts < clock.elapsed() / 1000; ++counts)
            peer->send("CMD_hiscount+2+" + QByteArray::number(counts % 10 + 1) + '+' + T);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        mostQueued = std::max(mostQueued, session().queuedMessages());
    }
    RecordProperty("most_queued", mostQueued);
    RecordProperty("shown_of_each", shown.value(QStringLiteral("Cid")));
    EXPECT_LT(mostQueued, ChatBacklog::kMaxWaiting);

    // Then 5,000 lines of each at once, more than any window shows in a moment.
    QByteArray burst;
    for (int line = 0; line < 5000; ++line) {
        for (int seat = 3; seat <= 6; ++seat)
            burst += "CMD_chat+" + QByteArray::number(seat) + '+' + names[seat - 3] + " chats: " + smilies + "|clRed" + T;
    }
    peer->send(burst + "CMD_hiscount+2+0+" + T);
    sent += 5000;
    ASSERT_TRUE(waitUntil([&] { return caughtUp() && session().seat(2).wordCount == 0; }, 20000))
        << session().queuedMessages() << " queued, " << session().seat(2).wordCount.value_or(-1) << " words";

    // Still in the game; every line is either shown or counted in a line that says so.
    EXPECT_EQ(endings, 0);
    EXPECT_TRUE(ann->chat().isVisible());
    EXPECT_TRUE(session().connected());
    for (const QByteArray &name : names) {
        EXPECT_GT(hidden.value(QString::fromUtf8(name)), 0) << name.constData();
        EXPECT_EQ(shown.value(QString::fromUtf8(name)) + hidden.value(QString::fromUtf8(name)), sent) << name.constData();
    }
    screenshot(&ann->chat(), QStringLiteral("flood-shown-collapsed"));
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
