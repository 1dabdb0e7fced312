// Tile sets: the "Tiles" menu built from the bitmap strips in the program folder's vreltiles
// folder, choosing a set, and files that cannot serve as a set.

#include "client/board.h"
#include "client/tchat.h"
#include "client/tile_menu.h"
#include "client/tile_set.h"
#include "records/profile.h"
#include "records/settings_file.h"
#include "resources/art/art.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

QColor tileColour(int index)
{
    return QColor(10 + index * 8, 40, 200 - index * 5);
}

// A strip of `count` tiles of 44 by 44, each in its own colour, its top-left pixel pure green.
void writeStrip(const QString &path, int count, int height = 44, const char *format = "BMP")
{
    QImage strip(44 * count, height, QImage::Format_RGB32);
    for (int i = 0; i < count; ++i) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 44; ++x)
                strip.setPixelColor(44 * i + x, y, tileColour(i));
        strip.setPixelColor(44 * i, 0, QColor(0, 255, 0));
    }
    ASSERT_TRUE(strip.save(path, format));
}

QImage pictureOf(const Tile *tile)
{
    return tile->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TileSets : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        qputenv("VREL_HOME", home.path().toUtf8());
        ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("vreltiles")));
    }
    void TearDown() override { qunsetenv("VREL_HOME"); }

    QString tileFile(const QString &name) const { return home.path() + QStringLiteral("/vreltiles/") + name; }
    static QAction *entry(Tchat &chat, const QString &name)
    {
        for (QAction *action : chat.tileMenu().group()->actions()) {
            if (action->text() == name)
                return action;
        }
        return nullptr;
    }
    static QStringList checkedEntries(Tchat &chat)
    {
        QStringList checked;
        for (QAction *action : chat.tileMenu().group()->actions()) {
            if (action->isChecked())
                checked << action->text();
        }
        return checked;
    }

    QTemporaryDir home;
};

TEST_F(TileSets, TheMenuListsEverySetAndOnlyReadableStripsReplaceThePictures)
{
    writeStrip(tileFile("neon.BMP"), 28);
    writeStrip(tileFile("wide.bmp"), 30, 50); // larger than needed: the first 28 tiles, top rows
    writeStrip(tileFile("Classic.bmp"), 28);
    writeStrip(tileFile("tiny.bmp"), 27);      // one tile short
    writeStrip(tileFile("flat.bmp"), 28, 43);  // one row short
    writeStrip(tileFile("disguised.bmp"), 28, 44, "PNG");
    QFile broken(tileFile("broken.bmp"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("BM not really a bitmap");
    broken.close();
    QFile notASet(tileFile("readme.txt"));
    ASSERT_TRUE(notASet.open(QIODevice::WriteOnly));
    notASet.close();

    ClientSession session;
    Tchat chat(session);
    QStringList names;
    for (QAction *action : chat.tileMenu().group()->actions())
        names << action->text();
    names.sort();
    EXPECT_EQ(chat.tileMenu().menu()->actions().first(), chat.tileMenu().builtInEntry());
    EXPECT_EQ(names, QStringList({"Classic", "broken", "disguised", "flat", "neon", "tiny", "wide"}));
    EXPECT_EQ(checkedEntries(chat), QStringList({"Classic"}));
    EXPECT_TRUE(chat.tileMenu().group()->isExclusive());
    EXPECT_EQ(chat.tileMenu().currentTileSet(), "");

    Board &board = chat.puzzleBoard();
    session.setword(1, "ap_le");
    const QImage builtIn = art::classicTile(1).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(pictureOf(board.puzzleTile(1)), builtIn);

    for (const char *unusable : {"tiny", "flat", "broken", "disguised"}) {
        entry(chat, unusable)->trigger();
        EXPECT_EQ(pictureOf(board.puzzleTile(1)), builtIn) << unusable;
        EXPECT_EQ(checkedEntries(chat), QStringList({"Classic"})) << unusable;
        EXPECT_EQ(chat.tileMenu().currentTileSet(), "") << unusable;
    }

    entry(chat, "neon")->trigger();
    const QImage a = pictureOf(board.puzzleTile(1));
    ASSERT_EQ(a.size(), QSize(44, 44));
    EXPECT_EQ(a.pixelColor(20, 20), tileColour(1));
    EXPECT_EQ(a.pixelColor(0, 0).alpha(), 0); // pure green is transparent
    EXPECT_EQ(pictureOf(board.puzzleTile(3)).pixelColor(20, 20), tileColour(0)); // the blank tile
    EXPECT_EQ(checkedEntries(chat), QStringList({"neon"}));
    EXPECT_EQ(chat.tileMenu().currentTileSet(), "neon");
    // Choosing the checked entry again keeps it checked.
    entry(chat, "neon")->trigger();
    EXPECT_EQ(checkedEntries(chat), QStringList({"neon"}));

    entry(chat, "wide")->trigger();
    EXPECT_EQ(pictureOf(board.puzzleTile(5)).pixelColor(20, 20), tileColour(5));
    EXPECT_EQ(pictureOf(board.puzzleTile(5)).height(), 44);

    // Choosing "classic" loads its file like any other set.
    entry(chat, "Classic")->trigger();
    EXPECT_EQ(pictureOf(board.puzzleTile(1)).pixelColor(20, 20), tileColour(1));
    EXPECT_EQ(checkedEntries(chat), QStringList({"Classic"}));
    EXPECT_EQ(chat.tileMenu().currentTileSet(), "Classic");

    // A set whose file went away after the start leaves everything as it is.
    ASSERT_TRUE(QFile::remove(tileFile("neon.BMP")));
    entry(chat, "neon")->trigger();
    EXPECT_EQ(pictureOf(board.puzzleTile(1)).pixelColor(20, 20), tileColour(1));
    EXPECT_EQ(checkedEntries(chat), QStringList({"Classic"}));
    chat.tileMenu().loadgrouptiles(QStringLiteral("nothing-like-it"));
    EXPECT_EQ(chat.tileMenu().currentTileSet(), "Classic");
    EXPECT_FALSE(chat.tileMenu().builtInEntry()->isChecked());

    // "Built-in Tiles" goes back to the pictures the game carries, kept as "classic".
    entry(chat, "neon")->trigger(); // gone: nothing changes
    chat.tileMenu().builtInEntry()->trigger();
    EXPECT_EQ(pictureOf(board.puzzleTile(1)), builtIn);
    EXPECT_TRUE(chat.tileMenu().builtInEntry()->isChecked());
    EXPECT_TRUE(checkedEntries(chat).isEmpty());
    EXPECT_EQ(chat.tileMenu().currentTileSet(), "classic");
}

TEST_F(TileSets, WithoutTheFolderTheMenuIsEmptyAndTheBuiltInSetIsUsed)
{
    ASSERT_TRUE(QDir(home.path()).rmdir(QStringLiteral("vreltiles")));
    ClientSession session;
    Tchat chat(session);
    // Only "Built-in Tiles", checked: the menu never drops down nothing.
    ASSERT_EQ(chat.tileMenu().menu()->actions().size(), 1);
    EXPECT_EQ(chat.tileMenu().menu()->actions().first()->text(), "&Built-in Tiles");
    EXPECT_TRUE(chat.tileMenu().builtInEntry()->isChecked());
    session.setword(2, "z____");
    EXPECT_EQ(pictureOf(chat.puzzleBoard().puzzleTile(1)),
              art::classicTile(26).toImage().convertToFormat(QImage::Format_ARGB32));
    EXPECT_EQ(pictureOf(chat.puzzleBoard().puzzleTile(2)),
              art::classicTile(0).toImage().convertToFormat(QImage::Format_ARGB32));
}

// An installed copy's folder cannot be written: the player puts sets in the user's data folder,
// and a set beside the read-only folder is not offered.
TEST_F(TileSets, AReadOnlyProgramFolderTakesTheSetsFromTheUsersDataFolder)
{
    QTemporaryDir user;
    ASSERT_TRUE(user.isValid());
    const bool hadData = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", user.path().toUtf8());
    writeStrip(tileFile("beside.bmp"), 28);
    QFile::setPermissions(home.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString userSets = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/vreltiles");
    ASSERT_TRUE(userSets.startsWith(user.path()));
    ASSERT_TRUE(QDir().mkpath(userSets));
    writeStrip(userSets + QStringLiteral("/mine.bmp"), 28);

    EXPECT_EQ(TileSet::folder(), userSets);
    EXPECT_EQ(TileSet::namesInFolder(), QStringList({"mine"}));
    EXPECT_EQ(TileSet::fileOf("MINE"), userSets + QStringLiteral("/mine.bmp"));
    EXPECT_TRUE(TileSet::fileOf("beside").isEmpty());

    QFile::setPermissions(home.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (hadData)
        qputenv("XDG_DATA_HOME", savedData);
    else
        qunsetenv("XDG_DATA_HOME");
}

TEST_F(TileSets, TheSetInUseIsKeptInTheSettingsFile)
{
    writeStrip(tileFile("neon.bmp"), 28);
    writeStrip(tileFile("Classic.bmp"), 28);
    const QString ini = QDir(home.path()).filePath(SettingsFile::kFileName);
    {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Vrel]\nTiles=NEON\n");
    }
    ClientSession session;
    Tchat chat(session);
    SettingsFile settings(session, ini);
    chat.attachSettings(&settings, nullptr);
    session.setword(1, "ap_le");
    // The set named in the file is loaded when the login completes, whatever its letter case.
    session.dispatch("CMD_sendlogininfo+1");
    session.dispatch("CMD_newplayerinfo+1+Ann");
    EXPECT_EQ(checkedEntries(chat), QStringList({"neon"}));
    EXPECT_EQ(pictureOf(chat.puzzleBoard().puzzleTile(1)).pixelColor(20, 20), tileColour(1));
    EXPECT_EQ(session.options().tileSet, "neon");

    // Choosing a set saves it; "classic" in any case keeps the built-in tiles at the next login.
    entry(chat, "Classic")->trigger();
    EXPECT_EQ(ProfileFile(ini).readString(SettingsFile::kSection, QStringLiteral("Tiles"), {}), "Classic");
    entry(chat, "neon")->trigger();
    EXPECT_EQ(ProfileFile(ini).readString(SettingsFile::kSection, QStringLiteral("Tiles"), {}), "neon");
}
