#include "net/orderly_end.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <set>
#include <sys/socket.h>
#include <unistd.h>

namespace orderlyend {
namespace {

class Ending;

// Every connection still ending; they stay reachable until they are done.
std::set<Ending *> &endings()
{
    static std::set<Ending *> live;
    return live;
}

class Ending : public QObject
{
public:
    Ending(int fd, QObject *parent)
        : QObject(parent)
        , fd_(fd)
        , notifier_(fd, QSocketNotifier::Read)
    {
        endings().insert(this);
        connect(&notifier_, &QSocketNotifier::activated, this, [this] { readAndDrop(); });
        deadline_.setSingleShot(true);
        connect(&deadline_, &QTimer::timeout, this, [this] { finish(); });
        deadline_.start(kLingerMs);
    }
    ~Ending() override
    {
        endings().erase(this);
        ::close(fd_);
    }

private:
    void readAndDrop()
    {
        char scratch[4096];
        while (true) {
            const ssize_t count = ::recv(fd_, scratch, sizeof scratch, MSG_DONTWAIT);
            if (count > 0 && (dropped_ += count) <= kMaxDroppedBytes)
                continue;
            if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
                return;
            finish(); // the peer ended too, sends on and on, or the connection is gone
            return;
        }
    }

    void finish()
    {
        notifier_.setEnabled(false);
        deadline_.stop();
        deleteLater();
    }

    int fd_;
    qint64 dropped_ = 0;
    QSocketNotifier notifier_;
    QTimer deadline_;
};

} // namespace

void close(int fd)
{
    if (fd < 0)
        return;
    ::shutdown(fd, SHUT_WR);
    if (!QAbstractEventDispatcher::instance(QThread::currentThread())) {
        ::close(fd);
        return;
    }
    // Those still ending when the program ends are closed with the application.
    QCoreApplication *app = QCoreApplication::instance();
    new Ending(fd, app && app->thread() == QThread::currentThread() ? app : nullptr);
}

int pending()
{
    return int(endings().size());
}

void whenEnded(QObject *context, int maxMs, std::function<void()> done)
{
    auto *poll = new QTimer(context);
    const QDeadlineTimer deadline(maxMs);
    QObject::connect(poll, &QTimer::timeout, context, [poll, deadline, done = std::move(done)] {
        if (pending() > 0 && !deadline.hasExpired())
            return;
        poll->stop();
        poll->deleteLater();
        done();
    });
    poll->start(10);
}

} // namespace orderlyend
