#include "StageClock.h"

#include <windows.h>

#include <mutex>

namespace {

struct Sums
{
    std::mutex lock;
    std::vector<std::pair<std::string, double>> stages;
};

Sums& TheSums()
{
    static Sums sums;
    return sums;
}

long long Counter()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Milliseconds(long long ticks)
{
    static const double perTick = [] {
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        return 1000.0 / static_cast<double>(frequency.QuadPart);
    }();
    return static_cast<double>(ticks) * perTick;
}

void AddTime(const char* stage, double ms)
{
    Sums& sums = TheSums();
    std::lock_guard<std::mutex> hold(sums.lock);
    for (auto& entry : sums.stages) {
        if (entry.first == stage) {
            entry.second += ms;
            return;
        }
    }
    sums.stages.emplace_back(stage, ms);
}

} // namespace

CStageTimer::CStageTimer(const char* stage) : m_stage(stage), m_start(Counter())
{
}

CStageTimer::~CStageTimer()
{
    Stop();
}

void CStageTimer::Stop()
{
    if (m_stage)
        AddTime(m_stage, Milliseconds(Counter() - m_start));
    m_stage = nullptr;
}

void CStageTimer::Next(const char* stage)
{
    const long long now = Counter();
    if (m_stage)
        AddTime(m_stage, Milliseconds(now - m_start));
    m_stage = stage;
    m_start = now;
}

std::vector<std::pair<std::string, double>> TakeStageTimes()
{
    Sums& sums = TheSums();
    std::lock_guard<std::mutex> hold(sums.lock);
    std::vector<std::pair<std::string, double>> taken;
    taken.swap(sums.stages);
    return taken;
}
