#pragma once

#include <QObject>
#include <QThread>

// A thread of its own for the Avahi work of one publisher or browser: the client, its calls (which
// wait on the daemon) and its callbacks run there, so that nothing the daemon or the network does
// (a flood of services, a busy daemon) holds up the thread that runs the game. `Worker` is made
// here and moved there; its start() runs there first. Talk to it with run() and its signals.
template <class Worker>
class AvahiThread
{
public:
    // How long the end of a publisher or browser waits for its thread; a thread still waiting on
    // the daemon then is left to end by itself (the daemon drops a client's services when its
    // connection goes, at the latest when the process ends).
    static constexpr unsigned long kShutdownMs = 1000;

    AvahiThread()
    {
        thread_->setObjectName(QStringLiteral("avahi"));
        worker_->moveToThread(thread_);
        // Once its loop has stopped, the thread deletes the worker itself.
        QObject::connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
        thread_->start();
        run([worker = worker_] { worker->start(); });
    }
    ~AvahiThread()
    {
        thread_->quit();
        if (thread_->wait(kShutdownMs))
            delete thread_;
        else
            QObject::connect(thread_, &QThread::finished, thread_, &QObject::deleteLater);
    }
    AvahiThread(const AvahiThread &) = delete;
    AvahiThread &operator=(const AvahiThread &) = delete;

    Worker *worker() const { return worker_; }
    // Runs `work` on the thread, after what was asked before.
    template <class Work>
    void run(Work work) const
    {
        QMetaObject::invokeMethod(worker_, std::move(work), Qt::QueuedConnection);
    }

private:
    QThread *thread_ = new QThread;
    Worker *worker_ = new Worker;
};
