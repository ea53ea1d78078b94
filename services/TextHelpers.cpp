#include "TextHelpers.h"

CString EscapeXml(CString text)
{
    text.Replace("&", "&amp;");
    text.Replace("<", "&lt;");
    text.Replace(">", "&gt;");
    text.Replace("\"", "&quot;");
    return text;
}

CString UnescapeXml(CString text)
{
    text.Replace("&amp;", "&");
    text.Replace("&lt;", "<");
    text.Replace("&gt;", ">");
    text.Replace("&quot;", "\"");
    return text;
}

CString StripSlashes(CString text)
{
    text.Remove('/');
    text.Remove('\\');
    return text;
}
