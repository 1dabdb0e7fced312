// The tally in the real window against the real host: choosing whom to tally, a game counted
// from the winner's announcement, removing and resetting, and the tally read back after the
// program is started again.

#include "tests/client/game_fixture.h"

#include "client/ttallylist.h"
#include "records/tally_file.h"

#include <QAction>

using testing_support::RawClient;
using testing_support::settle;
using testing_support::waitUntil;

class TallyWindow : public GameFixture
{
protected:
    // A copy with a folder of its own, so that its tally is its own.
    std::unique_ptr<VrelProgram> joinWithOwnFolder(VrelProgram &host, const QString &name, int seat)
    {
        folders.push_back(std::make_unique<QTemporaryDir>());
        qputenv("VREL_HOME", folders.back()->path().toUtf8());
        auto program = joinGame(host, name, seat);
        qputenv("VREL_HOME", home.path().toUtf8());
        return program;
    }
    static Ttallylist &openTally(VrelProgram &program)
    {
        program.chat().viewTallyAction()->trigger();
        EXPECT_TRUE(program.tallylist().isVisible());
        return program.tallylist();
    }
    static QString text(Ttallylist &window, const char *name)
    {
        const auto *found = window.findChild<QLabel *>(QLatin1String(name));
        return found ? found->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
    }
    // The player panel: the title, the second counter's caption, then the counters "Total" and
    // "Session" side by side.
    static QStringList panel(Ttallylist &window)
    {
        QStringList shown {text(window, "label_playertally"), text(window, "label_counter2")};
        for (int counter = 1; counter <= 4; ++counter) {
            shown << text(window, QStringLiteral("label_total%1").arg(counter).toLatin1())
                  << text(window, QStringLiteral("label_session%1").arg(counter).toLatin1());
        }
        return shown;
    }
    static QList<bool> ticks(const QListWidget *list)
    {
        QList<bool> ticked;
        for (int i = 0; i < list->count(); ++i)
            ticked << (list->item(i)->checkState() == Qt::Checked);
        return ticked;
    }
    // A click on an item's check box.
    static void tick(QListWidget *list, int row, bool on)
    {
        list->item(row)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    // The hosting player fills a word and the round runs out; with nobody else scoring, the
    // host wins.
    static void hostWinsAOneRoundGame(VrelProgram &host, std::initializer_list<VrelProgram *> watching)
    {
        startGame(host, 1, 30);
        ASSERT_TRUE(waitUntil([&] { return ownsBoard(host); }));
        submit(host, QString::fromLatin1(host.server().puzzle(1, 1).source));
        ASSERT_TRUE(waitUntil([&] { return label(host, "label_words1") == "1"; }));
        runHostPhase(host);
        runHostPhase(host);
        ASSERT_TRUE(waitUntil([&] {
            for (VrelProgram *program : watching) {
                if (!shown(*program, "panel_winner") || program->session().queuedMessages() != 0)
                    return false;
            }
            return shown(host, "panel_winner");
        }));
    }

    std::vector<std::unique_ptr<QTemporaryDir>> folders;
};

TEST_F(TallyWindow, AGameIsCountedForTheTalliedOpponentsAndReadBackAfterARestart)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    auto bob = joinWithOwnFolder(*ann, QStringLiteral("Bob"), 2);
    auto cid = joinRaw(portOf(*ann), "Cid");
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 3) == "Cid"; }));
    auto zed = launch({QStringLiteral("Zed"), QStringLiteral("127.0.0.1"), QStringLiteral("x")}, portOf(*ann));
    ASSERT_TRUE(waitUntil([&] { return zed->session().localSeat() == 4 && rowName(*ann, 4) == "Zed"; }));

    Ttallylist &window = openTally(*ann);
    EXPECT_EQ(window.windowTitle(), "Vrel - Tally List");
    EXPECT_EQ(items(window.checklist()), QStringList({"Bob", "Cid", "Zed"}));
    EXPECT_EQ(ticks(window.checklist()), QList<bool>({false, false, false}));
    EXPECT_EQ(window.tallyList()->count(), 0);
    EXPECT_EQ(text(window, "label_totalgames"), "0");
    // The empty list says how to use it: its hint is written on the white field.
    const QImage emptyList = window.tallyList()->viewport()->grab().toImage();
    int written = 0;
    for (int y = 0; y < emptyList.height(); ++y)
        for (int x = 0; x < emptyList.width(); ++x)
            written += qGray(emptyList.pixel(x, y)) < 160;
    EXPECT_GT(written, 100);

    // Bob and Cid are tallied; Zed joins as a player but is not.
    tick(window.checklist(), 0, true);
    tick(window.checklist(), 1, true);
    EXPECT_EQ(items(window.tallyList()), QStringList({"Bob", "Cid"}));
    EXPECT_EQ(ticks(window.tallyList()), QList<bool>({true, true}));
    EXPECT_EQ(ticks(window.checklist()), QList<bool>({true, true, false}));
    // Unticking a tallied name at the board changes nothing.
    tick(window.checklist(), 0, false);
    EXPECT_EQ(ticks(window.checklist()), QList<bool>({true, true, false}));
    EXPECT_EQ(items(window.tallyList()), QStringList({"Bob", "Cid"}));

    hostWinsAOneRoundGame(*ann, {bob.get(), zed.get()});
    EXPECT_EQ(text(window, "label_totalgames"), "1");
    EXPECT_EQ(text(window, "label_yourwins"), "1");
    window.tallyList()->setCurrentRow(0);
    EXPECT_EQ(panel(window), QStringList({"Bob's Tally", "Bob Wins:", "1", "1", "0", "0", "1", "1", "0", "0"}));
    window.tallyList()->setCurrentRow(1);
    EXPECT_EQ(panel(window), QStringList({"Cid's Tally", "Cid Wins:", "1", "1", "0", "0", "1", "1", "0", "0"}));
    screenshot(&window, QStringLiteral("tally"));
    // Bob and Zed lost; neither tallies anybody, so only their overall record moves.
    EXPECT_EQ(bob->tally().gamesPlayed(), 1);
    EXPECT_EQ(bob->tally().gamesWon(), 0);

    // Ann's copy ends and starts again: the counts are read back, this run's are 0.
    bob.reset();
    zed.reset();
    ann.reset();
    EXPECT_TRUE(QFileInfo::exists(home.filePath(QString::fromLatin1(tallyfile::kFileName))));
    ann = hostGame(QStringLiteral("Ann"));
    EXPECT_TRUE(boxes.isEmpty());
    Ttallylist &again = openTally(*ann);
    // Zed's copy shares Ann's folder: both copies' games are in the tally they share.
    EXPECT_EQ(text(again, "label_totalgames"), "2");
    EXPECT_EQ(text(again, "label_yourwins"), "1");
    EXPECT_EQ(items(again.tallyList()), QStringList({"Bob", "Cid"}));
    again.tallyList()->setCurrentRow(0);
    EXPECT_EQ(panel(again), QStringList({"Bob's Tally", "Bob Wins:", "1", "0", "0", "0", "1", "0", "0", "0"}));
}

TEST_F(TallyWindow, RemovingAPlayerAsksAndResettingEmptiesTheTally)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    std::vector<std::unique_ptr<RawClient>> players;
    for (const char *name : {"Bob", "Cid", "Dee"})
        players.push_back(joinRaw(portOf(*ann), name));
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 4) == "Dee"; }));
    Ttallylist &window = openTally(*ann);
    for (int row = 0; row < 3; ++row)
        tick(window.checklist(), row, true);
    hostWinsAOneRoundGame(*ann, {});
    window.tallyList()->setCurrentRow(1);

    // Removing the middle one: answered No, Cid keeps his tick and his counts.
    answer = false;
    tick(window.tallyList(), 1, false);
    EXPECT_EQ(questions, QStringList {"This will delete Cid's Tally, Are you want to delete it?"});
    EXPECT_EQ(items(window.tallyList()), QStringList({"Bob", "Cid", "Dee"}));
    EXPECT_EQ(ticks(window.tallyList()), QList<bool>({true, true, true}));
    // Answered Yes: Dee moves up, and the tick at the board goes.
    answer = true;
    tick(window.tallyList(), 1, false);
    EXPECT_EQ(items(window.tallyList()), QStringList({"Bob", "Dee"}));
    EXPECT_EQ(ann->tally().rowOf(QStringLiteral("Dee")), 2);
    EXPECT_EQ(ann->tally().count(2, 1), 1);
    EXPECT_EQ(ticks(window.checklist()), QList<bool>({true, false, true}));

    // "Reset Tally" answered No changes nothing; Yes empties the tally and the panel.
    questions.clear();
    answer = false;
    QTest::mouseClick(window.resetButton(), Qt::LeftButton);
    EXPECT_EQ(questions, QStringList {"Are you sure you want to reset the Tally?"});
    EXPECT_EQ(text(window, "label_totalgames"), "1");
    answer = true;
    QTest::mouseClick(window.resetButton(), Qt::LeftButton);
    EXPECT_EQ(text(window, "label_totalgames"), "0");
    EXPECT_EQ(text(window, "label_yourwins"), "0");
    EXPECT_EQ(window.tallyList()->count(), 0);
    EXPECT_EQ(panel(window).mid(2), QStringList(8, QStringLiteral("0")));

    // A game after the reset counts from nothing.
    hostWinsAOneRoundGame(*ann, {});
    EXPECT_EQ(text(window, "label_totalgames"), "1");
    EXPECT_EQ(ann->tally().playerCount(), 0);
}

TEST_F(TallyWindow, ADamagedTallyIsReportedOnceAndTheGameStartsWithAnEmptyOne)
{
    const QString path = home.filePath(QString::fromLatin1(tallyfile::kFileName));
    TallyTable kept;
    kept.addPlayer(QStringLiteral("Bob"));
    kept.addgame(QStringLiteral("Bob"), false, {QStringLiteral("Bob")});
    ASSERT_TRUE(tallyfile::save(path, kept));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    file.close();

    const QString readError = QStringLiteral("Lzrw1 : Error reading from input file : ") + path;
    const struct {
        QByteArray bytes;
        QString box;
        QString aside;
    } cases[] = {{whole.left(whole.size() - 3), readError, path + QStringLiteral(".damaged")},
                 {"not a tally", path + QStringLiteral(" : Lzrw1 decompression : this file has no valid header !"),
                  path + QStringLiteral(".damaged.1")}};
    for (const auto &c : cases) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.bytes);
        file.close();
        boxes.clear();
        {
            auto ann = hostGame(QStringLiteral("Ann"));
            EXPECT_EQ(boxes, QStringList {c.box + QStringLiteral("\nThe tally was kept as ") + c.aside});
            EXPECT_EQ(ann->tally(), TallyTable());
            Ttallylist &window = openTally(*ann);
            EXPECT_EQ(text(window, "label_totalgames"), "0");
            EXPECT_EQ(window.tallyList()->count(), 0);
        }
        // The damaged file was kept whole beside the tally of this run.
        QFile aside(c.aside);
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_EQ(aside.readAll(), c.bytes);
        const tallyfile::Loaded written = tallyfile::load(path);
        EXPECT_TRUE(written.error.isEmpty());
        EXPECT_EQ(written.table, TallyTable());
        EXPECT_EQ(boxes.size(), 1);
    }
}

TEST_F(TallyWindow, AReadOnlyTallyIsToldAtStartAndLeftAsItWas)
{
    const QString path = home.filePath(QString::fromLatin1(tallyfile::kFileName));
    TallyTable kept;
    kept.addPlayer(QStringLiteral("Bob"));
    ASSERT_TRUE(tallyfile::save(path, kept));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    {
        auto ann = hostGame(QStringLiteral("Ann"));
        EXPECT_EQ(boxes, QStringList {QStringLiteral("Unable to write to ") + path});
        EXPECT_EQ(ann->tally().players(), QStringList {"Bob"});
        hostWinsAOneRoundGame(*ann, {});
        EXPECT_EQ(ann->tally().gamesPlayed(), 1);
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(boxes.size(), 1);
}
