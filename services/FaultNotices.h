// The causes that stop every download and every search, whatever the document or the query:
// the recipe file cannot be read, or the OPS service refuses the program's keys. Each is told
// to the user in one message box, not once per document or run: the window that meets such a
// cause asks here whether it is the first to meet it. A cause counts as told until it goes
// away (the recipe is read again, a token is granted, the keys change); a cause that comes
// back, or another one of the same topic, is told again.
#pragma once

#include "String.h"

enum class FaultTopic
{
    Recipe,   // Download.cfg cannot be read
    OpsKeys,  // the OPS keys are missing or refused
};

// True when the cause (the message that tells it) has not been told for the topic since the
// topic was last cleared, and then marks it told. Any thread may ask.
bool TakeFaultNotice(FaultTopic topic, const CString& cause);

// The topic's cause has gone away.
void ClearFaultNotice(FaultTopic topic);
