#pragma once

#include "client/tile_set.h"

#include <QObject>
#include <QString>

class QAction;
class QActionGroup;
class QMenu;

// The "Tiles" menu: one radio entry per tile-set file of the program folder's "vreltiles"
// folder, the pictures the board's tiles are drawn with, and choosing and loading a set.
class TileMenu : public QObject
{
    Q_OBJECT
public:
    TileMenu(QMenu *menu, QObject *parent);

    const TileSet &tiles() const { return tiles_; }
    QMenu *menu() const { return menu_; }
    QActionGroup *group() const { return group_; }
    // "Built-in Tiles", at the head of the menu: back to the pictures the game carries.
    QAction *builtInEntry() const { return builtIn_; }
    // The set in use; empty until one is chosen or loaded.
    QString currentTileSet() const { return current_; }

    // Builds the menu from the folder (once, at start).
    void grouptilesmenu();
    void creategrouptilesmenu(const QString &name);
    void grouptilesmenuClick(QAction *entry);
    // The built-in pictures are used and kept as the set "classic".
    void useBuiltInTiles();
    // Loads a set by name; a set that is missing, unreadable or too small changes nothing.
    void loadgrouptiles(const QString &name);

signals:
    // The pictures changed: the board draws its tiles again.
    void tilesChanged();

private:
    void checkOnly(QAction *entry);

    TileSet tiles_;
    QMenu *menu_;
    QActionGroup *group_;
    QString current_;
    QAction *checked_ = nullptr; // the entry of the set in use, if it has one
    QAction *builtIn_ = nullptr;
};
