// The INI layer: one key at a time, every other byte of the file kept, names in any letter case,
// values cut at 2047 characters, and files replaced whole or not at all.

#include "records/player_file.h"
#include "records/profile.h"
#include "records/profile_text.h"
#include "tests/support/qt_printers.h"

#include "tests/records/file_bytes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

// The lobby's file: its own sections around ours, comments, odd spacing and letter case, CR LF.
const QByteArray kSharedFile =
    "; Kovren lobby settings\r\n"
    "[Lobby]\r\n"
    "Server = lobby.example.org \r\n"
    "Textsize=99\r\n"
    "\r\n"
    "[ vREL ]\r\n"
    "  TEXTSIZE =  12   \r\n"
    ";Top=1\r\n"
    "top\t=\t40\r\n"
    "\r\n"
    "[Other]\r\n"
    "Top=7\r\n"
    "[vrel]\r\n"
    "Left=999\r\n";

} // namespace

TEST(ProfileText, AWriteChangesOneValueAndKeepsEveryOtherByte)
{
    using profile::withValue;
    // An existing key: only its value changes; its spelling, its blanks before the value and the
    // line end stay.
    QByteArray text = withValue(kSharedFile, QStringLiteral("Vrel"), QStringLiteral("Textsize"), QStringLiteral("8"));
    QByteArray expected = kSharedFile;
    expected.replace("  TEXTSIZE =  12   \r\n", "  TEXTSIZE =  8\r\n");
    EXPECT_EQ(text, expected);

    // A new key goes after the section's last key, in the file's CR LF style; the comment, the
    // blank line and the later section of the same name are left alone.
    text = withValue(text, QStringLiteral("VREL"), QStringLiteral("Width"), QStringLiteral("775"));
    expected.replace("top\t=\t40\r\n", "top\t=\t40\r\nWidth=775\r\n");
    EXPECT_EQ(text, expected);

    // A new section goes at the end, after a blank line; a last line without a line end gets one.
    QByteArray unended = kSharedFile;
    unended.chop(2);
    EXPECT_EQ(withValue(unended, QStringLiteral("New"), QStringLiteral("Key"), QStringLiteral("a\r\nb")),
              kSharedFile + "\r\n[New]\r\nKey=a  b\r\n");

    // LF files stay LF; an empty text becomes the section with its key.
    EXPECT_EQ(withValue("[a]\nx=1\n", QStringLiteral("A"), QStringLiteral("y"), QStringLiteral("2")), QByteArray("[a]\nx=1\ny=2\n"));
    EXPECT_EQ(withValue("[a]\nx=1", QStringLiteral("a"), QStringLiteral("y"), QStringLiteral("2")), QByteArray("[a]\nx=1\ny=2\n"));
    EXPECT_EQ(withValue("", QStringLiteral("Vrel"), QStringLiteral("Top"), QStringLiteral("3")), QByteArray("[Vrel]\nTop=3\n"));
    EXPECT_EQ(withValue("[Vrel]\n", QStringLiteral("Vrel"), QStringLiteral("Top"), QStringLiteral("3")), QByteArray("[Vrel]\nTop=3\n"));
}

TEST(ProfileText, LookupsIgnoreLetterCaseAndBlanksAndTakeTheFirstOfAName)
{
    using profile::findValue;
    const QString vrel = QStringLiteral("Vrel");
    EXPECT_EQ(findValue(kSharedFile, vrel, QStringLiteral("textsize")), QStringLiteral("12"));
    EXPECT_EQ(findValue(kSharedFile, QStringLiteral("VREL"), QStringLiteral("TOP")), QStringLiteral("40"));
    // Keys of other sections, comments and the second section of the name are not ours.
    EXPECT_EQ(findValue(kSharedFile, vrel, QStringLiteral("Server")), std::nullopt);
    EXPECT_EQ(findValue(kSharedFile, vrel, QStringLiteral("Left")), std::nullopt);
    EXPECT_EQ(findValue(kSharedFile, QStringLiteral("lobby"), QStringLiteral("server")), QStringLiteral("lobby.example.org"));
    EXPECT_EQ(findValue(kSharedFile, QStringLiteral("Missing"), QStringLiteral("Top")), std::nullopt);

    // "Key=" is an empty value, not a missing key; a line without "=" is no key; a header
    // without its "]" is no header; a byte-order mark does not hide the first section.
    const QByteArray odd = "\xEF\xBB\xBF[Vrel]\nPhrase1=\nPhrase2\n[Broken\nPhrase3=x\nphrase1=late\n";
    EXPECT_EQ(findValue(odd, vrel, QStringLiteral("Phrase1")), QString());
    EXPECT_EQ(findValue(odd, vrel, QStringLiteral("Phrase2")), std::nullopt);
    EXPECT_EQ(findValue(odd, vrel, QStringLiteral("Phrase3")), QStringLiteral("x"));
    // UTF-8 values; a byte-order mark only counts as blank at the very start of the file.
    EXPECT_EQ(findValue("[Vrel]\r\nTiles= Blümchen \r\n", vrel, QStringLiteral("tiles")), QStringLiteral("Blümchen"));
    EXPECT_EQ(findValue("[Vrel]\nTiles=\xEF\xBB\xBFwood\n", vrel, QStringLiteral("Tiles")), QStringLiteral("\uFEFFwood"));
}

TEST(ProfileText, ValuesAreReadAsAtMost2047Characters)
{
    const QString vrel = QStringLiteral("Vrel");
    const QString key = QStringLiteral("Phrase1");
    const QString longValue = QString(2047, QLatin1Char('a')) + QStringLiteral("bcd");
    const QByteArray text = profile::withValue({}, vrel, key, longValue);
    EXPECT_TRUE(text.contains(longValue.toUtf8())); // written whole
    EXPECT_EQ(profile::findValue(text, vrel, key), QString(2047, QLatin1Char('a')));
    const QString exact = QString(2047, QLatin1Char('z'));
    EXPECT_EQ(profile::findValue(profile::withValue({}, vrel, key, exact), vrel, key), exact);
    // A character outside the basic plane is never cut in half.
    const QString astral = QString(2046, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(profile::findValue(profile::withValue({}, vrel, key, astral), vrel, key), QString(2046, QLatin1Char('a')));
}

class ProfileFileTest : public ::testing::Test
{
protected:
    QString path() const { return folder.filePath(QStringLiteral("kovrlobby.ini")); }
    QTemporaryDir folder;
};

TEST_F(ProfileFileTest, AMissingFileReadsAsDefaultsAndTheFirstWriteCreatesIt)
{
    const ProfileFile file(path());
    EXPECT_EQ(file.readString(QStringLiteral("Vrel"), QStringLiteral("Top"), QStringLiteral("3")), QStringLiteral("3"));
    EXPECT_FALSE(QFile::exists(path()));
    ASSERT_TRUE(file.writeString(QStringLiteral("Vrel"), QStringLiteral("Top"), QStringLiteral("40")));
    EXPECT_EQ(file_bytes::read(path()), QByteArray("[Vrel]\nTop=40\n"));
    EXPECT_EQ(file.readString(QStringLiteral("vrel"), QStringLiteral("TOP"), QStringLiteral("3")), QStringLiteral("40"));
    EXPECT_EQ(file.readString(QStringLiteral("Lobby"), QStringLiteral("Top"), QStringLiteral("3")), QStringLiteral("3"));
}

TEST_F(ProfileFileTest, EachWriteReplacesTheFileWholeAndLeavesNothingBeside)
{
    file_bytes::write(path(), kSharedFile);
    // A second name for the old file keeps the old bytes: the new file took its place by a
    // rename, it was not written over the old one.
    const QString oldName = folder.filePath(QStringLiteral("old"));
    ASSERT_EQ(::link(QFile::encodeName(path()).constData(), QFile::encodeName(oldName).constData()), 0);
    const ProfileFile file(path());
    ASSERT_TRUE(file.writeString(QStringLiteral("Vrel"), QStringLiteral("Top"), QStringLiteral("5")));
    EXPECT_EQ(file_bytes::read(oldName), kSharedFile);
    EXPECT_TRUE(file_bytes::read(path()).contains("top\t=\t5\r\n"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"kovrlobby.ini", "old"}));
    // The file keeps its permissions.
    EXPECT_EQ(QFile::permissions(path()), QFile::permissions(oldName));
}

TEST_F(ProfileFileTest, AReadOnlyFileOrFolderRefusesTheWriteAndKeepsTheKeysBefore)
{
    const ProfileFile file(path());
    ASSERT_TRUE(file.writeString(QStringLiteral("Vrel"), QStringLiteral("Textsize"), QStringLiteral("12")));
    ASSERT_TRUE(file.writeString(QStringLiteral("Vrel"), QStringLiteral("Top"), QStringLiteral("40")));
    const QByteArray before = file_bytes::read(path());

    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_FALSE(file.writeString(QStringLiteral("Vrel"), QStringLiteral("Left"), QStringLiteral("9")));
    EXPECT_EQ(file.writeFailure(), QStringLiteral("Unable to write to ") + path());
    EXPECT_EQ(file_bytes::read(path()), before);
    EXPECT_EQ(file.readString(QStringLiteral("Vrel"), QStringLiteral("Top"), {}), QStringLiteral("40"));
    // A key that already holds the value asks nothing of the file.
    EXPECT_TRUE(file.writeString(QStringLiteral("VREL"), QStringLiteral("top"), QStringLiteral("40")));

    // A writable file in a read-only folder cannot be replaced either.
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner));
    const QFile::Permissions folderRights = QFile::permissions(folder.path());
    ASSERT_TRUE(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_FALSE(file.writeString(QStringLiteral("Vrel"), QStringLiteral("Left"), QStringLiteral("9")));
    QFile::setPermissions(folder.path(), folderRights);
    EXPECT_EQ(file_bytes::read(path()), before);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"kovrlobby.ini"}));

    // Nor can a file in a folder that is not there.
    const ProfileFile nowhere(folder.filePath(QStringLiteral("gone/kovrlobby.ini")));
    EXPECT_FALSE(nowhere.writeString(QStringLiteral("Vrel"), QStringLiteral("Top"), QStringLiteral("1")));
    EXPECT_EQ(nowhere.readString(QStringLiteral("Vrel"), QStringLiteral("Top"), QStringLiteral("3")), QStringLiteral("3"));
}

TEST_F(ProfileFileTest, AFileThatCannotBeReadIsNeverReplaced)
{
    // Its other sections could not be kept: a folder in the file's place, for one.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("kovrlobby.ini")));
    const ProfileFile file(path());
    EXPECT_FALSE(file.writeString(QStringLiteral("Vrel"), QStringLiteral("Top"), QStringLiteral("1")));
    EXPECT_TRUE(QFileInfo(path()).isDir());
    EXPECT_EQ(file.readString(QStringLiteral("Vrel"), QStringLiteral("Top"), QStringLiteral("3")), QStringLiteral("3"));
}

TEST(PlayerFiles, LiveInTheProgramFolderOrElseInTheUsersConfigurationFolder)
{
    QTemporaryDir programFolder;
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    EXPECT_EQ(playerFilePath(programFolder.path(), QStringLiteral("kovrlobby.ini")),
              QDir(programFolder.path()).filePath(QStringLiteral("kovrlobby.ini")));

    ASSERT_TRUE(QFile::setPermissions(programFolder.path(), QFile::ReadOwner | QFile::ExeOwner));
    const QString elsewhere = playerFilePath(programFolder.path(), QStringLiteral("kovrlobby.ini"));
    QFile::setPermissions(programFolder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    EXPECT_TRUE(userFolder.startsWith(config.path()));
    EXPECT_EQ(elsewhere, QDir(userFolder).filePath(QStringLiteral("kovrlobby.ini")));
    EXPECT_TRUE(QFileInfo(userFolder).isDir());
    // The settings can be written there.
    EXPECT_TRUE(ProfileFile(elsewhere).writeString(QStringLiteral("Vrel"), QStringLiteral("Top"), QStringLiteral("3")));
    qunsetenv("XDG_CONFIG_HOME");
}
