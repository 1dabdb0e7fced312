#include "engine/player_names.h"

#include <unicode/uspoof.h>

#include <memory>

namespace playernames {
namespace {

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

bool isInvisible(QChar c)
{
    return c.category() == QChar::Other_Format;
}

QStringList foldedMarks()
{
    QStringList marks;
    for (const QString &mark : kSpeakerMarks)
        marks << lookAlike(mark);
    return marks;
}

// The number of characters of `name` up to the first place where its look contains one of the
// marks: the shortest prefix whose look holds it, then the longest tail of that prefix that
// still does, so the cut is just before the mark. -1 when no mark is in it.
qsizetype markStart(const QString &name, const QStringList &marks)
{
    auto holdsMark = [&marks](const QString &text) {
        const QString look = lookAlike(text);
        for (const QString &mark : marks) {
            if (look.contains(mark))
                return true;
        }
        return false;
    };
    if (!holdsMark(name))
        return -1;
    qsizetype end = 1;
    while (end < name.size() && !holdsMark(name.left(end)))
        ++end;
    qsizetype start = end - 1;
    while (start > 0 && !holdsMark(name.mid(start, end - start)))
        --start;
    return start;
}

} // namespace

QString lookAlike(const QString &name)
{
    QString visible;
    for (const QChar c : name.normalized(QString::NormalizationForm_KC).toCaseFolded()) {
        if (!isInvisible(c))
            visible += c;
    }
    const QString folded = skeleton(visible);
    QString out;
    bool blank = false;
    for (const QChar c : folded) {
        if (c.isSpace()) {
            blank = true;
            continue;
        }
        if (blank)
            out += u' ';
        blank = false;
        out += c;
    }
    if (blank)
        out += u' ';
    return out;
}

QString withoutSpeakerMarks(const QString &name)
{
    static const QStringList marks = foldedMarks();
    QString kept = name;
    // A name that a colon would turn into a mark is cut too: "Ann chats" followed by an action
    // that starts with ":" would read as Ann's chat line.
    for (;;) {
        const qsizetype start = markStart(kept + u':', marks);
        if (start < 0 || start >= kept.size())
            break;
        kept.truncate(start);
    }
    return kept.trimmed();
}

QString unique(const QString &name, const QStringList &taken, int maxChars)
{
    QStringList looks;
    for (const QString &other : taken)
        looks << lookAlike(other).trimmed();
    auto isFree = [&looks](const QString &candidate) { return !looks.contains(lookAlike(candidate).trimmed()); };
    if (isFree(name))
        return name;
    for (int n = 2;; ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        QString base = name;
        if (base.size() + suffix.size() > maxChars) {
            base.truncate(std::max<qsizetype>(0, maxChars - suffix.size()));
            if (!base.isEmpty() && base.back().isHighSurrogate())
                base.chop(1);
        }
        const QString candidate = base.trimmed() + suffix;
        if (isFree(candidate))
            return candidate;
    }
}

bool isBlank(const QString &name)
{
    for (const QChar c : name) {
        if (!c.isSpace() && !isInvisible(c))
            return false;
    }
    return true;
}

} // namespace playernames
