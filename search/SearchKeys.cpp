// The search thread's placeholders and its key computations (HardCodeKey).
#include "SearchThread.h"

#include "Placeholders.h"
#include "SearchText.h"
#include "XmlHelpers.h"

CString CSearchThread::FillPlaceholders(const CString& text)
{
    return ::FillPlaceholders(m_Parameters, text, false);
}

CString CSearchThread::FillPlaceholdersForRegex(const CString& text)
{
    return ::FillPlaceholders(m_Parameters, text, true);
}

CString CSearchThread::Parameter(const char* pszKey) const
{
    CString value;
    m_Parameters.Lookup(pszKey, value);
    return value;
}

void CSearchThread::RunStepKeys(IXMLDOMNodePtr step)
{
    RunHardCodeKeys(step, 0);
}

void CSearchThread::RunHardCodeKeys(IXMLDOMNodePtr step, int bDelayed)
{
    for (IXMLDOMNodePtr key : SelectNodes(step, bDelayed ? L"HardCodeKey[@DelayProcess='Yes']" : L"HardCodeKey")) {
        CString name;
        if (!GetXmlAttribute(key, "Name", name))
            continue;
        CString function, argument, urlEncode, delay;
        GetXmlAttribute(key, "Function", function);
        GetXmlAttribute(key, "Argument", argument);
        GetXmlAttribute(key, "URLEncode", urlEncode);
        GetXmlAttribute(key, "DelayProcess", delay);
        if (!bDelayed && delay == "Yes")
            continue;
        CString value = ApplySearchKeyFunction(function, FillPlaceholders(ToAnsi(key->Gettext())), argument);
        if (urlEncode == "Yes")
            value = m_UrlEncoder.URLEncode(value);
        m_Parameters.SetAt(name, value);
        if (name == "MAINDOCUMENT")
            m_strPage = value;
    }
}
