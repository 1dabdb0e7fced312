#pragma once

#include <QPixmap>
#include <QString>
#include <QStringList>

#include <vector>

// The pictures the board draws its tiles from: picture 0 is the blank tile, 1 to 26 the letters
// A to Z. At first they are the built-in "classic" pictures; a tile-set file replaces them.
//
// A tile-set file is a bitmap strip of 28 tiles of 44 by 44 pixels side by side from the left;
// pure green (0, 255, 0) is transparent. The sets live as NAME.bmp in the folder "vreltiles" of
// the program's folder, or of the user's data folder when the program's folder cannot be written
// (an installed copy), where the player can put them.
class TileSet
{
public:
    static constexpr int kTilesInFile = 28;
    static constexpr int kDrawnTiles = 27; // the board draws pictures 0 to 26
    static constexpr int kTileSize = 44;

    // The picture of a letter code at a device pixel ratio; null for a code the board does not
    // draw. A set's bitmap is smoothed to the ratio; the built-in pictures are drawn at it.
    QPixmap picture(int code, qreal dpr = 1) const;
    bool isClassic() const { return strip_.empty(); }
    // Back to the built-in pictures.
    void useBuiltIn() { strip_.clear(); }

    // Replaces the pictures with the file's tiles. A file that is missing, unreadable, not a
    // bitmap or too small changes nothing and gives false.
    bool load(const QString &path);

    // The folder of the tile sets, the names of the sets in it (each file's name up to its first
    // "."), and the file of a set (empty when there is none).
    static QString folder();
    static QStringList namesInFolder();
    static QString fileOf(const QString &name);
    // "classic" in any letter case stands for the built-in pictures.
    static bool isClassicName(const QString &name);

private:
    std::vector<QPixmap> strip_;
};
