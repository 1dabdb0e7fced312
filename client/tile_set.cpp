#include "client/tile_set.h"

#include "records/player_file.h"
#include "resources/art/art.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace {

const QRgb kTransparentGreen = qRgb(0, 255, 0);

} // namespace

QPixmap TileSet::picture(int code, qreal dpr) const
{
    if (code < 0 || code >= kDrawnTiles)
        return {};
    if (strip_.empty())
        return art::classicTile(code, dpr);
    const QPixmap &tile = strip_[size_t(code)];
    if (dpr == 1)
        return tile;
    const int side = qRound(kTileSize * dpr);
    QPixmap smoothed = tile.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    smoothed.setDevicePixelRatio(dpr);
    return smoothed;
}

bool TileSet::load(const QString &path)
{
    QImageReader reader(path, "bmp");
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() < kTilesInFile * kTileSize || size.height() < kTileSize)
        return false;
    QImage image = reader.read();
    if (image.isNull() || image.width() < kTilesInFile * kTileSize || image.height() < kTileSize)
        return false;

    image = image.copy(0, 0, kTilesInFile * kTileSize, kTileSize).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] | 0xFF000000u) == kTransparentGreen)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    std::vector<QPixmap> tiles;
    tiles.reserve(kTilesInFile);
    for (int i = 0; i < kTilesInFile; ++i)
        tiles.push_back(QPixmap::fromImage(image.copy(i * kTileSize, 0, kTileSize, kTileSize)));
    strip_ = std::move(tiles);
    return true;
}

QString TileSet::folder()
{
    return playerFolder(programFolder(), QStandardPaths::AppDataLocation) + QStringLiteral("/vreltiles");
}

QStringList TileSet::namesInFolder()
{
    const QDir dir(folder());
    QStringList names;
    const QStringList files = dir.entryList({QStringLiteral("*.bmp")},
                                            QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
    for (const QString &file : files)
        names << file.section(QLatin1Char('.'), 0, 0);
    return names;
}

QString TileSet::fileOf(const QString &name)
{
    const QDir dir(folder());
    const QString wanted = name + QStringLiteral(".bmp");
    if (QFileInfo(dir.filePath(wanted)).isFile())
        return dir.filePath(wanted);
    // Sets copied from other systems may carry their extension in capitals.
    const QStringList files = dir.entryList({QStringLiteral("*.bmp")},
                                            QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
    for (const QString &file : files) {
        if (file.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(file);
    }
    return {};
}

bool TileSet::isClassicName(const QString &name)
{
    return name.compare(QLatin1String("classic"), Qt::CaseInsensitive) == 0;
}
