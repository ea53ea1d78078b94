// How the search thread judges what a search service answered, and the words for a run that
// did not get its answers: the service's fault document, the refusal of a request and the
// reasons a result list is incomplete.
#pragma once

#include "String.h"

#include <windows.h>

// The fault an OPS-style service answers instead of data: an XML document whose root is
// <fault xmlns="http://ops.epo.org"> with its <code> and <message>. True when the answer is
// one; code and message then hold their texts with the XML entities read back.
bool ReadServiceFault(const CString& answer, CString& code, CString& message);

// True for the fault by which the service says it holds nothing for the query or range.
bool IsNothingFoundFault(const CString& code);

// The message of a refused request: "The search service refused the request: 403 Forbidden."
// (without the status when it was 200) and the fault's code and message on a line of their
// own when the answer had a fault.
CString RefusalText(DWORD dwStatus, const CString& statusText, const CString& code, const CString& message);

// Why an answer left the result list incomplete.
enum IncompleteAnswer
{
    AnswerNoReply,     // no answer came
    AnswerBroken,      // the answer broke off or stalled
    AnswerEmpty,       // the answer had no body
    AnswerUnreadable,  // the answer lacks what the recipe must read in it (such as the total)
    AnswerShort,       // fewer results came than the answers announced
    AnswerRepeated,    // the answer gives a range of results that was listed already
    AnswerBeyondTotal, // the answer holds results numbered beyond the total it names
};

// The message of an incomplete result list, for the reason.
CString IncompleteText(IncompleteAnswer reason);
