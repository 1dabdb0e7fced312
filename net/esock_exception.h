#pragma once

#include <QString>
#include <stdexcept>

// Every failure the socket channel raises; it carries only its message text.
class ESockException : public std::runtime_error
{
public:
    explicit ESockException(const QString &message)
        : std::runtime_error(message.toStdString())
    {
    }
    QString text() const { return QString::fromStdString(what()); }
};
