#pragma once

#include "tests/client/fake_host.h"
#include "tests/client/game_fixture.h"

// Ann's window against a peer that plays the host's part byte for byte.
class FakeHostGame : public GameFixture
{
protected:
    // Ann connects, the peer seats her as seat 2 and reads her login.
    void joinAnn()
    {
        ASSERT_GT(fake.port(), 0);
        ann = launch({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, fake.port());
        peer = fake.accept();
        ASSERT_TRUE(peer);
        peer->send("CMD_sendlogininfo+2" + kEnd);
        ASSERT_TRUE(peer->waitFor("CMD_logininfo+2+1.0.4+Ann"));
        ASSERT_EQ(peer->next(), QByteArray()); // the login's second terminator
    }

    // Ann joins, a game starts and she gets her turn on the masked word ap_le.
    void joinAnnForHerTurn()
    {
        joinAnn();
        peer->send("CMD_newplayerinfo+2+Ann" + kEnd + "CMD_startgame+Cid+5+60++" + kEnd + "CMD_startround+1+" + kEnd
                   + "CMD_nextplayer+2+1+ap_le+" + kEnd);
        ASSERT_TRUE(testing_support::waitUntil([&] { return status(*ann) == kTurnText; }));
        soundsOf(*ann).clear();
    }

    // The peer sends one message, and the window works it off: a word count for the empty seat 6
    // follows it, and once that shows, the message before it has been handled too.
    void hostSends(const QByteArray &message)
    {
        const int mark = ++sentMarks_;
        peer->send(message + kEnd + "CMD_hiscount+6+" + QByteArray::number(mark) + "+" + kEnd);
        ASSERT_TRUE(testing_support::waitUntil([&] { return ann->session().seat(6).wordCount == mark; }));
    }

    const QByteArray kEnd {1, '\xFF'};
    const QString kTurnText = QStringLiteral("Type a Word - Press ENTER to submit your word.");
    int sentMarks_ = 0;
    testing_support::FakeHost fake;
    std::unique_ptr<VrelProgram> ann;
    std::unique_ptr<testing_support::RawClient> peer;
};
