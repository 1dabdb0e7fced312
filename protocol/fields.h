#pragma once

#include "protocol/wire.h"

#include <QByteArray>
#include <QList>

#include <optional>

// The two codecs every message layout is written for. A layout is one function that names the
// message's fields in order (see messages.h); run with a FieldWriter it builds the data, run with
// a FieldReader it reads them back and checks them. Fields are joined by "+"; end() writes the
// "+" that closes layouts ending in one.
namespace proto {

class FieldWriter
{
public:
    void seat(int n) { put(QByteArray::number(n)); }
    void speaker(int n) { put(QByteArray::number(n)); }
    void number(int n) { put(QByteArray::number(n)); }
    void text(const QByteArray &t) { put(t); }
    // The last field, which may hold "+" of its own.
    void rest(const QByteArray &t) { put(t); }
    // A last text that may hold "+" and is followed by the closing "+" (written by end()).
    void restBeforeEnd(const QByteArray &t) { put(t); }
    // A first text that may hold "+", followed by fields whose "+" are the last `separatorsAfter`.
    void leadingText(const QByteArray &t, int) { put(t); }
    // A number the receiver reads past without looking at it.
    void ignored(int n) { put(QByteArray::number(n)); }
    void optional(const std::optional<int> &n)
    {
        if (n)
            number(*n);
    }
    void optional(const std::optional<QByteArray> &t)
    {
        if (t)
            text(*t);
    }
    template <class Item>
    void each(const QList<Item> &items)
    {
        for (const Item &item : items)
            Item::layout(*this, item);
    }
    void end() { data_ += kSeparator; }

    const QByteArray &data() const { return data_; }

private:
    void put(const QByteArray &field)
    {
        if (!first_)
            data_ += kSeparator;
        data_ += field;
        first_ = false;
    }

    QByteArray data_;
    bool first_ = true;
};

// Reads the fields of a message's data (the text after the verb's "+") strictly: a missing field,
// a number that is not decimal, a seat outside 1 to 9 (0 to 9 for a speaker), a missing closing
// "+" or anything left over makes the message malformed. After a failure every further read is a
// no-op.
class FieldReader
{
public:
    explicit FieldReader(const QByteArray &data)
        : data_(data)
    {
    }

    void seat(int &n);
    // The seat of a chat line's speaker, or 0 for the host itself.
    void speaker(int &n);
    void number(int &n);
    void text(QByteArray &t);
    void rest(QByteArray &t);
    void restBeforeEnd(QByteArray &t);
    // Everything before the last `separatorsAfter` "+" of the data: the fields after it are read
    // from the right, whatever "+" the text holds.
    void leadingText(QByteArray &t, int separatorsAfter);
    void ignored(int);
    // Present when any data is left.
    void optional(std::optional<int> &n);
    void optional(std::optional<QByteArray> &t);
    // Items until the data ends.
    template <class Item>
    void each(QList<Item> &items)
    {
        while (ok_ && pos_ < data_.size()) {
            Item item {};
            Item::layout(*this, item);
            if (ok_)
                items.append(item);
        }
    }
    void end();

    // Every field was read and nothing is left over.
    bool complete() const { return ok_ && pos_ == data_.size() && (!open_ || fields_ == 0); }

private:
    std::optional<QByteArray> next();

    QByteArray data_;
    qsizetype pos_ = 0;
    bool open_ = true; // a field starts at pos_: at the start, or after a "+"
    bool ok_ = true;
    int fields_ = 0;
};

} // namespace proto
