#pragma once
// Work handed to one thread (the game thread, the GUI host's render thread) by the others, each
// caller waiting until its own job has run there. The thread that owns the queue calls
// RunPending in its loop; between two calls it does its own turn (a tick, a frame).
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>

namespace sim {

class JobQueue {
public:
    enum class Turn { Ran, Idle, Stopped };

    // Queues `work` for the owning thread and waits until it has run; what it throws is
    // thrown here.
    void RunAndWait(const std::function<void()>& work);
    // Queues `work` without waiting for it; what it throws is dropped.
    void Post(std::function<void()> work);

    // On the owning thread: waits up to `idle` for work or a stop, then runs every job queued.
    // Stopped once a stop is asked and nothing is left to run; Idle when the wait ran out.
    Turn RunPending(std::chrono::duration<double> idle);

    void RequestStop();
    void Reopen();  // before the owning thread starts again

private:
    std::mutex mu;
    std::condition_variable ready;
    std::deque<std::packaged_task<void()>> jobs;
    bool stopping = false;
};

}  // namespace sim
