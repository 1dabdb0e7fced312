#include "protocol/wire.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

using proto::StreamCutter;

TEST(WireNumbers, NumbersAreDecimalWithinThirtyTwoBits)
{
    EXPECT_EQ(proto::toNumber("0"), 0);
    EXPECT_EQ(proto::toNumber("-3"), -3);
    EXPECT_EQ(proto::toNumber("2147483647"), 2147483647);
    EXPECT_EQ(proto::toNumber("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(proto::toNumber("2147483648"), std::nullopt);
    EXPECT_EQ(proto::toNumber(""), std::nullopt);
    EXPECT_EQ(proto::toNumber("-"), std::nullopt);
    EXPECT_EQ(proto::toNumber(" 1"), std::nullopt);
    EXPECT_EQ(proto::toNumber("1x"), std::nullopt);
}

TEST(WireVerbs, VerbIsTheTextBeforeTheFirstPlus)
{
    EXPECT_EQ(proto::splitVerb("CMD_chat+3+a+b").verb, "CMD_chat");
    EXPECT_EQ(proto::splitVerb("CMD_chat+3+a+b").data, "3+a+b");
    EXPECT_EQ(proto::splitVerb("CMD_full+").verb, "CMD_full");
    EXPECT_EQ(proto::splitVerb("CMD_timeup").verb, "");
    EXPECT_EQ(proto::splitVerb("").verb, "");
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

TEST(WireCutting, TheHostDropsEveryOverlongMessageWhateverTheReadSizesAndReadsOn)
{
    const QByteArray longest(StreamCutter::kMaxPending, 'a');
    const QByteArray stream = "CMD_a+1\xFF" + QByteArray(StreamCutter::kMaxPending + 1, 'b') + '\xFF' + longest + '\xFF'
        + QByteArray(100000, 'c') + "\xFF\xFF" "CMD_z+2\xFF" "CMD_rest";
    for (const int chunk : {1, 7, 4096, 32768, 65537, int(stream.size())}) {
        StreamCutter cutter(StreamCutter::Overlong::Dropped);
        QList<QByteArray> messages;
        for (qsizetype at = 0; at < stream.size(); at += chunk)
            messages += cutter.feed(stream.mid(at, chunk));
        EXPECT_EQ(messages, QList<QByteArray>({"CMD_a+1", longest, "", "CMD_z+2"})) << "reads of " << chunk;
        EXPECT_EQ(cutter.droppedMessages(), 2);
        EXPECT_EQ(cutter.pendingBytes(), 8);
        EXPECT_FALSE(cutter.overflowed());
    }
}
