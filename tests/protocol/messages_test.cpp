// Every message through its layout: built byte for byte, read back as it was built, and refused
// when its data do not fit.

#include "protocol/messages.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

using namespace msg;

namespace {

const QByteArray T("\xFF", 1);

// Builds each sample, cuts it off the stream as a receiver does and reads it back.
template <class M>
void expectRoundTrips(std::initializer_list<M> samples)
{
    for (const M &sample : samples) {
        const QList<QByteArray> lines = proto::StreamCutter().feed(encode(sample));
        ASSERT_FALSE(lines.isEmpty()) << M::verb;
        const proto::VerbAndData line = proto::splitVerb(lines.first());
        EXPECT_EQ(line.verb, M::verb);
        EXPECT_TRUE(decode<M>(line.data) == sample) << M::verb << " read from " << line.data.toStdString();
    }
}

template <class M>
bool malformed(const QByteArray &data)
{
    return !decode<M>(data).has_value();
}

} // namespace

TEST(Messages, EveryMessageReadsBackAsItWasBuilt)
{
    // Client to host.
    expectRoundTrips<LoginInfo>({{4, "1.0.4", "Ann"}, {9, "0.9", "A+n+"}, {1, "1.0.4", ""}});
    expectRoundTrips<Chat>({{2, "1+1=2 isn't it|clRed"}, {3, ""}});
    expectRoundTrips<Action>({{2, "+waves + smiles|$000080FF"}});
    expectRoundTrips<KickHim>({{1, 9}});
    // Names with "+" of their own: the numbers are read from the right.
    expectRoundTrips<StartGame>({{"Ann", "5", "60"}, {"C++ Fan", "5", "60"}, {"A+B", "many", ""}, {"", "1", "30"}, {"+", "2", "45"}});
    expectRoundTrips<JustWatch>({{6, proto::StartWatching}});
    expectRoundTrips<MyWord>({{2, {3, 1, 20, 5, 18}}, {1, {0, 27, -1, 26, 1}}});
    expectRoundTrips<Pass>({{7}});
    expectRoundTrips<PlayASound>({{1, "wave12"}});
    // Host to clients.
    expectRoundTrips<SendLoginInfo>({{9}});
    expectRoundTrips<Full>({{}});
    expectRoundTrips<NewPlayerInfo>({{3, "Bob + Co"}, {1, ""}});
    expectRoundTrips<ExistingPlayers>({{1, "Ann+"}});
    expectRoundTrips<HaveWrongVersion>({{"Old+Timer"}, {""}});
    expectRoundTrips<WrongVersion>({{}});
    expectRoundTrips<PlayerDisconnected>({{3, ""}, {2, "a+b"}});
    expectRoundTrips<JustWatching>({{2, proto::PlayAgain}});
    expectRoundTrips<GameStarted>({{"Ann", "5", "60", ""}, {"C++ Fan+", "5", "60", ""}, {"", "1", "30", "x"}});
    expectRoundTrips<StartRound>({{21}});
    expectRoundTrips<NextPlayer>({{2, 1, "c_t_r"}, NextPlayer::forSpectator()});
    expectRoundTrips<NewWord>({{1, 0, 3, "_bou_"}, {6, 10, 1, "c___r"}});
    expectRoundTrips<AllFilled>({{2, 10}, {2, std::nullopt}});
    expectRoundTrips<Invalid>({{1, proto::VerdictMatch}});
    expectRoundTrips<HisCount>({{6, 10}});
    expectRoundTrips<AllDone>({{}});
    expectRoundTrips<TimeUp>({{3}, {std::nullopt}});
    expectRoundTrips<PostScores>({{1, {{1, proto::SourceWordKept, "cater"}, {1, proto::RoundScore, "150"}, {0, proto::SourceWord, ""}}},
                                  {0, {}}});
    expectRoundTrips<Winner>({{"Ann"}, {"A+b+"}, {""}});
    expectRoundTrips<LoadStats>({{2, 60, -2, 5, 3, proto::AllDonePause, {{1, 40, 10}, {2, 0, 0}}}, {9, 30, 26, 1, 1, 1, {}}});
}

TEST(Messages, LayoutsAreByteForByte)
{
    EXPECT_EQ(encode(MyWord {2, {3, 1, 20, 5, 18}}), "CMD_myword+2+1+3+2+1+3+20+4+5+5+18" + T);
    // The login ends with a second terminator: the host drops the empty line it makes.
    EXPECT_EQ(encode(LoginInfo {4, "1.0.4", "Ann"}), "CMD_logininfo+4+1.0.4+Ann" + T + T);
    EXPECT_EQ(encode(StartGame {"Ann", "5", "60"}), "CMD_startgame+Ann+5+60+" + T);
    EXPECT_EQ(encode(GameStarted {"Ann", "5", "60", ""}), "CMD_startgame+Ann+5+60++" + T);
    EXPECT_EQ(encode(Chat::relayed(2, "Bob", "1+1|clRed")), "CMD_chat+2+Bob chats: 1+1|clRed" + T);
    EXPECT_EQ(encode(Action::relayed(2, "Bob", "waves|clRed")), "CMD_action+2+Bob waves|clRed" + T);
    EXPECT_EQ(encode(JustWatching {3, 1}), "CMD_justwatching+3+1" + T);
    EXPECT_EQ(encode(Full {}), "CMD_full+" + T);
    EXPECT_EQ(encode(NextPlayer::forSpectator()), "CMD_nextplayer+1+0+*+" + T);
    EXPECT_EQ(encode(AllFilled {2, 10}), "CMD_allfilled+2+10+" + T);
    EXPECT_EQ(encode(AllFilled {2, std::nullopt}), "CMD_allfilled+2+" + T);
    EXPECT_EQ(encode(TimeUp {2}), "CMD_timeup+2+" + T);
    EXPECT_EQ(encode(Winner {"Ann"}), "CMD_winner+Ann+" + T);
    EXPECT_EQ(encode(KickHim {1, 3}), "CMD_kickhim+1+3+" + T);
    EXPECT_EQ(encode(LoadStats {2, 60, -2, 5, 3, 3, {{1, 40, 10}, {2, 0, 0}}}), "CMD_loadstats+2+60+-2+5+3+3+1+40+10+2+0+0" + T);
    EXPECT_EQ(encode(PostScores {0, {{1, 0, "cater"}, {0, 5, "cater"}}}), "CMD_postscores+0+1+0+cater+0+5+cater" + T);
}

TEST(Messages, MalformedDataIsRefusedNotReadAsZeros)
{
    // Missing fields and numbers that are not decimal.
    EXPECT_TRUE(malformed<SendLoginInfo>(""));
    EXPECT_TRUE(malformed<KickHim>("1+"));
    EXPECT_TRUE(malformed<HisCount>("2++"));
    EXPECT_TRUE(malformed<MyWord>("2+1+3+2+1+3+20+4+5+5"));
    EXPECT_TRUE(malformed<JustWatch>("2+x"));
    EXPECT_TRUE(malformed<LoadStats>("2+60+-2+5+3+ 3"));
    EXPECT_TRUE(malformed<StartGame>("Ann+5"));
    // Seats outside 1 to 9, wherever the layout has a seat; a chat line's speaker may be 0, the
    // host itself.
    for (const QByteArray seat : {"0", "10", "-1"}) {
        EXPECT_EQ(malformed<Chat>(seat + "+hi"), seat != "0");
        EXPECT_EQ(malformed<Action>(seat + "+hi"), seat != "0");
        EXPECT_TRUE(malformed<KickHim>("1+" + seat + "+"));
        EXPECT_TRUE(malformed<LoginInfo>(seat + "+1.0.4+Ann"));
    }
    // The closing "+": missing, one too many, or followed by leftovers.
    EXPECT_TRUE(malformed<AllFilled>("2"));
    EXPECT_TRUE(malformed<AllFilled>("2+10"));
    EXPECT_TRUE(malformed<Pass>("1"));
    EXPECT_TRUE(malformed<Pass>("1++"));
    EXPECT_TRUE(malformed<Winner>("Ann"));
    EXPECT_TRUE(malformed<Winner>(""));
    EXPECT_TRUE(malformed<SendLoginInfo>("3+"));
    EXPECT_TRUE(malformed<JustWatch>("2+1+"));
    EXPECT_TRUE(malformed<HisCount>("2+1+x"));
    EXPECT_TRUE(malformed<StartGame>("Ann+5+60"));
    EXPECT_TRUE(malformed<GameStarted>("Ann+5+60+"));
    EXPECT_TRUE(malformed<Full>("x"));
    EXPECT_TRUE(malformed<TimeUp>("3"));
    // Score and seat entries come in whole triples.
    EXPECT_TRUE(malformed<PostScores>("0+1+0"));
    EXPECT_TRUE(malformed<PostScores>("0+1+0+cater+"));
    EXPECT_TRUE(malformed<PostScores>("0+"));
    EXPECT_TRUE(malformed<LoadStats>("2+60+-2+5+3+3+1+40"));

    // What is well formed though short: an allfilled after a pass, a time-up without its seat, a
    // name with "+" as the last field.
    EXPECT_TRUE(decode<AllFilled>("2+") == (AllFilled {2, std::nullopt}));
    EXPECT_TRUE(decode<TimeUp>("") == TimeUp {});
    EXPECT_TRUE(decode<LoginInfo>("3+Ann Smith+has+pluses") == (LoginInfo {3, "Ann Smith", "has+pluses"}));
    // A start is read from the right: "A+B" picking 5 rounds of 60 seconds is not 5-second rounds,
    // and what stands before the two numbers is the name, however many "+" it holds.
    EXPECT_TRUE(decode<StartGame>("A+B+5+60+") == (StartGame {"A+B", "5", "60"}));
    EXPECT_TRUE(decode<StartGame>("Ann+5+60+x+y+") == (StartGame {"Ann+5+60", "x", "y"}));
    EXPECT_TRUE(decode<GameStarted>("C++ Fan+5+60++") == (GameStarted {"C++ Fan", "5", "60", ""}));
}
