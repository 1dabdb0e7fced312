// The phrase buttons in the real window against the real host: one click sends a stock remark as
// an action, a lock keeps a second click from flooding the chat, and the phrase editor changes
// and stores the phrases.

#include "tests/client/fake_host.h"
#include "tests/client/game_fixture.h"

#include "chat/chatentry.h"
#include "client/phrase_buttons.h"
#include "client/tphrases.h"
#include "records/settings_file.h"

#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

using testing_support::FakeHost;
using testing_support::RawClient;
using testing_support::waitUntil;
using namespace std::chrono_literals;

class PhraseButtonsTest : public GameFixture
{
protected:
    const QString kMarkup = QStringLiteral("<b>wow</b>");
    const QString kMarkupTooltip = QStringLiteral("<p style='white-space:pre'>&lt;b&gt;wow&lt;/b&gt;</p>");
    QString settingsPath() const { return home.filePath(SettingsFile::kFileName); }
    QByteArray settingsBytes() const
    {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
    }
    static void click(VrelProgram &program, int button)
    {
        QTest::mouseClick(program.chat().phraseButtons().button(button), Qt::LeftButton);
    }
    static QStringList tooltips(VrelProgram &program)
    {
        QStringList texts;
        for (int n = 1; n <= chat::kPhraseButtons; ++n)
            texts << program.chat().phraseButtons().button(n)->toolTip();
        return texts;
    }
    // Opens the editor from the View menu, sets the given fields and presses "Done".
    static void editPhrases(VrelProgram &program, const std::map<int, QString> &phrases)
    {
        program.chat().findChild<QAction *>(QStringLiteral("PrhaseList1"))->trigger();
        Tphrases &editor = program.phrases();
        ASSERT_TRUE(editor.isVisible());
        for (const auto &[n, text] : phrases)
            editor.field(n)->setText(text);
        QTest::mouseClick(editor.doneButton(), Qt::LeftButton);
    }
    // Opens the sound menu with the tenth button and clicks the item of that number (0 is
    // "<Cancel>"), as a player does.
    static void chooseChatterSound(VrelProgram &program, int number)
    {
        QMenu *menu = program.chat().phraseButtons().chatterSoundMenu();
        QTest::mouseClick(program.chat().chatterSoundButton(), Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return menu->isVisible(); }));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().at(number)).center());
        EXPECT_FALSE(menu->isVisible());
    }
    static QStringList builtIn()
    {
        const auto phrases = chat::builtInPhrases();
        return QStringList(phrases.begin(), phrases.end());
    }
};

TEST_F(PhraseButtonsTest, TheColumnAndTheEditorAsAPlayerSeesThem)
{
    auto ann = host(QStringLiteral("Ann"));
    auto bob = joinRaw(portOf(*ann), "Bob");
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == QLatin1String("Bob"); }));
    bob->send(QByteArray("CMD_action+2+says: Good One!|clPurple\xFF"));
    ASSERT_TRUE(waitUntil([&] { return chatText(*ann).contains("Good One!"); }));

    // Nine phrase buttons and the chatter-sound button, stacked at the chat's left edge.
    Tchat &window = ann->chat();
    for (int n = 1; n <= 10; ++n) {
        auto *button = window.findChild<QPushButton *>(QStringLiteral("b_phrase%1").arg(n));
        ASSERT_NE(button, nullptr) << n;
        EXPECT_EQ(button->geometry(), QRect(262, 319 + 21 * (n - 1), 27, 21)) << n;
        EXPECT_TRUE(button->isVisible()) << n;
    }
    EXPECT_EQ(window.chatterSoundButton()->objectName(), "b_phrase10");
    EXPECT_EQ(tooltips(*ann), builtIn());

    // "Phrase List" in the View menu opens the editor on the buttons' phrases.
    QAction *phraseList = window.findChild<QAction *>(QStringLiteral("PrhaseList1"));
    ASSERT_NE(phraseList, nullptr);
    EXPECT_EQ(phraseList->text(), "P&hrase List");
    phraseList->trigger();
    Tphrases &editor = ann->phrases();
    ASSERT_TRUE(editor.isVisible());
    EXPECT_FALSE(editor.isModal());
    EXPECT_EQ(editor.windowTitle(), "Vrel - Phrase Buttons ");
    for (int n = 1; n <= chat::kPhraseButtons; ++n) {
        EXPECT_EQ(editor.field(n)->objectName(), QStringLiteral("phrase%1").arg(n));
        EXPECT_EQ(editor.field(n)->text(), builtIn()[n - 1]);
        EXPECT_EQ(editor.findChild<QLabel *>(QStringLiteral("label_phrase%1").arg(n))->text(), QStringLiteral("Phrase Button %1:").arg(n));
    }
    EXPECT_EQ(editor.findChild<QLabel *>(QStringLiteral("label_note"))->text(), "Buttons can only be used once every 2 seconds");
    EXPECT_EQ(editor.doneButton()->text(), "Done");
    const QRect chatArea(255, 312, 509, 217);
    const QImage chat = window.board()->grab(chatArea).toImage();
    const QImage editorShot = editor.grab().toImage();
    QDir().mkpath(QStringLiteral("screenshots"));
    EXPECT_TRUE(chat.save(QStringLiteral("screenshots/phrase-column.png")));
    EXPECT_TRUE(editorShot.save(QStringLiteral("screenshots/phrase-editor.png")));
    screenshot(window.board(), QStringLiteral("phrase-column"));
    screenshot(&editor, QStringLiteral("phrase-editor"));
    // Every button shows a picture of its own.
    QList<QImage> faces;
    for (int n = 1; n <= 10; ++n)
        faces << window.findChild<QPushButton *>(QStringLiteral("b_phrase%1").arg(n))->grab().toImage();
    for (int a = 0; a < faces.size(); ++a)
        for (int b = a + 1; b < faces.size(); ++b)
            EXPECT_NE(faces[a], faces[b]) << a + 1 << " and " << b + 1;

    // A field takes 50 characters and no more.
    editor.field(9)->clear();
    QTest::keyClicks(editor.field(9), QString(60, QLatin1Char('x')));
    EXPECT_EQ(editor.field(9)->text(), QString(50, QLatin1Char('x')));
}

TEST_F(PhraseButtonsTest, TwoQuickClicksSendOneActionAndTheLockOpensAfterASecondAndAHalf)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    auto bob = joinRaw(portOf(*ann), "Bob");
    auto cid = joinGame(*ann, QStringLiteral("Cid"), 3);
    bob->drain(100);

    click(*ann, 3);
    click(*ann, 5);
    EXPECT_EQ(bob->drain(200), QList<QByteArray>({"CMD_action+1+Ann says: Nice Try!|clBlack"}));
    ASSERT_TRUE(waitUntil([&] { return chatLines(*cid).contains("Ann says: Nice Try!"); }));
    EXPECT_FALSE(chatText(*cid).contains("Brilliant!"));

    // The lock opens again by itself in about a second and a half.
    ASSERT_TRUE(waitUntil([&] { return !ann->session().phraseLocked(); }, 4000));

    // It holds for exactly that long (101 ticks of 15 ms), whatever else the player does.
    ann->session().setManualDispatch(true);
    click(*ann, 5);
    ann->session().advanceDispatchClock(ClientSession::kPhraseLock - 1ns);
    click(*ann, 6);
    ann->session().advanceDispatchClock(1ns);
    EXPECT_FALSE(ann->session().phraseLocked());
    click(*ann, 5);
    EXPECT_EQ(bob->drain(200), QList<QByteArray>({"CMD_action+1+Ann says: Brilliant!|clBlack", "CMD_action+1+Ann says: Brilliant!|clBlack"}));
    ann->session().advanceDispatchClock(ClientSession::kPhraseLock);

    // Typed chat has no such limit, and does not close the lock.
    QTest::keyClicks(ann->chat().mychat(), QStringLiteral("hi"));
    QTest::keyClick(ann->chat().mychat(), Qt::Key_Return);
    click(*ann, 7);
    EXPECT_EQ(bob->drain(200), QList<QByteArray>({"CMD_chat+1+Ann chats: hi|clBlack", "CMD_action+1+Ann says: Thanks!|clBlack"}));
}

TEST_F(PhraseButtonsTest, EditedPhrasesAreSentAsActionsAndAnEmptyOneReturnsBuiltInNextTime)
{
    {
        auto ann = hostGame(QStringLiteral("Ann"));
        auto bob = joinRaw(portOf(*ann), "Bob");
        auto cid = joinGame(*ann, QStringLiteral("Cid"), 3);
        bob->drain(100);
        // The phrase goes in the player's colour.
        ann->session().setTextColour(0x00008000);
        bob->drain(100);

        editPhrases(*ann, {{1, QStringLiteral("/me cheers")}, {2, QStringLiteral("/mecheers")}, {4, QString()}, {5, kMarkup}});
        EXPECT_FALSE(ann->phrases().isVisible());
        EXPECT_EQ(ann->chat().phraseButtons().button(1)->toolTip(), "/me cheers");
        EXPECT_EQ(ann->chat().phraseButtons().button(4)->toolTip(), "");
        // A phrase that looks like markup shows as typed.
        EXPECT_EQ(ann->chat().phraseButtons().button(5)->toolTip(), kMarkupTooltip);

        ann->session().setManualDispatch(true);
        for (int button : {1, 2, 4}) {
            click(*ann, button);
            ann->session().advanceDispatchClock(ClientSession::kPhraseLock);
        }
        EXPECT_EQ(bob->drain(200), QList<QByteArray>({"CMD_action+1+Ann cheers|clGreen", "CMD_action+1+Ann says: /mecheers|clGreen",
                                                       "CMD_action+1+Ann says: |clGreen"}));
        ASSERT_TRUE(waitUntil([&] { return chatText(*cid).contains("/mecheers") && chatText(*cid).count("says:") == 2; }));
        EXPECT_TRUE(chatLines(*cid).contains("Ann cheers"));
        EXPECT_TRUE(chatLines(*cid).contains("Ann says: /mecheers"));
        EXPECT_TRUE(chatLines(*cid).contains("Ann says:"));

        const QByteArray file = settingsBytes();
        EXPECT_TRUE(file.contains("Phrase1=/me cheers\nPhrase2=/mecheers\nPhrase3=Nice Try!\nPhrase4=\nPhrase5=<b>wow</b>\n")) << file.constData();
    }
    // The next run: the stored phrases come back at the login, the empty one as built in.
    auto ann = host(QStringLiteral("Ann"));
    ASSERT_TRUE(waitUntil([&] { return ann->session().options().chatterSounds; }));
    QStringList expected = builtIn();
    expected[0] = QStringLiteral("/me cheers");
    expected[1] = QStringLiteral("/mecheers");
    expected[4] = kMarkupTooltip;
    EXPECT_EQ(tooltips(*ann), expected);
}

TEST_F(PhraseButtonsTest, TheCloseBoxKeepsTheOldPhrasesAndWritesNothing)
{
    auto ann = host(QStringLiteral("Ann"));
    ASSERT_TRUE(waitUntil([&] { return ann->session().options().chatterSounds; }));
    const QByteArray before = settingsBytes();
    ann->chat().PrhaseList1Click();
    Tphrases &editor = ann->phrases();
    editor.field(1)->setText(QStringLiteral("Changed my mind"));
    editor.field(6)->clear();
    editor.close();
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(tooltips(*ann), builtIn());
    EXPECT_EQ(settingsBytes(), before);
    // Opened again, it shows the buttons' phrases, not the abandoned edits.
    ann->chat().PrhaseList1Click();
    EXPECT_EQ(editor.field(1)->text(), "Way To Go!");
    EXPECT_EQ(editor.field(6)->text(), "Wow, WTG!");
}

TEST_F(PhraseButtonsTest, FailuresAreToldAndNothingIsLost)
{
    // A file that cannot be written: the buttons take the new phrases, the editor stays open.
    auto ann = host(QStringLiteral("Ann"));
    ASSERT_TRUE(waitUntil([&] { return ann->session().options().chatterSounds; }));
    {
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Vrel]\nPhrase1=Old\n");
    }
    ASSERT_TRUE(QFile::setPermissions(settingsPath(), QFile::ReadOwner));
    editPhrases(*ann, {{1, QStringLiteral("New one")}});
    EXPECT_EQ(boxes, QStringList({QStringLiteral("Unable to write to ") + settingsPath()}));
    EXPECT_TRUE(ann->phrases().isVisible());
    EXPECT_EQ(ann->chat().phraseButtons().button(1)->toolTip(), "New one");
    EXPECT_EQ(settingsBytes(), "[Vrel]\nPhrase1=Old\n");

    // No connection at all: the socket's error, and the lock stays open.
    boxes.clear();
    auto waiting = start({QStringLiteral("Cid"), QStringLiteral("127.0.0.1")});
    click(*waiting, 1);
    EXPECT_EQ(boxes, QStringList({QStringLiteral("Send - Socket Not Connected")}));
    EXPECT_FALSE(waiting->session().phraseLocked());
}

// The tenth button opens the sound menu at its bottom right corner; a chatter sound goes to
// everybody through the host, the sender's own copy included, and each copy plays it or, with
// "Play Chatter Sounds" off, tells it as a line. "Play Sounds" off silences only the game.
TEST_F(PhraseButtonsTest, ChatterSoundsGoThroughTheHostAndArePlayedOrToldAsTheOptionsSay)
{
    auto bob = hostGame(QStringLiteral("Bob"));
    ASSERT_TRUE(waitUntil([&] { return bob->session().options().chatterSounds; }));
    auto ann = joinRaw(portOf(*bob), "Ann");
    ASSERT_TRUE(waitUntil([&] { return rowName(*bob, 2) == QLatin1String("Ann"); }));
    ann->drain(100);
    QStringList lines;
    QObject::connect(&bob->session(), &ClientSession::lineAdded, [&](const QString &line) { lines << line; });

    QPushButton *button = bob->chat().chatterSoundButton();
    QMenu *menu = bob->chat().phraseButtons().chatterSoundMenu();
    EXPECT_EQ(menu->objectName(), "popup_sounds");
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return menu->isVisible(); }));
    QStringList captions;
    for (QAction *item : menu->actions())
        captions << item->text();
    EXPECT_EQ(captions, QStringList({"<Cancel>", "Doh", "Cough", "Hello", "Thank You", "Where have you been?", "Snoring",
                                     "Sneezing", "Sorry", "Welcome", "Yeehaa", "Yippee", "Oh No", "Applause", "Honk", "Oooh",
                                     "Razzberry", "Cheer", "Woman Laughing", "Man Laughing", "Crying"}));
    // At the corner, or raised as far as it must to stay on a screen with no room below it.
    const QPoint corner = button->mapToGlobal(QPoint(button->width(), button->height()));
    EXPECT_EQ(menu->x(), corner.x());
    EXPECT_EQ(menu->y(), std::min(corner.y(), button->screen()->geometry().bottom() + 1 - menu->height()));
    screenshot(menu, QStringLiteral("chatter-sound-menu"));
    menu->hide();
    QMenu *options = bob->chat().optionsMenu();
    options->popup(bob->chat().mapToGlobal(QPoint(40, 0)));
    ASSERT_TRUE(waitUntil([&] { return options->isVisible(); }));
    screenshot(options, QStringLiteral("options-menu"));
    options->hide();

    chooseChatterSound(*bob, 0);
    chooseChatterSound(*bob, 12);
    EXPECT_FALSE(soundsOf(*bob).contains("wave12")); // not before the host's relay comes back
    EXPECT_EQ(ann->drain(200), QList<QByteArray>({"CMD_playasound+1+wave12+"}));
    ASSERT_TRUE(waitUntil([&] { return soundsOf(*bob).contains("wave12"); }));

    // "Play Sounds" off: an arrival is silent; chatter sounds, known or not, still play.
    bob->chat().findChild<QAction *>(QStringLiteral("PlaySounds1"))->trigger();
    soundsOf(*bob).clear();
    auto cid = joinRaw(portOf(*bob), "Cid");
    ASSERT_TRUE(waitUntil([&] { return rowName(*bob, 3) == QLatin1String("Cid"); }));
    ann->send(QByteArray("CMD_playasound+2+wave15+\xFF" "CMD_playasound+2+wave99+\xFF"));
    ASSERT_TRUE(waitUntil([&] { return soundsOf(*bob).size() == 2; }));
    EXPECT_EQ(soundsOf(*bob), QStringList({"wave15", "wave99"}));

    // "Play Chatter Sounds" off: a line under the sender's name, nothing for a name that is none
    // of the twenty or a seat without a row.
    bob->chat().findChild<QAction *>(QStringLiteral("PlayChatterSounds1"))->trigger();
    lines.clear();
    soundsOf(*bob).clear();
    for (const char *sent : {"2+wave12", "2+WAVE15", "2+wave21", "7+wave3", "2+wave16", "2+wave17", "2+wave18", "2+wave19", "2+wave20"})
        ann->send("CMD_playasound+" + QByteArray(sent) + "+\xFF");
    ASSERT_TRUE(waitUntil([&] { return lines.size() == 7; }));
    EXPECT_EQ(lines, QStringList({"0+Ann: <Chatter Sound> Oh No", "0+Ann: <Chatter Sound> Oooh", "0+Ann: <Chatter Sound> Razzberry",
                                  "0+Ann: <Chatter Sound> Cheer", "0+Ann: <Chatter Sound> Woman Laughing",
                                  "0+Ann: <Chatter Sound> Man Laughing", "0+Ann: <Chatter Sound> Crying"}));
    EXPECT_TRUE(chatLines(*bob).contains("Ann: <Chatter Sound> Oh No"));
    EXPECT_TRUE(soundsOf(*bob).isEmpty());
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(PhraseButtonsTest, ASpectatorAndACopyNotYetLoggedInSendNoChatterSound)
{
    FakeHost fake;
    auto zed = launch({QStringLiteral("Zed"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, fake.port());
    auto host = fake.accept();
    ASSERT_TRUE(host);
    chooseChatterSound(*zed, 3);
    EXPECT_TRUE(host->drain(150).isEmpty());
    host->send(QByteArray("CMD_sendlogininfo+7\xFF"));
    ASSERT_TRUE(host->waitFor("CMD_logininfo+7+1.0.4+Zed"));
    host->drain(50);
    chooseChatterSound(*zed, 3);
    EXPECT_TRUE(host->drain(200).isEmpty());
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(PhraseButtonsTest, AStoredPhraseLongerThanTheFieldsTakeIsKeptWholeUnlessThePlayerEditsIt)
{
    // A phrase of 200 characters written by another copy or by hand.
    QString longPhrase;
    while (longPhrase.size() < 200)
        longPhrase += QStringLiteral("Well played, everybody! ");
    longPhrase.truncate(200);
    {
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Vrel]\nPhrase3=" + longPhrase.toUtf8() + "\n");
    }
    auto ann = host(QStringLiteral("Ann"));
    ASSERT_TRUE(waitUntil([&] { return ann->session().phrase(3) == longPhrase; }));

    // The editor shows it whole; typing cannot make it longer, and no field takes more than 50.
    ann->chat().PrhaseList1Click();
    Tphrases &editor = ann->phrases();
    EXPECT_EQ(editor.field(3)->text(), longPhrase);
    editor.field(3)->end(false);
    QTest::keyClicks(editor.field(3), QStringLiteral("more"));
    EXPECT_EQ(editor.field(3)->text(), longPhrase);
    editor.field(1)->selectAll();
    QTest::keyClicks(editor.field(1), QString(60, QLatin1Char('g')));
    EXPECT_EQ(editor.field(1)->text(), QString(50, QLatin1Char('g')));
    // Another phrase changed, Done: the long one is stored as it was.
    QTest::mouseClick(editor.doneButton(), Qt::LeftButton);
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(ann->session().phrase(3), longPhrase);
    const QByteArray file = settingsBytes();
    EXPECT_TRUE(file.contains("\nPhrase1=" + QByteArray(50, 'g') + "\n")) << file.constData();
    EXPECT_TRUE(file.contains("\nPhrase3=" + longPhrase.toUtf8() + "\n")) << file.constData();

    // The player may still shorten it.
    ann->chat().PrhaseList1Click();
    editor.field(3)->end(false);
    QTest::keyClick(editor.field(3), Qt::Key_Backspace);
    QTest::mouseClick(editor.doneButton(), Qt::LeftButton);
    EXPECT_EQ(ann->session().phrase(3), longPhrase.chopped(1));
}
