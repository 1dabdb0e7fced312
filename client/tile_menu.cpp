#include "client/tile_menu.h"

#include "net/error_sink.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

TileMenu::TileMenu(QMenu *menu, QObject *parent)
    : QObject(parent)
    , menu_(menu)
    , group_(new QActionGroup(this))
{
    // Every entry may end up unchecked (a set that cannot be read leaves the check where it was).
    group_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
}

void TileMenu::grouptilesmenu()
{
    builtIn_ = menu_->addAction(QStringLiteral("&Built-in Tiles"));
    builtIn_->setObjectName(QStringLiteral("BuiltInTiles1"));
    builtIn_->setCheckable(true);
    builtIn_->setChecked(tiles_.isClassic());
    connect(builtIn_, &QAction::triggered, this, &TileMenu::useBuiltInTiles);
    const QStringList names = TileSet::namesInFolder();
    if (!names.isEmpty())
        menu_->addSeparator();
    for (const QString &name : names)
        creategrouptilesmenu(name);
}

void TileMenu::useBuiltInTiles()
{
    tiles_.useBuiltIn();
    current_ = QStringLiteral("classic");
    checked_ = nullptr;
    checkOnly(nullptr);
    builtIn_->setChecked(true);
    emit tilesChanged();
}

void TileMenu::creategrouptilesmenu(const QString &name)
{
    QString caption = name;
    auto *entry = menu_->addAction(caption.replace(QLatin1Char('&'), QStringLiteral("&&")));
    entry->setData(name);
    entry->setCheckable(true);
    group_->addAction(entry);
    if (TileSet::isClassicName(name)) {
        entry->setChecked(true);
        checked_ = entry;
    }
    connect(entry, &QAction::triggered, this, [this, entry] { vrel::guarded([this, entry] { grouptilesmenuClick(entry); }); });
}

// Every entry, "classic" included, loads its file: the built-in pictures stand for "classic"
// only until a set is chosen.
void TileMenu::grouptilesmenuClick(QAction *entry)
{
    loadgrouptiles(entry->data().toString());
    // The menu toggled the entry on its own; the checks show the set actually in use.
    checkOnly(checked_);
}

void TileMenu::loadgrouptiles(const QString &name)
{
    const QString file = TileSet::fileOf(name);
    if (file.isEmpty() || !tiles_.load(file))
        return;
    // The file was found whatever the letter case of its name: so is its entry.
    current_ = name;
    for (QAction *each : group_->actions()) {
        if (each->data().toString().compare(name, Qt::CaseInsensitive) == 0) {
            checked_ = each;
            current_ = each->data().toString();
        }
    }
    checkOnly(checked_);
    if (builtIn_)
        builtIn_->setChecked(false);
    emit tilesChanged();
}

void TileMenu::checkOnly(QAction *entry)
{
    for (QAction *each : group_->actions())
        each->setChecked(each == entry);
}
