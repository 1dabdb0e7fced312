#include "records/tally_file.h"

#include "compress/errors.h"
#include "compress/in_memory.h"
#include "records/replace_file.h"

#include <QFileInfo>

namespace tallyfile {

Loaded load(const QString &path)
{
    Loaded loaded;
    if (!QFileInfo::exists(path))
        return loaded;
    const std::string name = QFile::encodeName(path).toStdString();
    try {
        const std::string text = lzrw1::unpackFile(name, kLargestText);
        const std::optional<TallyTable> table =
            TallyTable::fromText(QByteArray::fromStdString(text));
        // A container that holds no table reads like one that could not be read.
        if (!table)
            throw ELzrw1Exception(packing::ContainerTexts::forFiles(name, {}).readError);
        loaded.table = *table;
        loaded.table.startSession();
    } catch (const std::exception &e) {
        loaded.table = TallyTable();
        loaded.error = QString::fromLocal8Bit(e.what());
    }
    return loaded;
}

bool save(const QString &path, const TallyTable &table)
{
    try {
        const std::string container = lzrw1::packBytes(table.toText().toStdString(), TCompressMode::Fast);
        return replaceFile(path, QByteArray::fromStdString(container));
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace tallyfile
