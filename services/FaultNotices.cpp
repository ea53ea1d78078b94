#include "FaultNotices.h"

#include <mutex>

namespace {

std::mutex g_noticeLock;
// The cause told last, per topic; empty while none is told.
CString g_told[2];

CString& Told(FaultTopic topic)
{
    return g_told[topic == FaultTopic::Recipe ? 0 : 1];
}

} // namespace

bool TakeFaultNotice(FaultTopic topic, const CString& cause)
{
    std::lock_guard<std::mutex> hold(g_noticeLock);
    CString& told = Told(topic);
    if (told == cause)
        return false;
    told = cause;
    return true;
}

void ClearFaultNotice(FaultTopic topic)
{
    std::lock_guard<std::mutex> hold(g_noticeLock);
    Told(topic).Empty();
}
