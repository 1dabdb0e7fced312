#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

// Readable Qt values in test failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &value, std::ostream *out)
{
    *out << '"' << value.toStdString() << '"';
}
inline void PrintTo(const QStringList &value, std::ostream *out)
{
    *out << '[' << value.join(QStringLiteral("\" | \"")).prepend('"').append('"').toStdString() << ']';
}
inline void PrintTo(const QByteArray &value, std::ostream *out)
{
    *out << '"' << value.toStdString() << '"';
}
QT_END_NAMESPACE
