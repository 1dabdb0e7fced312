#include "chat/chatline.h"
#include "chat/receivedchat.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace chat;

namespace {

ChatItem text(const char *word) { return {ChatItem::Kind::Text, QString::fromUtf8(word), 0}; }
ChatItem link(const char *word) { return {ChatItem::Kind::Link, QString::fromUtf8(word), 0}; }
ChatItem smiley(int picture) { return {ChatItem::Kind::Smiley, QString(), picture}; }

ChatLine parsed(const char *line)
{
    const std::optional<ChatLine> result = parseChatLine(QString::fromUtf8(line));
    EXPECT_TRUE(result.has_value()) << line;
    return result.value_or(ChatLine{});
}

} // namespace

TEST(ReceivedChat, SplitsAtTheFirstBarAndReadsTheColour)
{
    const ReceivedChat chat = readReceivedChat(QStringLiteral("3+Ann chats: hi :)#12 there|clRed"));
    EXPECT_EQ(chat.line, QStringLiteral("3+Ann chats: hi :)#12 there"));
    EXPECT_EQ(chat.colour, 0x000000FFu);

    const ReceivedChat blue = readReceivedChat(QStringLiteral("2+Bob waves|$00FF0000"));
    EXPECT_EQ(blue.line, QStringLiteral("2+Bob waves"));
    EXPECT_EQ(blue.colour, 0x00FF0000u);
}

TEST(ReceivedChat, ABarInTheTextLeavesAnUnreadableColourAndTheDefault)
{
    const ReceivedChat chat = readReceivedChat(QStringLiteral("3+Ann chats: a|b|clRed"));
    EXPECT_EQ(chat.line, QStringLiteral("3+Ann chats: a"));
    EXPECT_EQ(chat.colour, 255u);

    const ReceivedChat plain = readReceivedChat(QStringLiteral("0+You are Connected."));
    EXPECT_EQ(plain.line, QStringLiteral("0+You are Connected."));
    EXPECT_EQ(plain.colour, 255u);

    EXPECT_EQ(readReceivedChat(QStringLiteral("4+Cy chats: x|")).colour, 255u);
    EXPECT_EQ(readReceivedChat(QStringLiteral("4+Cy chats: x|clgreen")).colour, 0x00008000u);
}

TEST(ChatLineGrammar, ChatLineWithASmiley)
{
    const ChatLine line = parsed("3+Ann chats: hi :)#12 there");
    EXPECT_EQ(line.seat, 3);
    EXPECT_EQ(line.style, 8);
    EXPECT_EQ(line.head, QStringLiteral("Ann chats: "));
    const std::vector<ChatItem> expected{text(" "), text("hi "), text(" "), smiley(2),
                                         text(" "), text("there ")};
    EXPECT_EQ(line.items, expected);
}

TEST(ChatLineGrammar, SeatsGiveTheirStylesAndBadSeatsDropTheLine)
{
    EXPECT_EQ(parsed("1+A: x").style, 6);
    EXPECT_EQ(parsed("9+Spy: x").style, 14);
    EXPECT_EQ(parsed("0+note").style, 0);
    EXPECT_EQ(parsed("07+G: x").seat, 7);

    for (const char *bad : {"x+hi", "+hi", "10+hi", "-1+hi", " 3+hi", "3 +hi", "no plus at all",
                            "", "99999999999999999999+hi"})
        EXPECT_FALSE(parseChatLine(QString::fromUtf8(bad)).has_value()) << bad;
}

TEST(ChatLineGrammar, ALineWithoutAColonHasAnEmptyHead)
{
    const ChatLine line = parsed("0+You are Connected.");
    EXPECT_EQ(line.head, QStringLiteral(" "));
    const std::vector<ChatItem> expected{text("You "), text("are "), text("Connected. ")};
    EXPECT_EQ(line.items, expected);

    const ChatLine empty = parsed("5+");
    EXPECT_EQ(empty.head, QStringLiteral(" "));
    EXPECT_TRUE(empty.items.empty());
}

TEST(ChatLineGrammar, HeadEndsAtTheFirstColonAndBlankRunsGiveSingleBlankWords)
{
    const ChatLine line = parsed("2+Bob chats: a   b: c");
    EXPECT_EQ(line.head, QStringLiteral("Bob chats: "));
    const std::vector<ChatItem> expected{text(" "), text("a "), text(" "), text(" "),
                                         text("b: "), text("c ")};
    EXPECT_EQ(line.items, expected);
}

TEST(ChatLineGrammar, SmileyCodes)
{
    // "5 " is no code from 10 to 27: picture 0, and both characters are used up.
    const std::vector<ChatItem> five{text(" "), text(" "), smiley(0), text("hi ")};
    EXPECT_EQ(parsed("3+Ann chats: :)#5 hi").items, five);

    EXPECT_EQ(parsed("3+A: :)#27").items.back(), smiley(17));
    EXPECT_EQ(parsed("3+A: :)#10").items.back(), smiley(0));
    for (const char *code : {"3+A: :)#28", "3+A: :)#09", "3+A: :)#1a", "3+A: :)#+1",
                             "3+A: :)# 1", "3+A: :)#1", "3+A: :)#"})
        EXPECT_EQ(parsed(code).items.back(), smiley(0)) << code;

    // Back to back: the empty text between them still gives one blank.
    const std::vector<ChatItem> pair{text(" "), text(" "), smiley(1), text(" "), smiley(3)};
    EXPECT_EQ(parsed("3+A: :)#11:)#13").items, pair);

    // The characters after the code stay in the body.
    const std::vector<ChatItem> glued{text(" "), text(" "), smiley(4), text("yes! ")};
    EXPECT_EQ(parsed("3+A: :)#14yes!").items, glued);
}

TEST(ChatLineGrammar, ASmileyInTheHeadIsCutByItsColon)
{
    // The head runs to the first ":", which here is the smiley's own.
    const ChatLine line = parsed("3+:)#12 hi");
    EXPECT_EQ(line.head, QStringLiteral(": "));
    const std::vector<ChatItem> expected{text(")#12 "), text("hi ")};
    EXPECT_EQ(line.items, expected);
}

TEST(ChatLineGrammar, LinkWordsAreCaseSensitiveAndWholeWords)
{
    const std::vector<ChatItem> expected{
        text(" "),         text("see "),           link("www.x.org/a "), text("WWW.CAPS.ORG "),
        link("xwww.y.z "), link("(http://q.r) "), text("HTTP://no "),   link("https://n.o "),
        text("HTTPS://no ")};
    EXPECT_EQ(parsed("4+Cy chats: see www.x.org/a WWW.CAPS.ORG xwww.y.z (http://q.r) HTTP://no "
                     "https://n.o HTTPS://no")
                  .items,
              expected);
    EXPECT_EQ(parsed("4+Cy chats: go:)#10www.a.b").items.back(), link("www.a.b "));
}

TEST(ChatLineGrammar, OnlyTheFirstLinksAndSmiliesOfALineBecomeLinksAndPictures)
{
    // Every link word and smiley of the longest line the host relays counts.
    const QString name(proto::kMaxNameChars, u'n');
    for (const QString &unit : {QStringLiteral("www. "), QStringLiteral(":)#10")}) {
        QString relayed = QStringLiteral("2+") + name + QStringLiteral(" chats: ");
        relayed += unit.repeated(proto::kMaxChatChars / int(unit.size()));
        const ChatLine full = parsed(relayed.toUtf8().constData());
        const auto kind = unit.startsWith(u'w') ? ChatItem::Kind::Link : ChatItem::Kind::Smiley;
        EXPECT_EQ(std::count_if(full.items.begin(), full.items.end(), [kind](const ChatItem &item) { return item.kind == kind; }),
                  proto::kMaxChatChars / 5)
            << unit.toStdString();
    }

    QString typed = QStringLiteral("1+A:");
    for (int i = 0; i < MaxLinksPerLine + 3; ++i)
        typed += QStringLiteral(" www.x.org");
    typed += QLatin1Char(' ');
    for (int i = 0; i < MaxSmiliesPerLine + 2; ++i)
        typed += QStringLiteral(":)#11");
    typed += QStringLiteral(" www.y.org");
    const ChatLine line = parsed(typed.toUtf8().constData());

    int links = 0, smilies = 0;
    QString shownText;
    for (const ChatItem &item : line.items) {
        links += item.kind == ChatItem::Kind::Link;
        smilies += item.kind == ChatItem::Kind::Smiley;
        if (item.kind == ChatItem::Kind::Text)
            shownText += item.text;
    }
    EXPECT_EQ(links, MaxLinksPerLine);
    EXPECT_EQ(smilies, MaxSmiliesPerLine);
    // The rest stays as it was typed: three link words, two smiley markers, and the last link.
    EXPECT_EQ(shownText.count(QStringLiteral("www.x.org ")), 3);
    EXPECT_TRUE(shownText.endsWith(QStringLiteral(":)#11:)#11 www.y.org "))) << shownText.toStdString();
    EXPECT_EQ(line.items.back(), text("www.y.org "));
}
