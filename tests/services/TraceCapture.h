// Collects the download engine's trace lines while an object of it lives.
#pragma once

#include "TraceLine.h"

#include <vector>

class TraceCapture
{
public:
    TraceCapture() : m_previous(SetTraceSink(Collect)) { Lines().clear(); }
    ~TraceCapture() { SetTraceSink(m_previous); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    // The lines written since the capture began.
    static std::vector<CString>& Lines()
    {
        static std::vector<CString> lines;
        return lines;
    }

private:
    static void Collect(const CString& line) { Lines().push_back(line); }

    TraceSink m_previous;
};
