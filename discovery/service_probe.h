#pragma once

#include <QObject>
#include <QTimer>

class QSocketNotifier;

// Whether a service found on the network answers at its address: a TCP connection is opened and
// closed at once, nothing sent. Reports once, within `ms`, and never blocks its thread.
class ServiceProbe : public QObject
{
    Q_OBJECT
public:
    ServiceProbe(const QString &address, quint16 port, int ms, QObject *parent = nullptr);
    ~ServiceProbe() override;

signals:
    void answered(bool answers);

private:
    bool connected() const;
    void finish(bool answers);

    int fd_ = -1;
    QSocketNotifier *writable_ = nullptr;
    QTimer deadline_;
    bool done_ = false;
};
