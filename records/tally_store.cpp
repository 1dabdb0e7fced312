#include "records/tally_store.h"

#include "records/file_lock.h"
#include "records/player_file.h"
#include "records/tally_file.h"

#include <QDir>
#include <QFileInfo>

TallyStore::TallyStore(QString path)
    : path_(std::move(path))
{
}

QString TallyStore::writeFailure() const
{
    return QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path_));
}

bool TallyStore::writable() const
{
    const QFileInfo file(path_);
    return acceptsWrites(file.absolutePath()) && (!file.exists() || acceptsWrites(path_));
}

QString TallyStore::load()
{
    readOnly_ = !writable();
    const FileLock lock(lockPath());
    const tallyfile::Loaded loaded = tallyfile::load(path_);
    table_ = loaded.table;
    if (readOnly_) {
        // Left as it is, damaged or not.
        return loaded.error.isEmpty() ? writeFailure() : loaded.error + QStringLiteral("\n") + writeFailure();
    }
    if (loaded.error.isEmpty())
        return {};
    const QString aside = tallyfile::keepAside(path_);
    if (aside.isEmpty()) {
        readOnly_ = true;
        return loaded.error + QStringLiteral("\n") + writeFailure();
    }
    // What could be read is the tally from now on, for this copy and the others.
    if (table_.rowCount() > 1 || table_.gamesPlayed() > 0)
        tallyfile::save(path_, table_);
    return loaded.error + QStringLiteral("\nThe tally was kept as %1").arg(QDir::toNativeSeparators(aside));
}

bool TallyStore::save()
{
    if (readOnly_ || !writable())
        return false;
    const FileLock lock(lockPath());
    tallyfile::Loaded stored = tallyfile::load(path_);
    // Damaged since this copy read it: it is kept too, and what could be read of it counts.
    if (!stored.error.isEmpty() && tallyfile::keepAside(path_).isEmpty())
        return false;
    stored.table.apply(table_.changes());
    return tallyfile::save(path_, stored.table);
}
