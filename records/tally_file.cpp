#include "records/tally_file.h"

#include "compress/errors.h"
#include "compress/in_memory.h"
#include "records/replace_file.h"

#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

namespace tallyfile {

Loaded load(const QString &path)
{
    Loaded loaded;
    if (!QFileInfo::exists(path))
        return loaded;
    const std::string name = QFile::encodeName(path).toStdString();
    try {
        const std::string text = lzrw1::unpackFile(name, kLargestText);
        int spoiledCells = 0;
        const std::optional<TallyTable> table =
            TallyTable::fromText(QByteArray::fromStdString(text), &spoiledCells);
        // A container that holds no table reads like one that could not be read; so does one
        // with spoiled counters, though the rest of its table is kept.
        const std::string readError = packing::ContainerTexts::forFiles(name, {}).readError;
        if (!table)
            throw ELzrw1Exception(readError);
        loaded.table = *table;
        loaded.table.startSession();
        if (spoiledCells > 0)
            loaded.error = QString::fromLocal8Bit(readError);
    } catch (const std::exception &e) {
        loaded.table = TallyTable();
        loaded.error = QString::fromLocal8Bit(e.what());
    }
    return loaded;
}

QString keepAside(const QString &path)
{
    const QString first = path + QStringLiteral(".damaged");
    for (int number = 0; number < 1000; ++number) {
        const QString aside = number == 0 ? first : first + QLatin1Char('.') + QString::number(number);
        const QByteArray from = QFile::encodeName(path);
        const QByteArray to = QFile::encodeName(aside);
        // A link never replaces a file that is there, so an earlier damaged tally stays too.
        if (::link(from.constData(), to.constData()) == 0) {
            ::unlink(from.constData());
            return aside;
        }
        if (errno != EEXIST)
            return {};
    }
    return {};
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
