#include "engine/player_names.h"

#include "engine/player_text.h"
#include "protocol/constants.h"

#include <unicode/uchar.h>
#include <unicode/uspoof.h>

#include <memory>

namespace playernames {
namespace {

using CodePoints = QList<char32_t>;

// The words of the chat grammar that stand between a speaker's name and what it says.
const QStringList kSpeakerMarks = {QStringLiteral(" chats:"), QStringLiteral(" says:")};

struct CheckerCloser {
    void operator()(USpoofChecker *checker) const { uspoof_close(checker); }
};

const USpoofChecker *spoofChecker()
{
    static const std::unique_ptr<USpoofChecker, CheckerCloser> checker = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<USpoofChecker, CheckerCloser> opened(uspoof_open(&status));
        return U_SUCCESS(status) ? std::move(opened) : nullptr;
    }();
    return checker.get();
}

QString skeleton(const QString &text)
{
    const USpoofChecker *checker = spoofChecker();
    if (!checker || text.isEmpty())
        return text;
    const auto *in = reinterpret_cast<const UChar *>(text.utf16());
    // A skeleton is seldom longer than its text; the first call says how long it is if it is.
    QString out(text.size() * 2 + 8, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    int length = uspoof_getSkeleton(checker, 0, in, int(text.size()), reinterpret_cast<UChar *>(out.data()),
                                    int(out.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        out.resize(length);
        status = U_ZERO_ERROR;
        length = uspoof_getSkeleton(checker, 0, in, int(text.size()), reinterpret_cast<UChar *>(out.data()),
                                    int(out.size()), &status);
    }
    if (U_FAILURE(status))
        return text;
    out.resize(length);
    return out;
}

CodePoints codePoints(const QString &text)
{
    const QList<uint> points = text.toUcs4();
    return CodePoints(points.begin(), points.end());
}

QString fromCodePoints(const CodePoints &points, qsizetype from = 0, qsizetype count = -1)
{
    const qsizetype end = count < 0 ? points.size() : std::min(points.size(), from + count);
    QString text;
    for (qsizetype i = from; i < end; ++i)
        text += QString::fromUcs4(&points[i], 1);
    return text;
}

// Every run of blanks as one blank; invisible characters dropped.
QString withBlanksFolded(const QString &text)
{
    QString out;
    bool blank = false;
    for (const char32_t c : codePoints(text)) {
        if (isInvisible(c))
            continue;
        if (isBlankCharacter(c)) {
            blank = true;
            continue;
        }
        if (blank)
            out += u' ';
        blank = false;
        out += QString::fromUcs4(&c, 1);
    }
    if (blank)
        out += u' ';
    return out;
}

// The text without blanks at either end, whatever blank they are.
CodePoints trimmed(CodePoints points)
{
    while (!points.isEmpty() && isBlankCharacter(points.last()))
        points.removeLast();
    qsizetype first = 0;
    while (first < points.size() && isBlankCharacter(points[first]))
        ++first;
    return points.mid(first);
}

QStringList foldedMarks()
{
    QStringList marks;
    for (const QString &mark : kSpeakerMarks)
        marks << lookAlike(mark);
    return marks;
}

// The number of code points of `name` up to the first place where its look contains one of the
// marks: the shortest prefix whose look holds it, then the longest tail of that prefix that
// still does, so the cut is just before the mark. -1 when no mark is in it.
qsizetype markStart(const CodePoints &name, const QStringList &marks)
{
    auto holdsMark = [&](qsizetype from, qsizetype count) {
        const QString look = lookAlike(fromCodePoints(name, from, count));
        for (const QString &mark : marks) {
            if (look.contains(mark))
                return true;
        }
        return false;
    };
    if (!holdsMark(0, name.size()))
        return -1;
    qsizetype end = 1;
    while (end < name.size() && !holdsMark(0, end))
        ++end;
    qsizetype start = end - 1;
    while (start > 0 && !holdsMark(start, end - start))
        --start;
    return start;
}

} // namespace

bool isInvisible(char32_t c)
{
    return u_hasBinaryProperty(UChar32(c), UCHAR_DEFAULT_IGNORABLE_CODE_POINT) && !isBlankCharacter(c);
}

bool isBlankCharacter(char32_t c)
{
    switch (c) {
    case 0x2800: // Braille pattern blank
    case 0x115F: // Hangul choseong filler
    case 0x1160: // Hangul jungseong filler
    case 0x3164: // Hangul filler
    case 0xFFA0: // halfwidth Hangul filler
        return true;
    default:
        return u_isUWhiteSpace(UChar32(c));
    }
}

QString lookAlike(const QString &name)
{
    // The skeleton first: it tells "I" from "l" only by their case, which folding would lose.
    const QString visible = withBlanksFolded(name.normalized(QString::NormalizationForm_KC));
    return withBlanksFolded(skeleton(skeleton(visible).toCaseFolded()));
}

QString withoutInvisibles(const QString &name)
{
    QString kept;
    for (const char32_t c : codePoints(name)) {
        if (!isInvisible(c))
            kept += QString::fromUcs4(&c, 1);
    }
    return kept;
}

QString withoutSpeakerMarks(const QString &name)
{
    static const QStringList marks = foldedMarks();
    CodePoints kept = codePoints(name);
    // A name that a colon would turn into a mark is cut too: "Ann chats" followed by an action
    // that starts with ":" would read as Ann's chat line.
    for (;;) {
        CodePoints withColon = kept;
        withColon.append(U':');
        const qsizetype start = markStart(withColon, marks);
        if (start < 0 || start >= kept.size())
            break;
        kept.resize(start);
    }
    return fromCodePoints(trimmed(kept));
}

QString unique(const QString &name, const QStringList &taken, int maxChars)
{
    QStringList looks;
    for (const QString &other : taken)
        looks << lookAlike(other).trimmed();
    auto isFree = [&looks](const QString &candidate) { return !looks.contains(lookAlike(candidate).trimmed()); };
    if (isFree(name))
        return name;
    const CodePoints points = codePoints(name);
    for (int n = 2;; ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        const qsizetype room = std::max<qsizetype>(0, maxChars - suffix.size());
        const QString candidate = fromCodePoints(trimmed(points.mid(0, room))) + suffix;
        if (isFree(candidate))
            return candidate;
    }
}

bool isBlank(const QString &name)
{
    for (const char32_t c : codePoints(name)) {
        if ((U_GET_GC_MASK(UChar32(c)) & (U_GC_L_MASK | U_GC_N_MASK)) && !isInvisible(c) && !isBlankCharacter(c))
            return false;
    }
    return true;
}

QByteArray tableName(const QByteArray &sent, const QString &defaultName, const QStringList &taken)
{
    const QString cleaned = QString::fromUtf8(playertext::cleaned(sent, proto::kMaxNameChars));
    QString name = withoutSpeakerMarks(withoutInvisibles(cleaned));
    if (isBlank(name))
        name = defaultName;
    // Compared as every client shows it: two names that differ only in what is replaced are one.
    const QString shown = QString::fromUtf8(playertext::playerName(name.toUtf8()));
    return unique(shown, taken, proto::kMaxNameChars).toUtf8();
}

} // namespace playernames
