#include "accessibility/spoken.h"

#include "session/client_session.h"

#include <QStringList>

namespace spoken {

namespace {

QString counted(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

QString points(int n)
{
    return counted(n, "point", "points");
}

QString ofTen(int wordNumber)
{
    return QStringLiteral("word %1 of %2").arg(wordNumber).arg(BoardState::kWords);
}

bool inRange(int wordNumber)
{
    return wordNumber >= 1 && wordNumber <= BoardState::kWords;
}

// The taken seats with the highest total score.
QStringList leaders(const ClientSession &session, int *score)
{
    QStringList names;
    *score = 0;
    for (int seat = 1; seat <= proto::kPlayerSeats; ++seat) {
        const SeatRow &row = session.seat(seat);
        if (!row.occupied)
            continue;
        if (names.isEmpty() || row.score > *score) {
            names = {row.name};
            *score = row.score;
        } else if (row.score == *score) {
            names << row.name;
        }
    }
    return names;
}

QString leaderLine(const ClientSession &session)
{
    int score = 0;
    const QStringList names = leaders(session, &score);
    if (names.isEmpty())
        return QStringLiteral("nobody is playing");
    const QString named = names.size() == 1 ? names.first()
                                            : names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + names.last();
    return QStringLiteral("%1 %2 with %3").arg(named,
                                               QLatin1String(names.size() == 1 ? "leads" : "lead"), points(score));
}

// The parts as sentences, each begun with a capital.
QString sentence(const QStringList &parts)
{
    QStringList sentences;
    for (const QString &part : parts)
        sentences << capitalised(part);
    QString text = sentences.join(QStringLiteral(". "));
    if (!text.endsWith(QLatin1Char('.')) && !text.endsWith(QLatin1Char('!')))
        text += QLatin1Char('.');
    return text;
}

} // namespace

QString capitalised(const QString &text)
{
    return text.left(1).toUpper() + text.mid(1);
}

QString letters(const QByteArray &masked)
{
    QStringList spoken;
    for (const char c : masked)
        spoken << (c >= 'a' && c <= 'z' ? QString(QChar(c - 'a' + 'A')) : QStringLiteral("blank"));
    return spoken.join(QLatin1Char(' '));
}

QString wordCell(const BoardState &board, int wordNumber)
{
    if (!inRange(wordNumber))
        return {};
    const QByteArray &masked = board.words[size_t(wordNumber - 1)].masked;
    return ofTen(wordNumber) + QStringLiteral(", ") + (masked.isEmpty() ? QStringLiteral("not dealt yet") : letters(masked));
}

QString answerCell(const BoardState &board, int wordNumber)
{
    if (!inRange(wordNumber))
        return {};
    const WordRecord &word = board.words[size_t(wordNumber - 1)];
    if (word.mark == WordRecord::Mark::Done)
        return QStringLiteral("your word: %1, accepted").arg(word.answer);
    if (wordNumber == board.captionWord && board.typed > 0)
        return QStringLiteral("your word so far: %1").arg(board.entryText());
    if (word.mark == WordRecord::Mark::Refused)
        return QStringLiteral("your word: %1, refused, %2").arg(word.answer, word.reason);
    return QStringLiteral("no word yet");
}

QString seatItem(int seat, const SeatRow &row)
{
    if (!row.occupied)
        return QStringLiteral("seat %1, waiting for a player").arg(seat);
    QStringList parts {row.name, points(row.score)};
    if (row.wordCount)
        parts << counted(*row.wordCount, "word", "words");
    if (row.watching)
        parts << QStringLiteral("watching");
    return parts.join(QStringLiteral(", "));
}

QString round(const TurnClock &clock)
{
    QString caption = clock.roundCaption();
    if (caption.startsWith(QLatin1String("Round: 0 ")))
        return QStringLiteral("no game yet");
    return caption.replace(QLatin1String("Round: "), QLatin1String("Round "));
}

QString timeLeft(int seconds)
{
    if (seconds <= 0)
        return QStringLiteral("time is up");
    return counted(seconds, "second", "seconds") + QStringLiteral(" left");
}

QString ordinal(int n)
{
    const int lastTwo = n % 100;
    const char *suffix = "th";
    if (lastTwo < 11 || lastTwo > 13) {
        switch (n % 10) {
        case 1: suffix = "st"; break;
        case 2: suffix = "nd"; break;
        case 3: suffix = "rd"; break;
        default: break;
        }
    }
    return QString::number(n) + QLatin1String(suffix);
}

Standing standing(const ClientSession &session, int seat)
{
    Standing result;
    if (!proto::isPlayerSeat(seat) || !session.seat(seat).occupied)
        return result;
    const int score = session.seat(seat).score;
    result.place = 1;
    for (int other = 1; other <= proto::kPlayerSeats; ++other) {
        const SeatRow &row = session.seat(other);
        if (!row.occupied)
            continue;
        ++result.players;
        if (row.score > score)
            ++result.place;
    }
    return result;
}

QString results(const ClientSession &session)
{
    const ResultsState &shown = session.results();
    QStringList parts {shown.roundCaption.isEmpty() ? QStringLiteral("Round results")
                                                    : shown.roundCaption + QStringLiteral(" results")};
    for (int column = 1; column <= proto::kPlayerSeats; ++column) {
        for (int seat = 1; seat <= proto::kPlayerSeats; ++seat) {
            if (session.columnOfSeat(seat) != column)
                continue;
            const ResultColumn &result = shown.of(seat);
            if (result.name.isEmpty() || (result.name == kWaitingName && result.words.isEmpty()))
                continue;
            QStringList about {result.name + QStringLiteral(": ") + points(result.roundScore.value_or(0))};
            if (result.fastest)
                about << QStringLiteral("fastest");
            if (result.bonus)
                about << QStringLiteral("bonus");
            if (!result.words.isEmpty())
                about << QStringLiteral("words ") + result.words.join(QStringLiteral(", "));
            parts << about.join(QStringLiteral(", "));
        }
    }
    if (!shown.sourceWords.isEmpty())
        parts << QStringLiteral("Original Words: ") + shown.sourceWords.join(QStringLiteral(", "));
    return sentence(parts);
}

QString roundScored(const ClientSession &session)
{
    const QString heading = round(session.clock()) + QStringLiteral(" scored");
    const int seat = session.localSeat();
    const Standing place = standing(session, seat);
    if (!session.isPlayer() || place.place == 0)
        return sentence({heading, leaderLine(session)});
    return sentence({heading, QStringLiteral("you made %1, %2 of %3 with %4")
                                  .arg(points(session.results().of(seat).roundScore.value_or(0)), ordinal(place.place))
                                  .arg(place.players)
                                  .arg(points(session.seat(seat).score))});
}

QString summary(const ClientSession &session)
{
    QStringList parts {round(session.clock())};
    if (session.clock().running())
        parts << timeLeft(session.clock().remaining());
    const int seat = session.localSeat();
    const Standing place = standing(session, seat);
    if (session.isPlayer() && place.place > 0) {
        const SeatRow &row = session.seat(seat);
        // No count is shown in a round before the first word is filled.
        if (row.wordCount || session.phase() == proto::WordPhase)
            parts << QStringLiteral("%1 of %2 words filled").arg(row.wordCount.value_or(0)).arg(BoardState::kWords);
        parts << QStringLiteral("your score %1, %2 of %3").arg(points(row.score), ordinal(place.place)).arg(place.players);
    } else {
        parts << QStringLiteral("you are watching") << leaderLine(session);
    }
    const BoardState &board = session.board();
    if (session.ownsBoard() && inRange(board.captionWord))
        parts << QStringLiteral("now ") + wordCell(board, board.captionWord) + QStringLiteral(", ") + answerCell(board, board.captionWord);
    else if (!board.status.isEmpty())
        parts << board.status;
    return sentence(parts);
}

} // namespace spoken
