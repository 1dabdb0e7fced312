#include "records/tally_table.h"

#include <QStringDecoder>

namespace {

// Counters stay within what 18 decimal digits hold, so that a count never overflows.
constexpr int kLongestCounter = 18;
constexpr qint64 kLargestCount = 999'999'999'999'999'999;

bool isCounterText(const QString &text)
{
    if (text.size() > kLongestCounter)
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

bool isCounterCell(int row, int column)
{
    return row == 0 ? column == 1 || column == 2 : column >= 1;
}

// The lines of a text, ended by CR LF, LF or CR alone; a last line without an end counts too.
QStringList linesOf(const QString &text)
{
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n') {
            line += c;
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        lines << line;
        line.clear();
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

// Files from copies on other systems may hold their names in a single-byte code page.
QString decoded(const QByteArray &text)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString result = utf8(text);
    return utf8.hasError() ? QString::fromLatin1(text) : result;
}

std::optional<int> parsedCount(const QString &line)
{
    bool ok = false;
    const int value = line.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

TallyTable::TallyTable()
{
    Row overall;
    overall.fill(QStringLiteral("0"));
    rows_.append(overall);
}

qint64 TallyTable::count(int row, int column) const
{
    return cell(row, column).toLongLong();
}

QStringList TallyTable::players() const
{
    QStringList names;
    for (int row = 1; row < rowCount(); ++row)
        names << cell(row, 0);
    return names;
}

int TallyTable::rowOf(const QString &name) const
{
    for (int row = 1; row < rowCount(); ++row) {
        if (cell(row, 0) == name)
            return row;
    }
    return -1;
}

bool TallyTable::addPlayer(const QString &name)
{
    if (rowOf(name) > 0)
        return false;
    Row row;
    row.fill(QStringLiteral("0"));
    row[0] = name;
    rows_.append(row);
    changes_.append(TallyChange::of(TallyChange::Kind::AddPlayer, name));
    return true;
}

void TallyTable::removePlayer(int row)
{
    if (row < 1 || row >= rowCount())
        return;
    changes_.append(TallyChange::of(TallyChange::Kind::RemovePlayer, cell(row, 0)));
    rows_.removeAt(row);
}

void TallyTable::reset()
{
    rows_.resize(1);
    for (int column = 1; column <= 4; ++column)
        rows_[0][size_t(column)] = QStringLiteral("0");
    changes_.append(TallyChange::of(TallyChange::Kind::Reset));
}

void TallyTable::startSession()
{
    for (int row = 1; row < rowCount(); ++row) {
        for (int column = kSessionColumn; column < kColumns; ++column)
            rows_[row][size_t(column)] = QStringLiteral("0");
    }
}

void TallyTable::increment(Row &row, int column)
{
    QString &text = row[size_t(column)];
    text = QString::number(std::min(text.toLongLong() + 1, kLargestCount));
}

void TallyTable::addgame(const QString &winner, bool localWins, const QStringList &opponents)
{
    // Two opponents of one name are one tallied player: the game counts once for them.
    QStringList counted;
    for (const QString &name : opponents) {
        if (rowOf(name) > 0 && !counted.contains(name))
            counted << name;
    }
    countGame(winner, localWins, counted);
}

void TallyTable::countGame(const QString &winner, bool localWins, const QStringList &counted)
{
    increment(rows_[0], 1);
    if (localWins)
        increment(rows_[0], 2);
    for (const QString &name : counted) {
        const int found = rowOf(name);
        if (found < 1)
            continue;
        Row &row = rows_[found];
        for (int column = 1; column < kColumns; ++column) {
            if (row[size_t(column)].isEmpty())
                row[size_t(column)] = QStringLiteral("0");
        }
        const Counter outcome = !localWins && row[0] == winner ? TheirWins
                                : localWins                    ? YourWins
                                                               : NeitherWon;
        for (const int block : {kTotalColumn, kSessionColumn}) {
            increment(row, block + Games);
            increment(row, block + outcome);
        }
    }
    changes_.append({TallyChange::Kind::Game, winner, localWins, counted});
}

// Names are looked up again: a player another copy removed meanwhile is counted no more, and
// one that copy added too is the same row.
void TallyTable::apply(const TallyChanges &changes)
{
    for (const TallyChange &change : changes) {
        switch (change.kind) {
        case TallyChange::Kind::AddPlayer:
            addPlayer(change.name);
            break;
        case TallyChange::Kind::RemovePlayer:
            removePlayer(rowOf(change.name));
            break;
        case TallyChange::Kind::Reset:
            reset();
            break;
        case TallyChange::Kind::Game:
            countGame(change.name, change.localWins, change.counted);
            break;
        }
    }
}

QByteArray TallyTable::toText() const
{
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = QString::number(kColumns) + lineEnd + QString::number(rowCount()) + lineEnd;
    for (int column = 0; column < kColumns; ++column) {
        for (const Row &row : rows_) {
            // A line break inside a cell would shift every cell after it.
            QString cellText = row[size_t(column)];
            cellText.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            text += cellText + lineEnd;
        }
    }
    return text.toUtf8();
}

std::optional<TallyTable> TallyTable::fromText(const QByteArray &text, int *spoiledCells)
{
    const QStringList lines = linesOf(decoded(text));
    if (lines.size() < 2)
        return std::nullopt;
    const std::optional<int> columns = parsedCount(lines.at(0));
    const std::optional<int> rows = parsedCount(lines.at(1));
    if (columns != kColumns || !rows || *rows < 1 || qint64(*rows) * kColumns > lines.size() - 2)
        return std::nullopt;

    TallyTable table;
    table.rows_.resize(*rows);
    int spoiled = 0;
    for (int column = 0; column < kColumns; ++column) {
        for (int row = 0; row < *rows; ++row) {
            const QString &cellText = lines.at(2 + column * *rows + row);
            if (isCounterCell(row, column) && !isCounterText(cellText)) {
                table.rows_[row][size_t(column)] = QStringLiteral("0");
                ++spoiled;
                continue;
            }
            table.rows_[row][size_t(column)] = cellText;
        }
    }
    if (spoiledCells)
        *spoiledCells = spoiled;
    return table;
}
