#include "SearchAnswer.h"

#include "RegEx.h"
#include "TextHelpers.h"

bool ReadServiceFault(const CString& answer, CString& code, CString& message)
{
    // The fault is the whole answer: its root element, after an XML declaration at most.
    static const char kFault[] =
        "\\A\\s*(?:<\\?xml[^>]*\\?>\\s*)?<fault\\b[^>]*xmlns=\"http://ops\\.epo\\.org\"[^>]*>";
    RegEx root(kFault, false);
    if (!root.Search(answer))
        return false;
    RegEx codePattern("<code>([^<]*)</code>", false);
    RegEx messagePattern("<message>([^<]*)</message>", false);
    code = codePattern.Search(answer) ? UnescapeXml(codePattern.What(1)) : CString();
    message = messagePattern.Search(answer) ? UnescapeXml(messagePattern.What(1)) : CString();
    code.Trim();
    message.Trim();
    return true;
}

bool IsNothingFoundFault(const CString& code)
{
    return code == "SERVER.EntityNotFound";
}

CString RefusalText(DWORD dwStatus, const CString& statusText, const CString& code, const CString& message)
{
    // A fault sent with the status 200 is named by its fault alone.
    CString text = "The search service refused the request";
    if (dwStatus != 200) {
        text.AppendFormat(": %lu", static_cast<unsigned long>(dwStatus));
        CString reason = statusText;
        reason.Trim();
        if (!reason.IsEmpty())
            text += " " + reason;
    }
    text += ".";
    CString fault = code;
    if (!message.IsEmpty())
        fault += fault.IsEmpty() ? message : ": " + message;
    if (!fault.IsEmpty())
        text += "\n" + fault;
    return text;
}

CString IncompleteText(IncompleteAnswer reason)
{
    switch (reason) {
    case AnswerNoReply:
        return "The search service did not answer, so the list is incomplete.";
    case AnswerBroken:
        return "The search service's answer broke off, so the list is incomplete.";
    case AnswerEmpty:
        return "The search service sent an empty answer, so the list is incomplete.";
    case AnswerUnreadable:
        return "The search service's answer could not be read, so the list is incomplete.";
    case AnswerShort:
        return "The search service gave fewer results than it announced, so the list is incomplete.";
    case AnswerRepeated:
        return "The search service gave results it had given already, so the list is incomplete.";
    case AnswerBeyondTotal:
        return "The search service gave more results than the total it named; those beyond the total are not "
               "listed, so the list is incomplete.";
    }
    return CString();
}
