#include "WorkerTask.h"

#include <system_error>
#include <thread>
#include <utility>

namespace {

// How often a waiting caller asks its stop test, in milliseconds.
const DWORD kStopPoll = 20;

class CFunctionTask : public CWorkerTask
{
public:
    explicit CFunctionTask(std::function<void()> work) : m_work(std::move(work)) {}

protected:
    void Perform() override { m_work(); }

private:
    std::function<void()> m_work;
};

} // namespace

CWorkerTask::CWorkerTask() : m_hDone(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CWorkerTask::~CWorkerTask()
{
    if (m_hDone)
        CloseHandle(m_hDone);
}

bool CWorkerTask::Run(const std::shared_ptr<CWorkerTask>& task, const std::function<bool()>& isStopped)
{
    if (isStopped()) {
        task->m_bLetGo = true;
        return false;
    }
    bool bStarted = false;
    if (task->m_hDone) {
        try {
            std::thread([task] {
                task->Perform();
                SetEvent(task->m_hDone);
            }).detach();
            bStarted = true;
        } catch (const std::system_error&) {
        }
    }
    if (!bStarted) {
        task->Perform();
        return true;
    }
    while (WaitForSingleObject(task->m_hDone, kStopPoll) == WAIT_TIMEOUT) {
        if (isStopped()) {
            task->m_bLetGo = true;
            task->OnLetGo();
            return false;
        }
    }
    return true;
}

bool RunOnWorker(std::function<void()> work, const std::function<bool()>& isStopped)
{
    return CWorkerTask::Run(std::make_shared<CFunctionTask>(std::move(work)), isStopped);
}
