#include "TraceLine.h"

#include <windows.h>

#include <atomic>

namespace {
std::atomic<TraceSink> g_sink{nullptr};
}

void WriteTraceLine(const CString& line)
{
    TraceSink sink = g_sink.load();
    if (sink)
        sink(line);
    else
        OutputDebugStringA(line + "\r\n");
}

TraceSink SetTraceSink(TraceSink sink)
{
    return g_sink.exchange(sink);
}
