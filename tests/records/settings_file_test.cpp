// The settings file as the session meets it: every key read at login with its default and its
// rules, every key written in its order on each option change, and nothing stored overwritten by
// a run that never logged in.

#include "net/error_sink.h"
#include "records/settings_file.h"
#include "records/settings_values.h"
#include "session/client_session.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SettingsFileTest : public ::testing::Test
{
protected:
    SettingsFileTest()
    {
        vrel::setErrorSink([this](const QString &text) { errors << text; });
        settings.setWindow({
            [this] { return windowBounds; },
            [this](const QRect &bounds) { windowBounds = bounds; },
            [this](const QString &name) { tilesLoaded << name; },
        });
    }
    ~SettingsFileTest() override { vrel::setErrorSink([](const QString &) {}); }

    void write(const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    // The host seats this client and announces it: the login is complete.
    void logIn()
    {
        session.dispatch("CMD_sendlogininfo+2");
        session.dispatch("CMD_newplayerinfo+2+Ann");
    }

    QTemporaryDir folder;
    QString path = folder.filePath(SettingsFile::kFileName);
    ClientSession session;
    SettingsFile settings {session, path};
    QRect windowBounds {100, 80, 800, 600};
    QStringList tilesLoaded;
    QStringList errors;
};

} // namespace

TEST(SettingsValues, IntegersAreDecimalOrHexAfterDollarOrZeroX)
{
    using settings::readInteger;
    EXPECT_EQ(readInteger(QStringLiteral("12")), 12);
    EXPECT_EQ(readInteger(QStringLiteral("-20")), -20);
    EXPECT_EQ(readInteger(QStringLiteral("+7")), 7);
    EXPECT_EQ(readInteger(QStringLiteral("$0E")), 14);
    EXPECT_EQ(readInteger(QStringLiteral("0x1f")), 31);
    EXPECT_EQ(readInteger(QStringLiteral("0X1F")), 31);
    EXPECT_EQ(readInteger(QStringLiteral("$FFFFFFFF")), -1);
    for (const char *bad : {"", "$", "0x", "12px", "1.5", "$1FFFFFFFF", "$0x10", "$-1", "x12", "9999999999", " 12"})
        EXPECT_EQ(readInteger(QString::fromLatin1(bad)), std::nullopt) << bad;
    // Only the exact "false" is off.
    EXPECT_FALSE(settings::readSwitch(QStringLiteral("false")));
    for (const char *on : {"true", "False", "FALSE", "0", "", "no"})
        EXPECT_TRUE(settings::readSwitch(QString::fromLatin1(on))) << on;
}

TEST_F(SettingsFileTest, AnEmptyFileGivesEveryDefault)
{
    write("");
    // Until the login the built-in values stand, and nothing is read.
    EXPECT_EQ(session.options().textSize, 10);
    EXPECT_FALSE(session.options().textSizeMarked);
    EXPECT_FALSE(session.options().chatterSounds);
    session.setGameOptions(7, 95);
    logIn();
    ASSERT_TRUE(settings.hasBeenRead());
    const PlayerOptions &o = session.options();
    EXPECT_EQ(o.textSize, 8);
    EXPECT_TRUE(o.textSizeMarked);
    EXPECT_EQ(windowBounds, QRect(3, 3, 775, 577));
    EXPECT_EQ(settings.rememberedBounds(), QRect(3, 3, 775, 577));
    EXPECT_EQ(o.textColour, 0u);
    EXPECT_EQ(o.roundsPerGame, 5);
    EXPECT_EQ(o.secondsPerRound, 60);
    EXPECT_EQ(o.botSpeed, 1000);
    EXPECT_EQ(o.turnSound, 0);
    EXPECT_EQ(o.phrases, chat::builtInPhrases());
    EXPECT_TRUE(o.playSounds);
    EXPECT_TRUE(o.autoErase);
    EXPECT_TRUE(o.chatterSounds);
    EXPECT_TRUE(o.readChatAloud);
    EXPECT_TRUE(tilesLoaded.isEmpty());
    // Reading writes nothing.
    EXPECT_EQ(contents(path), QByteArray());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(SettingsFileTest, EachKeyIsReadByItsOwnRules)
{
    write("[Lobby]\nTextsize=14\n"
          "[VREL]\n"
          "TextSize=9\nTop=$20\nleft=0x10\nWidth=-5\nHeight=tall\n"
          "Textcolor=clRed\nPlaytoscore=many\nTimeperturn=$5A\nBotspeed=750\nTurnsound=1\n"
          "Phrase1=Go team\nPhrase2=\nPhrase9=/me cheers\n"
          "Tiles=wood\nPlaysounds=False\nAutoerase=false\nChatterSounds=false\nReadChatAloud=false\n");
    session.setGameOptions(7, 60);
    logIn();
    const PlayerOptions &o = session.options();
    EXPECT_EQ(o.textSize, 9);
    EXPECT_EQ(windowBounds, QRect(16, 32, -5, 577));
    EXPECT_EQ(o.textColour, 0x000000FFu);
    EXPECT_EQ(o.roundsPerGame, 7); // not a number: the dialog keeps its value
    EXPECT_EQ(o.secondsPerRound, 90);
    EXPECT_EQ(o.botSpeed, 1000);
    EXPECT_EQ(o.turnSound, 1);
    EXPECT_EQ(session.phrase(1), "Go team");
    EXPECT_EQ(session.phrase(2), "Good One!"); // an empty phrase leaves the built-in one
    EXPECT_EQ(session.phrase(9), "/me cheers");
    EXPECT_EQ(tilesLoaded, QStringList({"wood"}));
    EXPECT_TRUE(o.playSounds);
    EXPECT_FALSE(o.autoErase);
    EXPECT_FALSE(o.chatterSounds);
    EXPECT_FALSE(o.readChatAloud);

    // Sizes the chat cannot show, colours that do not read and out-of-range dialog values.
    write("[Vrel]\nTextsize=0\nTextcolor=sunset\nPlaytoscore=50\nTimeperturn=7\nBotspeed=2000\nTurnsound=2\n");
    settings.loadinifile();
    EXPECT_EQ(session.options().textSize, 8);
    EXPECT_EQ(session.options().textColour, 0u);
    EXPECT_EQ(session.options().roundsPerGame, 10);
    EXPECT_EQ(session.options().secondsPerRound, 30);
    EXPECT_EQ(session.options().botSpeed, 2000);
    EXPECT_EQ(session.options().turnSound, 0);
}

TEST_F(SettingsFileTest, EveryOptionChangeWritesEveryKeyInItsOrder)
{
    write("[Lobby]\r\nName=Ann\r\n\r\n[Vrel]\r\nBotspeed=750\r\nPhrase3=Hi\r\n");
    logIn();
    windowBounds = QRect(40, 30, 790, 600);
    session.setTextSize(12);
    EXPECT_EQ(contents(path), QByteArray("[Lobby]\r\nName=Ann\r\n\r\n[Vrel]\r\nBotspeed=1000\r\nPhrase3=Hi\r\n"
                                         "Textsize=12\r\nTop=30\r\nLeft=40\r\nWidth=790\r\nHeight=600\r\nTiles=\r\n"
                                         "Textcolor=clBlack\r\nPlaytoscore=5\r\nTimeperturn=60\r\nTurnsound=0\r\n"
                                         "Autoerase=true\r\nPlaysounds=true\r\nChatterSounds=true\r\nOpenPort=true\r\n"
                                         "ReadChatAloud=true\r\n"));
    EXPECT_EQ(settings.rememberedBounds(), windowBounds);

    // Each setter saves, with the window's bounds of the moment.
    const auto value = [this](const char *key) { return ProfileFile(path).readString(SettingsFile::kSection, QString::fromLatin1(key), {}); };
    session.setTextColour(0x000080FF);
    EXPECT_EQ(value("Textcolor"), "$000080FF");
    session.setBotSpeed(500);
    EXPECT_EQ(value("Botspeed"), "500");
    session.setTurnSound(1);
    EXPECT_EQ(value("Turnsound"), "1");
    session.setPlaySounds(false);
    EXPECT_EQ(value("Playsounds"), "false");
    session.setChatterSounds(false);
    EXPECT_EQ(value("ChatterSounds"), "false");
    session.setAutoErase(false);
    EXPECT_EQ(value("Autoerase"), "false");
    session.setOpenPort(false);
    EXPECT_EQ(value("OpenPort"), "false");
    EXPECT_FALSE(settings.storedOpenPort());
    session.setReadChatAloud(false);
    EXPECT_EQ(value("ReadChatAloud"), "false");
    session.setTileSet(QStringLiteral("wood"));
    EXPECT_EQ(value("Tiles"), "wood");
    // The dialog's arrows are saved when a game starts.
    session.setGameOptions(3, 45);
    EXPECT_EQ(value("Playtoscore"), "5");
    session.startgame("3", "45");
    EXPECT_EQ(value("Playtoscore"), "3");
    EXPECT_EQ(value("Timeperturn"), "45");
    // The phrases are written only by their editor.
    session.setPhrase(3, QString());
    EXPECT_EQ(value("Phrase3"), "Hi");
    ASSERT_TRUE(settings.savephrases());
    EXPECT_EQ(value("Phrase3"), "");
    EXPECT_EQ(value("Phrase1"), "Way To Go!");
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(SettingsFileTest, ARunThatNeverLoggedInOverwritesNoStoredOption)
{
    const QByteArray stored = "[Vrel]\nTextsize=14\nTop=50\nLeft=60\nWidth=800\nHeight=600\nTextcolor=clRed\n"
                              "Playsounds=false\nChatterSounds=false\n";
    write(stored);

    // An option the player changes is written alone.
    session.setAutoErase(false);
    QByteArray expected = stored + "Autoerase=false\n";
    EXPECT_EQ(contents(path), expected);
    session.setTextSize(12);
    expected.replace("Textsize=14", "Textsize=12");
    EXPECT_EQ(contents(path), expected);

    // The window never stood at the stored place: closing it, moved or not, stores nothing.
    settings.FormClose(windowBounds.size(), QRect(0, 0, 1920, 1080));
    windowBounds = QRect(200, 150, 780, 590);
    settings.FormClose(windowBounds.size(), QRect(0, 0, 1920, 1080));
    EXPECT_EQ(contents(path), expected);
    EXPECT_EQ(settings.rememberedBounds(), std::nullopt);
    EXPECT_FALSE(settings.hasBeenRead());
}

TEST_F(SettingsFileTest, ClosingSavesOnlyAMovedWindowAndShrinksAnOversizedOne)
{
    write("[Vrel]\nTop=10\nLeft=20\nWidth=800\nHeight=600\n");
    logIn();
    EXPECT_EQ(windowBounds, QRect(20, 10, 800, 600));
    const QByteArray before = contents(path);
    settings.FormClose(QSize(804, 630), QRect(0, 0, 1920, 1050));
    EXPECT_EQ(contents(path), before);

    // Larger than the work area (a maximized window that overhangs it): 15 pixels less each way.
    windowBounds = QRect(-4, -4, 1928, 1058);
    settings.FormClose(QSize(1928, 1080), QRect(0, 0, 1920, 1050));
    const ProfileFile file(path);
    EXPECT_EQ(file.readString(SettingsFile::kSection, QStringLiteral("Width"), {}), "1913");
    EXPECT_EQ(file.readString(SettingsFile::kSection, QStringLiteral("Height"), {}), "1043");
    EXPECT_EQ(file.readString(SettingsFile::kSection, QStringLiteral("Left"), {}), "-4");
    EXPECT_EQ(settings.rememberedBounds(), QRect(-4, -4, 1913, 1043));
    EXPECT_EQ(file.readString(SettingsFile::kSection, QStringLiteral("Autoerase"), {}), "true");
}

TEST_F(SettingsFileTest, AFileThatCannotBeWrittenIsReportedAndLeftAsItWas)
{
    write("[Vrel]\nTextsize=12\n");
    logIn();
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    session.setTextSize(14);
    EXPECT_EQ(errors, QStringList({QStringLiteral("Unable to write to ") + path}));
    EXPECT_EQ(contents(path), QByteArray("[Vrel]\nTextsize=12\n"));
    // The option itself took effect.
    EXPECT_EQ(session.options().textSize, 14);
    EXPECT_FALSE(settings.savephrases());
    EXPECT_EQ(errors.size(), 2);
}
