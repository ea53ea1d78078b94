#include "SafeNames.h"

namespace {

bool IsLetterOrDigit(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool IsDeviceName(CString name)
{
    int dot = name.Find('.');
    if (dot >= 0)
        name = name.Left(dot);
    name.TrimRight(' ');
    name.MakeUpper();
    if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL")
        return true;
    return name.GetLength() == 4 && (name.Left(3) == "COM" || name.Left(3) == "LPT") &&
           name[3] >= '1' && name[3] <= '9';
}

} // namespace

CString MakeSafeFileName(CString name)
{
    static const char kForbidden[] = "\\/:*?\"<>|";
    CString safe;
    for (int i = 0; i < name.GetLength(); ++i) {
        const char c = name[i];
        if (static_cast<unsigned char>(c) < 32 || c == 127 || CString(kForbidden).Find(c) >= 0)
            continue;
        safe += c;
    }
    safe.TrimRight(". ");
    if (safe.IsEmpty() || IsDeviceName(safe))
        return CString();
    return safe;
}

CString KeepLettersAndDigits(const CString& text)
{
    CString kept;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (IsLetterOrDigit(text[i]))
            kept += text[i];
    }
    return kept;
}
