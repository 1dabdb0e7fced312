#pragma once

#include <QByteArray>
#include <QList>

struct AvahiStringList;

// Avahi's TXT record list, made from and read into Qt's byte arrays; owns what it makes.
class TxtList
{
public:
    explicit TxtList(const QList<QByteArray> &records);
    ~TxtList();
    TxtList(const TxtList &) = delete;
    TxtList &operator=(const TxtList &) = delete;

    AvahiStringList *list() const { return list_; }

    static QList<QByteArray> read(AvahiStringList *list);

private:
    AvahiStringList *list_ = nullptr;
};
