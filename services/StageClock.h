// Where the time of the program's heavier steps goes: each step that a CStageTimer covers
// adds its time to the sum of its stage name (reading and deciphering the project store,
// parsing it, filling the document list, painting it, writing the store ...). The benchmarks
// take the sums and print them; the program itself never reads them. A timer costs two reads
// of the performance counter, so it covers whole steps, never single rows.
#pragma once

#include <string>
#include <utility>
#include <vector>

class CStageTimer
{
public:
    // Starts timing the stage; the name must outlive the program (a literal).
    explicit CStageTimer(const char* stage);
    // Adds the time since the start (or the last Next) to the stage.
    ~CStageTimer();
    // Ends the current stage and starts timing the next one.
    void Next(const char* stage);
    // Ends the current stage; nothing more is added.
    void Stop();

    CStageTimer(const CStageTimer&) = delete;
    CStageTimer& operator=(const CStageTimer&) = delete;

private:
    const char* m_stage;
    long long m_start;
};

// The sums since the last call, in milliseconds, stages in the order they were first timed;
// the sums start again from nothing. Safe from any thread.
std::vector<std::pair<std::string, double>> TakeStageTimes();
