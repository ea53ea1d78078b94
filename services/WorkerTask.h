// CWorkerTask: a blocking transfer that must never hold its caller. WinINet reads and urlmon
// transfers cannot be broken off from outside: a server that sends part of its reply and then
// nothing holds the thread that waits in them. So the search fetcher, the page fetcher and
// the page transfers make each request on a worker thread of its own, while the calling
// thread waits for it and watches its stop test (an abort, a quit, a cancel, a time-out). A
// stop lets go of the task at once: the caller goes its way, and the task is told (IsLetGo,
// OnLetGo) and ends on its own as soon as its blocking call returns, removing what it made.
//
// What the caller and the worker share lives in the task object, which both hold; a task let
// go of therefore never touches the caller's memory, also after the caller's thread object
// has gone.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>

class CWorkerTask
{
public:
    CWorkerTask();
    virtual ~CWorkerTask();
    CWorkerTask(const CWorkerTask&) = delete;
    CWorkerTask& operator=(const CWorkerTask&) = delete;

    // Runs the task on a worker thread and waits for it, asking the stop test before the start
    // and every 20 ms. True when the task finished; false when the stop test let go of it (the
    // task then gets OnLetGo on this thread) or held before it (the task never ran). Without a
    // worker thread the task runs on the calling thread.
    static bool Run(const std::shared_ptr<CWorkerTask>& task, const std::function<bool()>& isStopped);

    // True once the caller has let go of the task: its work stops where it can and leaves
    // nothing behind.
    bool IsLetGo() const { return m_bLetGo; }

protected:
    // The work, on the worker thread.
    virtual void Perform() = 0;
    // On the caller's thread as it lets go: whatever can hurry the work to its end.
    virtual void OnLetGo() {}

private:
    std::atomic<bool> m_bLetGo{false};
    HANDLE m_hDone;  // set by the worker once Perform has returned
};

// A function run as a worker task: true when it finished, false when the stop test let go of
// it (or held before it started).
bool RunOnWorker(std::function<void()> work, const std::function<bool()>& isStopped);
