#pragma once

#include "joining/game_address.h"
#include "records/profile.h"

#include <QString>
#include <QStringList>

#include <optional>

// The name the player last played under and the addresses of the last games joined, most recent
// first, kept in the settings file in a section of their own ("VrelGames": Name, Game1 to
// Game10). Every other byte of the file stays as it is.
class RecentGames
{
public:
    static constexpr int kMaxAddresses = 10;
    static inline const QString kSection = QStringLiteral("VrelGames");

    explicit RecentGames(QString settingsPath);

    // Empty when none was kept.
    QString lastName() const;
    // As GameAddress::text() writes them; entries that do not read as an address are left out.
    QStringList addresses() const;
    // Keeps the name and, for a game joined, puts its address at the head of the list (once).
    // False when the file cannot be written; it is then as it was.
    bool remember(const QString &name, const std::optional<GameAddress> &joined = std::nullopt) const;
    // "Unable to write to" and the file's path.
    QString writeFailure() const { return file_.writeFailure(); }

private:
    ProfileFile file_;
};
