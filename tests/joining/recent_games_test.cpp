// The last name and the recent games in the settings file, beside everything else it holds.

#include "joining/recent_games.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void write(const QString &path, const QByteArray &text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

} // namespace

TEST(RecentGames, KeepTheLastNameAndTenAddressesInTheirOwnSectionAndEveryOtherByte)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("kovrlobby.ini"));
    // The lobby's sections and the game's own, with CR LF ends and a comment, as another program
    // left them.
    const QByteArray before = "; the lobby's\r\n[Lobby]\r\nUser = Ann Lee\r\n\r\n[Vrel]\r\nTextsize=12\r\nTop=40\r\n";
    write(path, before);
    const RecentGames recent(path);
    EXPECT_EQ(recent.lastName(), "");
    EXPECT_EQ(recent.addresses(), QStringList());

    ASSERT_TRUE(recent.remember(QStringLiteral("Ann"))); // hosting keeps the name only
    EXPECT_EQ(recent.lastName(), "Ann");
    EXPECT_EQ(recent.addresses(), QStringList());
    for (int n = 1; n <= 12; ++n)
        ASSERT_TRUE(recent.remember(QStringLiteral("Bob"), GameAddress {QStringLiteral("203.0.113.%1").arg(n), 7772}));
    ASSERT_TRUE(recent.remember(QStringLiteral("Bob Two"), GameAddress {QStringLiteral("2001:db8::7"), 7800}));
    // Joined again: to the head of the list, once.
    ASSERT_TRUE(recent.remember(QStringLiteral("Bob Two"), GameAddress {QStringLiteral("203.0.113.9"), 7772}));

    EXPECT_EQ(recent.lastName(), "Bob Two");
    EXPECT_EQ(recent.addresses(), QStringList({"203.0.113.9:7772", "[2001:db8::7]:7800", "203.0.113.12:7772", "203.0.113.11:7772",
                                               "203.0.113.10:7772", "203.0.113.8:7772", "203.0.113.7:7772", "203.0.113.6:7772",
                                               "203.0.113.5:7772", "203.0.113.4:7772"}));
    const QByteArray after = contents(path);
    EXPECT_TRUE(after.startsWith(before)) << after.toStdString();
    EXPECT_TRUE(after.mid(before.size()).startsWith("\r\n[VrelGames]\r\nName=Bob Two\r\nGame1=203.0.113.9:7772\r\n"))
        << after.toStdString();
    EXPECT_EQ(after.count("\r\nGame"), RecentGames::kMaxAddresses);

    // Entries that another program spoilt are left out; the name is cut to a name's length.
    write(path, "[VrelGames]\nName=" + QByteArray(40, 'n') + "\nGame1=not an address\nGame2=host:1\nGame3=host:1\n");
    EXPECT_EQ(recent.lastName(), QString(proto::kMaxNameChars, u'n'));
    EXPECT_EQ(recent.addresses(), QStringList({"host:1"}));

    // A file marked read-only stays as it is, and the player is told where.
    QFile::setPermissions(path, QFile::ReadOwner);
    const QByteArray locked = contents(path);
    EXPECT_FALSE(recent.remember(QStringLiteral("Cid"), GameAddress {QStringLiteral("h"), 7772}));
    EXPECT_EQ(contents(path), locked);
    EXPECT_EQ(recent.writeFailure(), "Unable to write to " + QDir::toNativeSeparators(path));
}
