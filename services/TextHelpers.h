// Small text helpers shared by the workspace: entity escaping for values written into XML
// text templates, and slash removal for names built from document numbers.
#pragma once

#include "String.h"

// & < > " become &amp; &lt; &gt; &quot; (the ampersand first, so inserted entities stay).
CString EscapeXml(CString text);

// The reverse, in the same order: &amp;lt; therefore ends as a single <.
CString UnescapeXml(CString text);

// A copy without any "/" or "\".
CString StripSlashes(CString text);
