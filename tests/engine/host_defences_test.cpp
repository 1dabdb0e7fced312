// The host against players who send what looks legitimate but is meant to harm: huge names and
// texts, names that imitate chat lines, backlogs, strangers who never log in, absurd game
// options, and a rejoin with a finished list.

#include "chat/chatline.h"
#include "chat/colourtext.h"
#include "chat/receivedchat.h"
#include "engine/player_names.h"
#include "tests/engine/host_fixture.h"
#include "tests/support/qt_printers.h"

#include <QStringList>

using namespace std::chrono_literals;

namespace {

class HostDefences : public HostFixture
{
protected:
    HostDefences()
    {
        QObject::connect(&server, &TServer::activity, [this](const QString &line) { log << line; });
    }

    // Logs in on a new connection with the raw name; returns the link with its outbox emptied.
    FakeLink *joinAs(const QByteArray &rawName) { return join(rawName); }

    // What a client reads from a relayed chat line or action: the line and the colour.
    static chat::ReceivedChat asReceived(const QByteArray &relayed)
    {
        const proto::VerbAndData message = proto::splitVerb(relayed);
        return chat::readReceivedChat(QString::fromUtf8(message.data));
    }

    QStringList log;
};

// The host's messages as a client cuts them, in reads of a few kilobytes: none may end the
// client's connection.
bool aClientTakesAll(const QByteArray &bytes)
{
    proto::StreamCutter client;
    for (qsizetype at = 0; at < bytes.size(); at += 4000) {
        client.feed(bytes.mid(at, 4000));
        if (client.overflowed())
            return false;
    }
    return true;
}

} // namespace

TEST_F(HostDefences, NamesAreCutCleanedAndRelayedSoThatNoNameReadsAsAChatLine)
{
    FakeLink *ann = joinAs("Ann");

    // A 65,000-byte name with a line break that would forge a log line.
    FakeLink *huge = connect();
    huge->take();
    const QByteArray forged = "x\r\nvrel-host: seat 1: \"Ann\" left" + QByteArray(65000, 'y');
    deliver(huge, "CMD_logininfo+2+1.0.4+" + forged + '\xFF');
    const QByteArray kept = server.seat(2).name;
    EXPECT_EQ(QString::fromUtf8(kept).size(), proto::kMaxNameChars);
    EXPECT_TRUE(kept.startsWith("x  vrel-host∶ seat 1∶ \"Ann\" left")) << kept.constData();
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_newplayerinfo+2+" + kept}));
    const QString loginLine = log.filter(QStringLiteral("logged in")).value(0);
    EXPECT_LT(loginLine.size(), 80) << loginLine.toStdString();
    EXPECT_FALSE(loginLine.contains(u'\n') || loginLine.contains(u'\r'));
    EXPECT_TRUE(loginLine.contains(u'"'));

    // Cut on a character boundary, never inside one.
    FakeLink *accents = joinAs(QString(40, QChar(0x00E9)).toUtf8() + "\xF0\x9F\x98\x80");
    EXPECT_EQ(server.seat(3).name, QString(32, QChar(0x00E9)).toUtf8());
    Q_UNUSED(accents);

    // A name that imitates somebody else's chat line loses everything from the speaker's mark
    // on and, being Ann's then, is told apart from hers; the colour is the one the sender chose.
    FakeLink *mallory = joinAs("Ann chats: bye|clRed\nBob: me too");
    const int seat = 4;
    const QByteArray safeName = server.seat(seat).name;
    EXPECT_EQ(safeName, "Ann (2)");
    clearAll({ann, mallory});
    deliver(mallory, "CMD_chat+4+hello|clBlue");
    const QByteArray relayed = ann->take().value(0);
    const chat::ReceivedChat received = asReceived(relayed);
    EXPECT_EQ(received.colour, chat::ColourBlue);
    const std::optional<chat::ChatLine> line = chat::parseChatLine(received.line);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->seat, seat);
    EXPECT_EQ(line->head, QStringLiteral("Ann (2) chats: "));
    ASSERT_EQ(line->items.size(), 2u); // " " and "hello ": the text after the head
    EXPECT_EQ(line->items.at(1).text, QStringLiteral("hello "));

    // The same name in an action and in the disconnect notice.
    deliver(mallory, "CMD_action+4+waves|clBlue");
    EXPECT_EQ(asReceived(ann->take().value(0)).colour, chat::ColourBlue);
    mallory->hangUp();
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_playerdisconnected+4+" + safeName}));
    EXPECT_EQ(log.filter(QStringLiteral("seat 4: \"Ann (2)\" left")).size(), 1)
        << log.join(u'\n').toStdString();
}

TEST_F(HostDefences, NoNameAtTheTableLooksLikeAnothersCarriesASpeakersMarkOrShowsNothing)
{
    FakeLink *ann = joinAs("Ann");
    const QString annLooks = playernames::lookAlike(QStringLiteral("Ann"));
    // Names that would pass for Ann's, or for Ann speaking, and look-alikes of them: another case,
    // a Cyrillic "А", invisible characters (a zero-width space, a tag "A" outside the basic plane,
    // a variation selector, a combining grapheme joiner), fillers (Hangul, the Braille blank),
    // blanks around, full-width letters, U+2236 or a full-width colon for ":", a no-break space or
    // a Braille blank before "chats", a Cyrillic "а" in "chats", the phrase buttons' "says:", and a
    // name that a leading ":" of an action would complete.
    const QList<QByteArray> spoofs = {
        "Ann", "ANN", "\xD0\x90nn", "A\xE2\x80\x8Bnn", "Ann\xF3\xA0\x81\x81", "Ann\xEF\xB8\x8F", "An\xCD\x8Fn",
        "Ann\xE3\x85\xA4", "Ann\xE2\xA0\x80", "  Ann ", "\xEF\xBC\xA1\xEF\xBD\x8E\xEF\xBD\x8E",
        "Ann chats: I resign", "Ann chats\xE2\x88\xB6 I resign", "Ann chats\xEF\xBC\x9A I resign",
        "Ann\xC2\xA0" "chats: I resign", "Ann\xE2\xA0\x80" "chats: I resign", "Ann ch\xD0\xB0ts: I resign",
        "Ann says: I resign", "Ann chats", "ann CHATS",
    };
    for (const QByteArray &spoof : spoofs) {
        FakeLink *spoofer = joinAs(spoof);
        const QString name = QString::fromUtf8(server.seat(2).name);
        EXPECT_NE(playernames::lookAlike(name), annLooks) << spoof.toHex().constData();
        for (const QString &mark : {QStringLiteral(" chats:"), QStringLiteral(" says:")})
            EXPECT_FALSE(playernames::lookAlike(name + u':').contains(mark)) << name.toStdString();
        // Nothing invisible is kept.
        EXPECT_EQ(playernames::withoutInvisibles(name), name) << spoof.toHex().constData();
        // Chat and action texts keep their content; the line starts with the spoofer's own name.
        ann->take();
        deliver(spoofer, "CMD_action+2+I resign, you win Bob|clRed");
        deliver(spoofer, "CMD_action+2+|clRed");
        EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_action+2+" + name.toUtf8() + " I resign, you win Bob|clRed",
                                                  "CMD_action+2+" + name.toUtf8() + " |clRed"}));
        spoofer->hangUp();
    }
    // Look-alikes are folded before their case: "I" and "l", "0" and "O" in any case.
    for (const auto &[first, second] : {std::pair("Al", "AI"), std::pair("BOB", "B0B"), std::pair("Bill", "BiII"),
                                        std::pair("al", "AI")}) {
        FakeLink *one = joinAs(first);
        FakeLink *two = joinAs(second);
        EXPECT_EQ(server.seat(3).name, QByteArray(second) + " (2)");
        one->hangUp();
        two->hangUp();
    }
    // A name is made unique within its length, and as it is shown: "|" and ":" are replaced first.
    FakeLink *longer = joinAs(QByteArray(40, 'x'));
    FakeLink *twin = joinAs(QByteArray(40, 'X'));
    EXPECT_EQ(server.seat(3).name, QByteArray(28, 'X') + " (2)");
    longer->hangUp();
    twin->hangUp();
    FakeLink *bar = joinAs("A|b");
    FakeLink *bars = joinAs("A|b");
    EXPECT_EQ(server.seat(2).name, "A\xC2\xA6" "b");
    EXPECT_EQ(server.seat(3).name, "A\xC2\xA6" "b (2)");
    bar->hangUp();
    bars->hangUp();

    // A name without a visible letter or digit plays under the seat's default name: "Klot",
    // "Klock", "Kling", "Klick", "Krazy" for seats 2 to 6, "Player" and the number elsewhere.
    FakeLink *spoofer = joinAs("Ann chats: I resign");
    EXPECT_EQ(server.seat(2).name, "Ann (2)");
    const QList<QByteArray> blanks = {"\xE2\x80\x8B \t", "", "\xE3\x85\xA4\xE2\xA0\x80", "|:!? \xEF\xB8\x8F", "\xF3\xA0\x81\x81",
                                      "\xE1\x85\x9F\xEF\xBE\xA0"};
    for (const QByteArray &blank : blanks)
        joinAs(blank);
    for (const auto &[seat, name] : {std::pair(3, "Klock"), std::pair(4, "Kling"), std::pair(5, "Klick"),
                                     std::pair(6, "Krazy"), std::pair(7, "Player 7"), std::pair(8, "Player 8")})
        EXPECT_EQ(server.seat(seat).name, name);
    Q_UNUSED(spoofer);
}

TEST_F(HostDefences, ChatActionAndGameTextsAreCappedSoEveryClientTakesWhatTheHostRelays)
{
    FakeLink *ann = joinAs(QByteArray(65000, 'A'));
    FakeLink *bob = joinAs("Bob");
    clearAll({ann, bob});

    // 65,000 bytes of chat: the text is cut to what the clients' entries allow, the colour stays.
    deliver(ann, "CMD_chat+1+" + QByteArray(65000, 't') + "|clGreen");
    deliver(ann, "CMD_action+1+" + QByteArray(30000, 'w') + "|" + QByteArray(30000, 'c'));
    // Line breaks in a text would start a line of their own in every chat view.
    deliver(bob, "CMD_chat+2+one\ntwo\rthree\x01|clRed");
    const QByteArray sent = bob->outbox;
    const QList<QByteArray> toBob = bob->take();
    ASSERT_EQ(toBob.size(), 3);
    const QByteArray name(proto::kMaxNameChars, 'A');
    EXPECT_EQ(toBob.at(0), "CMD_chat+1+" + name + " chats: " + QByteArray(proto::kMaxChatChars, 't') + "|clGreen");
    EXPECT_EQ(toBob.at(1), "CMD_action+1+" + name + ' ' + QByteArray(proto::kMaxChatChars, 'w') + '|' + QByteArray(32, 'c'));
    EXPECT_EQ(toBob.at(2), "CMD_chat+2+Bob chats: one two three |clRed");
    EXPECT_TRUE(aClientTakesAll(sent));

    // A game start and a chatter sound carry short fields: the start is announced with the
    // starter's name at the table and the numbers it plays.
    bob->take();
    deliver(ann, "CMD_startgame+" + QByteArray(30000, 'S') + "+3+" + QByteArray(30000, '9') + '+');
    deliver(ann, "CMD_playasound+1+wave" + QByteArray(65000, '7') + '+');
    EXPECT_EQ(server.turnSeconds(), 60); // not a number it can hold: the default
    EXPECT_EQ(server.roundsPerGame(), 3);
    const QList<QByteArray> started = bob->take();
    EXPECT_EQ(started.value(0), "CMD_startgame+" + name + "+3+60++");
    EXPECT_EQ(started.last(), "CMD_playasound+1+wave" + QByteArray(28, '7') + '+');
}

TEST_F(HostDefences, AFloodingConnectionIsHeldToItsPaceAndHoldsOthersBackByAPaceAtMost)
{
    // The order and pace of handling, not the pace of relays, is what this measures.
    server.setRelaysPaced(false);
    FakeLink *ann = joinAs("Ann");
    FakeLink *bob = joinAs("Bob");
    FakeLink *cid = joinAs("Cid");
    server.advanceDispatchClock(TServer::kPace);
    clearAll({ann, bob, cid});
    QByteArray backlog;
    for (int i = 0; i < 250; ++i)
        backlog += "CMD_chat+2+" + QByteArray::number(i) + "|clRed\xFF";
    bob->deliver(backlog);
    server.advanceDispatchClock(3ms);
    cid->deliver("CMD_chat+3+first|clRed\xFF" "CMD_chat+3+second|clRed\xFF");
    ann->deliver("CMD_chat+1+hi|clRed\xFF");
    const auto relayed = [&] {
        QStringList lines;
        for (const QByteArray &line : ann->take())
            lines << QString::fromUtf8(line).section(u'+', 2).section(u'|', 0, 0);
        return lines;
    };

    // Bob's first line at once, then one a pace; Ann's and Cid's lines, which came after Bob's
    // second, wait for it and no longer.
    EXPECT_EQ(relayed(), QStringList({"Bob chats: 0"}));
    server.advanceDispatchClock(TServer::kPace - 3ms - 1ns);
    EXPECT_TRUE(relayed().isEmpty());
    server.advanceDispatchClock(1ns);
    EXPECT_EQ(relayed(), QStringList({"Bob chats: 1", "Cid chats: first", "Ann chats: hi"}));
    server.advanceDispatchClock(TServer::kPace);
    EXPECT_EQ(relayed(), QStringList({"Bob chats: 2", "Cid chats: second"}));
    // A hundred in a second, in their order.
    server.advanceDispatchClock(1s - 2 * TServer::kPace - 1ns);
    QStringList expected;
    for (int i = 3; i < 100; ++i)
        expected << "Bob chats: " + QString::number(i);
    EXPECT_EQ(relayed(), expected);
    dispatchAll();
    EXPECT_EQ(relayed().size(), 150);
    EXPECT_EQ(bob->closeCalls, 0);

    // Beyond what one connection may have waiting, it is a flood and the connection is closed.
    bob->deliver(backlog + backlog);
    EXPECT_EQ(bob->closeCalls, 1);
    EXPECT_EQ(server.queuedMessages(), 0);
    EXPECT_FALSE(server.seat(2).inUse);
}

TEST_F(HostDefences, OverlongMessagesAreDroppedAndTheConnectionStays)
{
    FakeLink *ann = joinAs("Ann");
    FakeLink *bob = joinAs("Bob");
    clearAll({ann, bob});
    const QByteArray pasted = "CMD_chat+2+" + QByteArray(100000, 'p') + "|clRed\xFF";
    for (qsizetype at = 0; at < pasted.size(); at += 32768)
        bob->deliver(pasted.mid(at, 32768));
    bob->deliver("CMD_chat+2+" + QByteArray(70000, 'q') + "|clRed\xFF" "CMD_chat+2+short|clRed\xFF");
    dispatchAll();
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_chat+2+Bob chats: short|clRed"}));
    EXPECT_EQ(bob->closeCalls, 0);
    EXPECT_EQ(log.filter(QStringLiteral("dropped a message")).size(), 1); // told once, not per message
}

TEST_F(HostDefences, ConnectionsThatDoNotLogInWithinThirtySecondsAreClosed)
{
    // Seconds of the login clock.
    auto loginClock = [this] {
        for (int tick = 0; tick < TServer::kLoginTicksPerSecond; ++tick)
            server.logintimerTimer();
    };
    FakeLink *ann = joinAs("Ann");
    FakeLink *stranger = connect(); // seat 2
    for (int second = 0; second < 20; ++second)
        loginClock();
    FakeLink *late = connect(); // seat 3, logs in after 29 seconds
    ann->take();
    for (int second = 0; second < 9; ++second)
        loginClock();
    EXPECT_EQ(stranger->closeCalls, 0);
    loginClock();
    EXPECT_EQ(stranger->closeCalls, 1);
    EXPECT_TRUE(ann->take().isEmpty()); // never announced, it leaves without a word

    for (int second = 0; second < 18; ++second)
        loginClock();
    deliver(late, "CMD_logininfo+3+1.0.4+Late\xFF");
    for (int second = 0; second < 100; ++second)
        loginClock();
    EXPECT_EQ(late->closeCalls, 0);
    EXPECT_EQ(ann->closeCalls, 0);
    // The freed seat goes to the next newcomer, whose own thirty seconds start then.
    FakeLink *next = connect();
    EXPECT_EQ(next->take().value(0), "CMD_sendlogininfo+2");
    for (int second = 0; second < 29; ++second)
        loginClock();
    EXPECT_EQ(next->closeCalls, 0);
}

TEST_F(HostDefences, StartFieldsAreReadFromTheRightAndKeptToTheDialogsRanges)
{
    FakeLink *fan = joinAs("C++ Fan");
    FakeLink *two = joinAs("Two");
    // A game is started only between games: each start below comes after the game before ended.
    auto playToTheEnd = [this] {
        server.seat(1).totalScore = 1;
        for (int second = 0; second < 2000 && server.gameRunning(); ++second)
            tick();
    };
    // The name's "+" do not shift the numbers, whoever's name it is.
    deliver(fan, "CMD_startgame+C++ Fan+5+60+");
    EXPECT_EQ(two->takeVerb("CMD_startgame"), QList<QByteArray>({"CMD_startgame+C++ Fan+5+60++"}));
    // Numbers outside the ranges are their nearest ends; what is not a number plays the defaults.
    const struct {
        QByteArray fields;
        int rounds;
        int seconds;
    } starts[] = {{"A+B+5+60+", 5, 60},
                  {"C++ Fan+0+-5+", 1, 30},
                  {"C++ Fan+2147483647+2147483647+", 10, 120},
                  {"C++ Fan+-2147483648+-2147483648+", 1, 30},
                  {"C++ Fan+many+long+", 5, 60}};
    for (const auto &start : starts) {
        playToTheEnd();
        two->take();
        deliver(fan, "CMD_startgame+" + start.fields);
        EXPECT_EQ(server.roundsPerGame(), start.rounds) << start.fields.constData();
        EXPECT_EQ(server.turnSeconds(), start.seconds) << start.fields.constData();
        EXPECT_EQ(two->takeVerb("CMD_startgame"),
                  QList<QByteArray>({"CMD_startgame+C++ Fan+" + QByteArray::number(start.rounds) + '+'
                                     + QByteArray::number(start.seconds) + "++"}));
    }
    // A turn of -5 seconds does not end at the first tick.
    playToTheEnd();
    deliver(fan, "CMD_startgame+C++ Fan+1+-5+");
    tick(10);
    EXPECT_EQ(server.phase(), proto::WordPhase);
    EXPECT_EQ(server.countdown(), 30 + 4 - 10);
}

TEST_F(HostDefences, APlayerWithACompleteListIsToldSoOnRejoinAndOnAnotherWord)
{
    FakeLink *ann = joinAs("Ann");
    FakeLink *bob = joinAs("Bob");
    deliver(ann, "CMD_startgame+Ann+3+60+");
    TServer::Seat &seat = server.seat(2);
    for (int w = 1; w <= 10; ++w)
        seat.words[size_t(w)] = "cater";
    seat.filledCount = 10;
    seat.currentWord = 10;
    bob->hangUp();

    FakeLink *back = connect();
    EXPECT_EQ(back->take().value(0), "CMD_sendlogininfo+3");
    deliver(back, msg::encode(msg::ReclaimSeat {2, keys[bob]}).chopped(1));
    back->take();
    deliver(back, "CMD_logininfo+2+1.0.4+Bob\xFF");
    // The catch-up first, which opens the board, then the word that closes it again.
    const QList<QByteArray> got = back->take();
    EXPECT_FALSE(got.join('|').contains("CMD_newword")) << got.join('|').constData();
    EXPECT_TRUE(got.at(got.size() - 2).startsWith("CMD_loadstats+2+")) << got.join('|').constData();
    EXPECT_EQ(got.last(), "CMD_allfilled+2+");

    deliver(back, "CMD_myword+2+1+3+2+1+3+20+4+5+5+18");
    EXPECT_EQ(back->take(), QList<QByteArray>({"CMD_allfilled+2+"}));
    EXPECT_EQ(seat.filledCount, 10);
    Q_UNUSED(ann);
}

TEST_F(HostDefences, EachConnectionsLinesArePacedAndItsSenderIsToldOnceAFlood)
{
    FakeLink *ann = joinAs("Ann");
    FakeLink *bob = joinAs("Bob");
    clearAll({ann, bob});
    const QByteArray notice = "CMD_chat+0+You are sending lines too fast: the others did not get your last ones.|clBlue";
    auto bobSends = [&](int count) {
        for (int i = 0; i < count; ++i) {
            const QByteArray kinds[] = {"CMD_chat+2+c|clRed", "CMD_action+2+a|clRed", "CMD_playasound+2+wave3+"};
            deliver(bob, kinds[i % 3]);
        }
    };
    // A burst of ten passes at once, chat lines, actions and chatter sounds alike; the rest is
    // dropped and Bob alone is told, once however long he goes on.
    bobSends(30);
    EXPECT_EQ(ann->take().size(), 10);
    QList<QByteArray> toBob = bob->take();
    EXPECT_EQ(toBob.size(), 11);
    EXPECT_EQ(toBob.count(notice), 1);
    nowMs += 1000;
    bobSends(5);
    EXPECT_EQ(ann->take().size(), 3); // three a second after the burst
    EXPECT_FALSE(bob->take().contains(notice));
    // Ann's lines have a pace of their own.
    deliver(ann, "CMD_chat+1+still here|clRed");
    EXPECT_EQ(bob->take(), QList<QByteArray>({"CMD_chat+1+Ann chats: still here|clRed"}));
    ann->take();

    // Once he has slowed down long enough to have his whole burst again, a new flood is told.
    nowMs += 4000;
    bobSends(12);
    EXPECT_EQ(ann->take().size(), 10);
    EXPECT_EQ(bob->take().count(notice), 1);
    EXPECT_EQ(log.filter(QStringLiteral("dropped lines sent too fast")).size(), 1) << log.join(u'\n').toStdString();
}
