// The trace of the download engine: one line per event worth keeping (a refused token reply,
// a failed portal visit). The lines go to the sink set with SetTraceSink, the progress log
// once the program has one; without a sink they go to the debugger output.
#pragma once

#include "String.h"

using TraceSink = void (*)(const CString& line);

void WriteTraceLine(const CString& line);

// Sets the receiver of the lines (null: the debugger output) and answers the previous one.
TraceSink SetTraceSink(TraceSink sink);
