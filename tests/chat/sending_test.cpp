#include "chat/linktarget.h"
#include "chat/outgoingline.h"

#include <gtest/gtest.h>

using namespace chat;
using Kind = OutgoingLine::Kind;

namespace {
OutgoingLine sent(const char *entry, bool loggedIn = true)
{
    return outgoingLine(QString::fromUtf8(entry), loggedIn);
}
} // namespace

TEST(OutgoingLine, ChatLinesAndActions)
{
    EXPECT_EQ(sent("hello"), (OutgoingLine{Kind::Chat, QStringLiteral("hello")}));
    EXPECT_EQ(sent(" /me no"), (OutgoingLine{Kind::Chat, QStringLiteral(" /me no")}));
    EXPECT_EQ(sent("a|b"), (OutgoingLine{Kind::Chat, QStringLiteral("a|b")}));
    EXPECT_EQ(sent("/me waves"), (OutgoingLine{Kind::Action, QStringLiteral("waves")}));
    EXPECT_EQ(sent("/meow"), (OutgoingLine{Kind::Action, QStringLiteral("w")}));
    EXPECT_EQ(sent("/me"), (OutgoingLine{Kind::Action, QString()}));
    EXPECT_EQ(sent("/me  two"), (OutgoingLine{Kind::Action, QStringLiteral(" two")}));
}

TEST(OutgoingLine, NothingIsSentForEmptyTextOtherCommandsOrBeforeLogin)
{
    EXPECT_EQ(sent("/help").kind, Kind::Clear);
    EXPECT_EQ(sent("/").kind, Kind::Clear);
    EXPECT_EQ(sent("/ME waves").kind, Kind::Clear);
    EXPECT_EQ(sent("").kind, Kind::Clear);
    EXPECT_EQ(sent("hello", false).kind, Kind::Keep);
    EXPECT_EQ(sent("/me waves", false).kind, Kind::Keep);
    EXPECT_EQ(sent("", false).kind, Kind::Keep);
}

namespace {
QString address(const char *target)
{
    const std::optional<QUrl> url = linkAddress(QString::fromUtf8(target));
    return url ? url->toString() : QStringLiteral("<none>");
}
} // namespace

TEST(LinkAddress, WebAddressesOpenOverHttp)
{
    EXPECT_EQ(address("www.x.org/a "), QStringLiteral("http://www.x.org/a"));
    EXPECT_EQ(address("http://www.x.org/a?q=1&r=b:c "), QStringLiteral("http://www.x.org/a?q=1&r=b:c"));
    EXPECT_EQ(address("www.x.org:8080/p "), QStringLiteral("http://www.x.org:8080/p"));
    EXPECT_EQ(address("www.x.org/r?u=http://y.org "), QStringLiteral("http://www.x.org/r?u=http://y.org"));

    const std::optional<QUrl> upper = linkAddress(QStringLiteral("HTTP://Foo.com "));
    ASSERT_TRUE(upper);
    EXPECT_EQ(upper->scheme(), QStringLiteral("http"));
    EXPECT_EQ(upper->host().compare(QStringLiteral("Foo.com"), Qt::CaseInsensitive), 0);

    EXPECT_EQ(address("https://www.x.org "), QStringLiteral("https://www.x.org"));
    EXPECT_EQ(address("HTTPS://www.x.org/s "), QStringLiteral("https://www.x.org/s"));
    EXPECT_EQ(address("http://https://www.x.org "), QStringLiteral("https://www.x.org"));
}

TEST(LinkAddress, NothingButHttpEverOpens)
{
    for (const char *hostile : {"file:///etc/passwd?www. ", "http://file:///etc/passwd ",
                                "javascript:alert(1)//www. ", "http://javascript:alert(1) ",
                                "ftp://www.x.org ", "smb://www.x.org/share ", "http:// ",
                                "HTTP:// ", "www.x.org/a\\b<c> ", "(www.x.org) ", "see:www.x.org ",
                                "http://www.x org "}) {
        const std::optional<QUrl> url = linkAddress(QString::fromUtf8(hostile));
        EXPECT_FALSE(url && url->scheme() != QStringLiteral("http")
                     && url->scheme() != QStringLiteral("https"))
            << hostile;
    }
    for (const char *refused : {"file:///etc/passwd?www. ", "http://file:///etc/passwd ",
                                "javascript:alert(1)//www. ", "ftp://www.x.org ", "http:// ",
                                "see:www.x.org "})
        EXPECT_EQ(address(refused), QStringLiteral("<none>")) << refused;
}
