#include "protocol/fields.h"

namespace proto {

std::optional<QByteArray> FieldReader::next()
{
    if (!ok_ || !open_) {
        ok_ = false;
        return std::nullopt;
    }
    ++fields_;
    const qsizetype plus = data_.indexOf(kSeparator, pos_);
    if (plus < 0) {
        QByteArray field = data_.mid(pos_);
        pos_ = data_.size();
        open_ = false;
        return field;
    }
    QByteArray field = data_.mid(pos_, plus - pos_);
    pos_ = plus + 1;
    return field;
}

void FieldReader::number(int &n)
{
    const std::optional<QByteArray> field = next();
    if (!field)
        return;
    const std::optional<int> value = toNumber(*field);
    if (!value)
        ok_ = false;
    else
        n = *value;
}

void FieldReader::seat(int &n)
{
    int value = 0;
    number(value);
    if (ok_ && !isSeat(value))
        ok_ = false;
    if (ok_)
        n = value;
}

void FieldReader::speaker(int &n)
{
    int value = 0;
    number(value);
    if (ok_ && value != 0 && !isSeat(value))
        ok_ = false;
    if (ok_)
        n = value;
}

void FieldReader::text(QByteArray &t)
{
    if (const std::optional<QByteArray> field = next())
        t = *field;
}

void FieldReader::rest(QByteArray &t)
{
    if (!ok_ || !open_) {
        ok_ = false;
        return;
    }
    ++fields_;
    t = data_.mid(pos_);
    pos_ = data_.size();
    open_ = false;
}

void FieldReader::restBeforeEnd(QByteArray &t)
{
    if (!ok_ || !open_ || !data_.endsWith(kSeparator) || pos_ >= data_.size()) {
        ok_ = false;
        return;
    }
    ++fields_;
    t = data_.mid(pos_, data_.size() - 1 - pos_);
    pos_ = data_.size(); // the closing "+" is read; end() finds it read
}

void FieldReader::leadingText(QByteArray &t, int separatorsAfter)
{
    if (!ok_ || !open_ || separatorsAfter < 1) {
        ok_ = false;
        return;
    }
    qsizetype plus = data_.size();
    for (int found = 0; found < separatorsAfter; ++found) {
        plus = plus > pos_ ? data_.lastIndexOf(kSeparator, plus - 1) : -1;
        if (plus < pos_) {
            ok_ = false;
            return;
        }
    }
    ++fields_;
    t = data_.mid(pos_, plus - pos_);
    pos_ = plus + 1;
}

void FieldReader::ignored(int)
{
    next();
}

void FieldReader::optional(std::optional<int> &n)
{
    if (!ok_ || pos_ >= data_.size())
        return;
    int value = 0;
    number(value);
    if (ok_)
        n = value;
}

void FieldReader::optional(std::optional<QByteArray> &t)
{
    if (!ok_ || pos_ >= data_.size())
        return;
    QByteArray value;
    text(value);
    if (ok_)
        t = value;
}

void FieldReader::end()
{
    // The last field was followed by "+" and nothing comes after it.
    if (!ok_ || !open_ || pos_ != data_.size() || fields_ == 0) {
        ok_ = false;
        return;
    }
    open_ = false;
}

} // namespace proto
