// The settings file and the main window: options read at login and drawn by the menus, every
// option change saved, the window's place kept between runs, and a run that never logged in
// leaving the stored options alone.

#include "tests/client/client_fixture.h"

#include "app/startup/tgamestart.h"
#include "chat/chatentry.h"
#include "client/phrase_buttons.h"
#include "records/profile.h"
#include "records/settings_file.h"
#include "resources/art/contrast.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

using testing_support::waitUntil;

class SettingsWindow : public ClientFixture
{
protected:
    QString settingsPath() const { return home.filePath(SettingsFile::kFileName); }
    void writeSettings(const QByteArray &bytes)
    {
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray settingsBytes() const
    {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
    }
    QString stored(const char *key) const
    {
        return ProfileFile(settingsPath()).readString(SettingsFile::kSection, QString::fromLatin1(key), QStringLiteral("<none>"));
    }
    static QAction *action(VrelProgram &program, const char *name)
    {
        return program.chat().findChild<QAction *>(QLatin1String(name));
    }
    static QStringList checked(VrelProgram &program, const QStringList &names)
    {
        QStringList on;
        for (const QString &name : names) {
            if (QAction *item = action(program, name.toLatin1().constData()); item && item->isChecked())
                on << name;
        }
        return on;
    }
    const QStringList sizeItems {"N8", "N10", "N12", "N14"};
    const QStringList speedItems {"Slow1", "Normal1", "Fast1"};
};

TEST_F(SettingsWindow, TheMenusShowTheBuiltInValuesUntilTheLoginThenWhatTheFileSays)
{
    writeSettings("[vrel]\nTextsize=9\nPlaysounds=False\nBotspeed=750\nTextcolor=clRed\n"
                  "Playtoscore=3\nTimeperturn=45\nPhrase2=Go go\nReadChatAloud=false\n");
    auto ann = start({QStringLiteral("Ann"), QStringLiteral("ignored"), QStringLiteral("true")});
    // Built in: size 10 with no size marked, "Normal" bots, black text, 5 rounds of 60 seconds.
    EXPECT_EQ(ann->chat().mainchat()->textSize(), 10);
    EXPECT_EQ(checked(*ann, sizeItems), QStringList());
    EXPECT_EQ(checked(*ann, speedItems), QStringList({"Normal1"}));
    EXPECT_EQ(ann->gamestart().UpDown1->value(), 5);
    EXPECT_FALSE(ann->session().options().chatterSounds);
    EXPECT_TRUE(ann->chat().readChatAloudAction()->isChecked());
    // "Bot Speed" is in the Options menu, hidden.
    QMenu *botSpeed = ann->chat().botSpeedMenu();
    ASSERT_NE(botSpeed, nullptr);
    EXPECT_TRUE(ann->chat().optionsMenu()->actions().contains(botSpeed->menuAction()));
    EXPECT_FALSE(botSpeed->menuAction()->isVisible());

    ASSERT_TRUE(waitUntil([&] { return ann->session().options().chatterSounds; }));
    EXPECT_TRUE(chatLines(*ann).contains("You are Connected."));
    // Size 9 shows at once, and no item has that name.
    EXPECT_EQ(ann->chat().mainchat()->textSize(), 9);
    EXPECT_EQ(checked(*ann, sizeItems), QStringList());
    EXPECT_TRUE(ann->session().options().playSounds); // "False" is not "false"
    EXPECT_EQ(checked(*ann, speedItems), QStringList({"Normal1"}));
    // The entry's red, as dark as it must be to read on its white.
    EXPECT_EQ(ann->chat().mychat()->palette().color(QPalette::Text), art::readableOn(Qt::red, Qt::white));
    EXPECT_EQ(ann->gamestart().UpDown1->value(), 3);
    EXPECT_EQ(ann->gamestart().UpDown2->value(), 45);
    EXPECT_EQ(ann->chat().phraseButtons().button(2)->toolTip(), "Go go");
    EXPECT_EQ(ann->chat().phraseButtons().button(3)->toolTip(), "Nice Try!");
    EXPECT_EQ(ann->chat().pos(), QPoint(3, 3));
    EXPECT_EQ(ann->chat().size(), QSize(775, 577));

    // The next save writes "Normal" as 1000, and every other key.
    action(*ann, "N12")->trigger();
    EXPECT_EQ(checked(*ann, sizeItems), QStringList({"N12"}));
    EXPECT_EQ(ann->chat().mainchat()->document()->defaultFont().pointSize(), 12); // at once
    EXPECT_EQ(stored("Botspeed"), "1000");
    EXPECT_EQ(stored("Textsize"), "12");
    EXPECT_EQ(stored("Textcolor"), "clRed");
    EXPECT_EQ(stored("Playsounds"), "true");
    EXPECT_EQ(stored("Playtoscore"), "3");
    action(*ann, "Fast1")->trigger();
    EXPECT_EQ(checked(*ann, speedItems), QStringList({"Fast1"}));
    EXPECT_EQ(stored("Botspeed"), "500");
    // "Read Chat Aloud" as the file had it, and kept there when the player changes it.
    EXPECT_FALSE(ann->chat().readChatAloudAction()->isChecked());
    EXPECT_EQ(stored("ReadChatAloud"), "false");
    ann->chat().readChatAloudAction()->trigger();
    EXPECT_TRUE(ann->session().options().readChatAloud);
    EXPECT_EQ(stored("ReadChatAloud"), "true");
    // The arrows change the dialog; starting a game stores them.
    ann->gamestart().UpDown1->stepUp();
    EXPECT_EQ(stored("Playtoscore"), "3");
    ann->chat().startButton()->click();
    ann->gamestart().startButton()->click();
    EXPECT_EQ(stored("Playtoscore"), "4");
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(SettingsWindow, AMovedWindowIsSavedWhenItClosesAnUnmovedOneIsNot)
{
    writeSettings("[Lobby]\nName=Ann\n[Vrel]\nTop=40\nLeft=50\nWidth=780\nHeight=590\n");
    {
        auto ann = host(QStringLiteral("Ann"));
        ASSERT_TRUE(waitUntil([&] { return ann->chat().pos() == QPoint(50, 40); }));
        EXPECT_EQ(ann->chat().size(), QSize(780, 590));
        ann->chat().close();
        EXPECT_EQ(settingsBytes(), "[Lobby]\nName=Ann\n[Vrel]\nTop=40\nLeft=50\nWidth=780\nHeight=590\n");
    }
    {
        auto ann = host(QStringLiteral("Ann"));
        ASSERT_TRUE(waitUntil([&] { return ann->chat().pos() == QPoint(50, 40); }));
        ann->chat().move(120, 90);
        ann->chat().close();
        EXPECT_EQ(stored("Top"), "90");
        EXPECT_EQ(stored("Left"), "120");
        EXPECT_EQ(stored("Width"), "780");
        EXPECT_EQ(stored("Autoerase"), "true"); // all keys are saved
        EXPECT_TRUE(settingsBytes().startsWith("[Lobby]\nName=Ann\n[Vrel]\nTop=90\nLeft=120\n"));
    }
    {
        // Larger than the work area: stored 15 pixels smaller in each direction that overhangs.
        auto ann = host(QStringLiteral("Ann"));
        ASSERT_TRUE(waitUntil([&] { return ann->chat().pos() == QPoint(120, 90); }));
        const QRect workArea = ann->chat().screen()->availableGeometry();
        ann->chat().resize(workArea.width() + 40, 700);
        const bool taller = ann->chat().frameGeometry().height() > workArea.height();
        ann->chat().close();
        EXPECT_EQ(stored("Width"), QString::number(workArea.width() + 40 - 15));
        EXPECT_EQ(stored("Height"), QString::number(taller ? 700 - 15 : 700));
    }
}

TEST_F(SettingsWindow, ResetScreenLocationAndTheSmallestWindow)
{
    writeSettings("[Vrel]\nTop=40\nLeft=50\nWidth=900\nHeight=650\n");
    auto ann = host(QStringLiteral("Ann"));
    ASSERT_TRUE(waitUntil([&] { return ann->chat().pos() == QPoint(50, 40); }));
    // The board's scale comes back with the window's size: 900 by 650 draws it an eighth larger.
    EXPECT_EQ(ann->chat().boardScale(), 1.125);
    const QByteArray before = settingsBytes();
    action(*ann, "ResetScreenLocation1")->trigger();
    EXPECT_EQ(ann->chat().bounds(), QRect(3, 3, 775, 577));
    EXPECT_EQ(ann->chat().boardScale(), 1.0);
    EXPECT_EQ(settingsBytes(), before); // saved with the next save
    action(*ann, "autoerase")->trigger();
    EXPECT_EQ(stored("Left"), "3");
    EXPECT_EQ(stored("Width"), "775");
    EXPECT_EQ(stored("Autoerase"), "false");

    // The board and its margin always fit: 768 by 533 at least.
    ann->chat().resize(300, 200);
    EXPECT_GE(ann->chat().centralWidget()->width(), 768);
    EXPECT_GE(ann->chat().centralWidget()->height(), 533);
}

TEST_F(SettingsWindow, ARunThatNeverLoggedInKeepsTheStoredOptions)
{
    const QByteArray stored = "[Vrel]\nTextsize=14\nTop=40\nLeft=50\nWidth=800\nHeight=600\nTextcolor=clRed\n"
                              "Playsounds=false\nChatterSounds=false\nPhrase1=Hi all\n";
    writeSettings(stored);
    {
        // Two parameters: the copy waits and never connects.
        auto ann = start({QStringLiteral("Ann"), QStringLiteral("127.0.0.1")});
        testing_support::settle(100);
        ann->chat().resize(790, 590);
        ann->chat().close();
        EXPECT_EQ(settingsBytes(), stored);
    }
    auto ann = start({QStringLiteral("Ann"), QStringLiteral("127.0.0.1")});
    testing_support::settle(100);
    // The option the player changes is stored alone; the window never stood at the stored
    // place, so where it was is not stored.
    action(*ann, "N10")->trigger();
    ann->chat().move(200, 150);
    ann->chat().close();
    QByteArray expected = stored;
    expected.replace("Textsize=14", QByteArray("Textsize=10"));
    EXPECT_EQ(settingsBytes(), expected);
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(SettingsWindow, AFileThatCannotBeWrittenIsReportedWithItsPath)
{
    writeSettings("[Vrel]\nTextsize=12\n");
    auto ann = host(QStringLiteral("Ann"));
    ASSERT_TRUE(waitUntil([&] { return ann->session().options().chatterSounds; }));
    ASSERT_TRUE(QFile::setPermissions(settingsPath(), QFile::ReadOwner));
    action(*ann, "N8")->trigger();
    EXPECT_EQ(boxes, QStringList({QStringLiteral("Unable to write to ") + settingsPath()}));
    EXPECT_EQ(settingsBytes(), "[Vrel]\nTextsize=12\n");
    // The option took effect all the same.
    EXPECT_EQ(checked(*ann, sizeItems), QStringList({"N8"}));
}

// The sound options head the Options menu. Until the login they show their built-in states
// ("Play Sounds" on, "Play Chatter Sounds" off, "Classic"), then what the file says; every change
// is saved at once, and the turn sound follows "Turn Sound".
TEST_F(SettingsWindow, TheSoundOptionsHeadTheOptionsMenuAndEveryChangeIsSaved)
{
    writeSettings("[Vrel]\nPlaysounds=false\nTurnsound=1\n");
    auto ann = start({QStringLiteral("Ann"), QStringLiteral("ignored"), QStringLiteral("true")});
    QStringList sounds;
    QObject::connect(&ann->session(), &ClientSession::soundRequested, [&](const QString &name) { sounds << name; });
    const QStringList soundItems {"PlaySounds1", "PlayChatterSounds1", "Classic1", "New1"};
    const QList<QAction *> head = ann->chat().optionsMenu()->actions().mid(0, 3);
    ASSERT_EQ(head.size(), 3);
    EXPECT_EQ(head[0], action(*ann, "PlaySounds1"));
    EXPECT_EQ(head[0]->text(), "Play &Sounds");
    EXPECT_EQ(head[1], action(*ann, "PlayChatterSounds1"));
    EXPECT_EQ(head[1]->text(), "Play C&hatter Sounds");
    QMenu *turnSound = ann->chat().turnSoundMenu();
    EXPECT_EQ(head[2], turnSound->menuAction());
    EXPECT_EQ(turnSound->title(), "&Turn Sound");
    ASSERT_EQ(turnSound->actions().size(), 2);
    EXPECT_EQ(turnSound->actions()[0]->text(), "&Classic");
    EXPECT_EQ(turnSound->actions()[1]->text(), "&New");
    EXPECT_EQ(checked(*ann, soundItems), QStringList({"PlaySounds1", "Classic1"}));

    // Read at the login, before the arrival's sound, which "Play Sounds" off keeps silent.
    ASSERT_TRUE(waitUntil([&] { return ann->session().options().chatterSounds; }));
    EXPECT_EQ(checked(*ann, soundItems), QStringList({"PlayChatterSounds1", "New1"}));
    EXPECT_TRUE(sounds.isEmpty()) << sounds.join(QLatin1Char(' ')).toStdString();

    action(*ann, "PlaySounds1")->trigger();
    EXPECT_EQ(stored("Playsounds"), "true");
    action(*ann, "PlayChatterSounds1")->trigger();
    EXPECT_EQ(stored("ChatterSounds"), "false");
    EXPECT_EQ(checked(*ann, soundItems), QStringList({"PlaySounds1", "New1"}));
    ann->chat().startButton()->click();
    ann->gamestart().startButton()->click();
    ASSERT_TRUE(waitUntil([&] { return ann->session().ownsBoard(); }));
    EXPECT_EQ(sounds.last(), "turnnew");
    action(*ann, "Classic1")->trigger();
    EXPECT_EQ(stored("Turnsound"), "0");
    EXPECT_EQ(stored("Playsounds"), "true"); // every key is saved
    EXPECT_EQ(checked(*ann, soundItems), QStringList({"PlaySounds1", "Classic1"}));
    // A radio item chosen again stays chosen.
    action(*ann, "Classic1")->trigger();
    EXPECT_EQ(checked(*ann, soundItems), QStringList({"PlaySounds1", "Classic1"}));
    EXPECT_TRUE(boxes.isEmpty());
}
