#include "discovery/txt_list.h"

#include <avahi-common/strlst.h>

TxtList::TxtList(const QList<QByteArray> &records)
{
    for (const QByteArray &record : records)
        list_ = avahi_string_list_add_arbitrary(list_, reinterpret_cast<const uint8_t *>(record.constData()), size_t(record.size()));
}

TxtList::~TxtList()
{
    avahi_string_list_free(list_);
}

QList<QByteArray> TxtList::read(AvahiStringList *list)
{
    QList<QByteArray> records;
    for (AvahiStringList *item = list; item; item = avahi_string_list_get_next(item))
        records.prepend(QByteArray(reinterpret_cast<const char *>(avahi_string_list_get_text(item)), qsizetype(avahi_string_list_get_size(item))));
    return records;
}
