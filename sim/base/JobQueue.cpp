#include "sim/base/JobQueue.h"

namespace sim {

void JobQueue::RunAndWait(const std::function<void()>& work) {
    std::packaged_task<void()> task(work);
    std::future<void> done = task.get_future();
    {
        std::lock_guard<std::mutex> lock(mu);
        jobs.push_back(std::move(task));
    }
    ready.notify_one();
    done.get();
}

void JobQueue::Post(std::function<void()> work) {
    {
        std::lock_guard<std::mutex> lock(mu);
        jobs.emplace_back(std::move(work));
    }
    ready.notify_one();
}

JobQueue::Turn JobQueue::RunPending(std::chrono::duration<double> idle) {
    std::deque<std::packaged_task<void()>> batch;
    {
        std::unique_lock<std::mutex> lock(mu);
        ready.wait_for(lock, idle, [this] { return stopping || !jobs.empty(); });
        batch.swap(jobs);
        if (batch.empty()) return stopping ? Turn::Stopped : Turn::Idle;
    }
    // Without the lock: a job may queue more work, for a later turn.
    for (auto& job : batch) job();
    return Turn::Ran;
}

void JobQueue::RequestStop() {
    {
        std::lock_guard<std::mutex> lock(mu);
        stopping = true;
    }
    ready.notify_one();
}

void JobQueue::Reopen() {
    std::lock_guard<std::mutex> lock(mu);
    stopping = false;
}

}  // namespace sim
