#pragma once

#include <QObject>
#include <QString>

#include <functional>

// The host's dictionary: the word list file "English", searched on disk by bisection with one
// record read per probe. The file is written from the program's own records when missing and
// deleted again when the dictionary is destroyed.
class TDictn : public QObject
{
    Q_OBJECT

public:
    using Reporter = std::function<void(const QString &message)>;

    static constexpr char FileName[] = "English";
    static constexpr char NotFoundMessage[] = "English.dic dictionary not found!";
    static constexpr int RecordSize = 15;

    // folder: where the word list file lives; empty means the working directory (or the user's
    // cache folder when the working directory cannot be written). reporter receives
    // NotFoundMessage once when the file cannot be opened; without one it goes to the log.
    explicit TDictn(const QString &folder = QString(), Reporter reporter = {},
                    QObject *parent = nullptr);
    ~TDictn() override;

    // True when the word is in the list, ignoring letter case and surrounding spaces; always
    // false when the file could not be opened.
    bool HasWord(const QString &word) const;

    bool isOpen() const { return m_fd >= 0; }
    QString filePath() const { return m_path; }

private:
    void OpenWordList();
    bool readRecord(qint64 index, char (&record)[RecordSize]) const;

    QString m_path;
    Reporter m_reporter;
    int m_fd = -1;
    qint64 m_lastRecord = -1;
};
