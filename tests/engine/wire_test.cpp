#include "engine/messages.h"
#include "engine/wire.h"

#include <gtest/gtest.h>

using wire::FieldReader;
using wire::StreamCutter;

TEST(WireFields, FieldsAreReadFromTheLeftAndTheLastIsTheRest)
{
    FieldReader fields("3+Ann Smith+has+pluses");
    EXPECT_EQ(fields.nextNumber(), 3);
    EXPECT_EQ(fields.next(), "Ann Smith");
    EXPECT_EQ(fields.rest(), "has+pluses");

    // Without a "+" left the field is empty and the rest stays.
    FieldReader last("3+1");
    EXPECT_EQ(last.next(), "3");
    EXPECT_EQ(last.next(), "");
    EXPECT_EQ(last.rest(), "1");

    // "CMD_allfilled+2+" after a pass: the done field is absent.
    FieldReader pass("2+");
    EXPECT_EQ(pass.nextNumber(), 2);
    EXPECT_EQ(pass.nextNumber(), std::nullopt);
}

TEST(WireFields, NumbersAreDecimalWithinThirtyTwoBits)
{
    EXPECT_EQ(wire::toNumber("0"), 0);
    EXPECT_EQ(wire::toNumber("-3"), -3);
    EXPECT_EQ(wire::toNumber("2147483647"), 2147483647);
    EXPECT_EQ(wire::toNumber("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(wire::toNumber("2147483648"), std::nullopt);
    EXPECT_EQ(wire::toNumber(""), std::nullopt);
    EXPECT_EQ(wire::toNumber("-"), std::nullopt);
    EXPECT_EQ(wire::toNumber(" 1"), std::nullopt);
    EXPECT_EQ(wire::toNumber("1x"), std::nullopt);
}

TEST(WireVerbs, VerbIsTheTextBeforeTheFirstPlus)
{
    EXPECT_EQ(wire::splitVerb("CMD_chat+3+a+b").verb, "CMD_chat");
    EXPECT_EQ(wire::splitVerb("CMD_chat+3+a+b").data, "3+a+b");
    EXPECT_EQ(wire::splitVerb("CMD_full+").verb, "CMD_full");
    EXPECT_EQ(wire::splitVerb("CMD_timeup").verb, "");
    EXPECT_EQ(wire::splitVerb("").verb, "");
}

TEST(WireCutting, MessagesAreCutAtTheTerminatorAndARemainderWaits)
{
    StreamCutter cutter;
    EXPECT_EQ(cutter.feed("CMD_a+1\xFF" "CMD_b+2\xFF" "CMD_c"), QList<QByteArray>({"CMD_a+1", "CMD_b+2"}));
    EXPECT_EQ(cutter.pendingBytes(), 5);
    EXPECT_EQ(cutter.feed("+3\xFF\xFF"), QList<QByteArray>({"CMD_c+3", ""}));
    EXPECT_EQ(cutter.pendingBytes(), 0);
    EXPECT_FALSE(cutter.overflowed());
    cutter.feed(QByteArray(StreamCutter::kMaxPending + 1, 'x'));
    EXPECT_TRUE(cutter.overflowed());
}

TEST(WireMessages, LayoutsAreByteForByte)
{
    EXPECT_EQ(msg::myword(2, {3, 1, 20, 5, 18}), "CMD_myword+2+1+3+2+1+3+20+4+5+5+18\xFF");
    EXPECT_EQ(msg::logininfo(4, "1.0.4", "Ann\xFF"), "CMD_logininfo+4+1.0.4+Ann\xFF\xFF");
    EXPECT_EQ(msg::startgame("Ann", "5", "60"), "CMD_startgame+Ann+5+60+\xFF");
    EXPECT_EQ(msg::startgameRelay({"Ann", "5", "60", ""}), "CMD_startgame+Ann+5+60++\xFF");
    EXPECT_EQ(msg::justwatching(3, 1), "CMD_justwatching+3+1\xFF");
    EXPECT_EQ(msg::full(), "CMD_full+\xFF");
    EXPECT_EQ(msg::nextplayerSpectator(), "CMD_nextplayer+1+0+*+\xFF");
    EXPECT_EQ(msg::allfilled(2, 10), "CMD_allfilled+2+10+\xFF");
    EXPECT_EQ(msg::allfilledAfterPass(2), "CMD_allfilled+2+\xFF");
    EXPECT_EQ(msg::winner("Ann"), "CMD_winner+Ann+\xFF");
    EXPECT_EQ(msg::kickhim(1, 3), "CMD_kickhim+1+3+\xFF");
    EXPECT_EQ(msg::loadstats({2, 60, -2, 5, 3, 3, {{1, 40, 10}, {2, 0, 0}}}),
              "CMD_loadstats+2+60+-2+5+3+3+1+40+10+2+0+0\xFF");
    EXPECT_EQ(msg::postscores(0, {{1, 0, "cater"}, {0, 5, "cater"}}), "CMD_postscores+0+1+0+cater+0+5+cater\xFF");
}
