#include "dictionary/tdictn.h"

#include "dictionary/wordkey.h"
#include "dictionary/wordlistfile.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A word is converted to a short string before it becomes a search key.
constexpr qsizetype MaxWordLength = 255;

} // namespace

TDictn::TDictn(const QString &folder, Reporter reporter, QObject *parent)
    : QObject(parent)
    , m_path(QDir(folder.isEmpty() ? wordListFolderFor(QDir::currentPath()) : folder)
                 .filePath(QString::fromLatin1(FileName)))
    , m_reporter(std::move(reporter))
{
    OpenWordList();
}

TDictn::~TDictn()
{
    if (m_fd >= 0)
        ::close(m_fd);
    QFile::remove(m_path);
}

void TDictn::OpenWordList()
{
    m_fd = openWordListFile(m_path);
    if (m_fd < 0) {
        const QString message = QString::fromLatin1(NotFoundMessage);
        if (m_reporter)
            m_reporter(message);
        else
            qWarning().noquote() << message;
        return;
    }
    struct stat status {};
    if (::fstat(m_fd, &status) == 0)
        m_lastRecord = status.st_size / RecordSize - 1;
}

bool TDictn::readRecord(qint64 index, char (&record)[RecordSize]) const
{
    ssize_t got;
    do {
        got = ::pread(m_fd, record, RecordSize, off_t(index) * RecordSize);
    } while (got < 0 && errno == EINTR);
    return got == RecordSize;
}

bool TDictn::HasWord(const QString &word) const
{
    if (m_fd < 0)
        return false;
    const QByteArray key = wordkey::normalised(word.left(MaxWordLength).toUtf8());
    if (wordkey::isBlank(key))
        return false;

    qint64 low = 0;
    qint64 high = m_lastRecord;
    while (low <= high) {
        const qint64 middle = (low + high) / 2;
        char record[RecordSize];
        if (!readRecord(middle, record))
            return false;
        // The record's word follows its first byte, which is never a length; its 14 bytes
        // normalise to exactly the key length.
        const QByteArray recordWord = wordkey::normalised(QByteArrayView(record + 1, RecordSize - 1));
        const int order = wordkey::compare(recordWord, key);
        if (order == 0)
            return true;
        if (order < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return false;
}
