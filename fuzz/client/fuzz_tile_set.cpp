// Any bytes as a tile-set file: either the set is refused and the pictures stay as they were, or
// every picture the board draws is a whole tile.

#include "client/tile_set.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QString tileFile;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    static QTemporaryDir folder;
    tileFile = folder.filePath(QStringLiteral("fuzz.bmp"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QFile file(tileFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();

    TileSet tiles;
    const bool loaded = tiles.load(tileFile);
    if (loaded == tiles.isClassic())
        std::abort();
    for (int code = 0; code < TileSet::kDrawnTiles; ++code) {
        const QPixmap picture = tiles.picture(code);
        if (picture.width() != TileSet::kTileSize || picture.height() != TileSet::kTileSize)
            std::abort();
    }
    if (!tiles.picture(TileSet::kDrawnTiles).isNull())
        std::abort();
    return 0;
}
