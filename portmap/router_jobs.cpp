#include "portmap/router_jobs.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace portmap {

namespace {

class RouterThread
{
public:
    void post(std::function<void()> job)
    {
        std::lock_guard lock(mutex_);
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); });
        jobs_.push_back(std::move(job));
        wake_.notify_all();
    }

    bool finish(int ms)
    {
        std::unique_lock lock(mutex_);
        return idle_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return jobs_.empty() && !busy_; });
    }

private:
    void run()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return !jobs_.empty(); });
            std::function<void()> job = std::move(jobs_.front());
            jobs_.pop_front();
            busy_ = true;
            lock.unlock();
            job();
            job = nullptr;
            lock.lock();
            busy_ = false;
            idle_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> jobs_;
    bool busy_ = false;
    std::thread thread_;
};

// Never destroyed: a job may still be talking to a router while the process ends, and its thread
// then ends with the process.
RouterThread &routerThread()
{
    static RouterThread *thread = new RouterThread;
    return *thread;
}

} // namespace

void postRouterJob(std::function<void()> job)
{
    routerThread().post(std::move(job));
}

bool finishRouterJobs(int ms)
{
    return routerThread().finish(ms);
}

} // namespace portmap
