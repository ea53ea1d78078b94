#include "MapiSession.h"

#include "File.h"
#include "FileException.h"
#include "WinApp.h"
#include "Wnd.h"

#include <vector>

namespace {

template <class F>
void LookUp(HMODULE hModule, const char* pszName, F& pfn)
{
    pfn = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(hModule, pszName)));
}

char* Text(CString& s)
{
    return s.GetBuffer();
}

} // namespace

CMapiSession::CMapiSession()
{
    Initialise();
}

CMapiSession::~CMapiSession()
{
    Logoff();
    Deinitialise();
}

HMODULE CMapiSession::LoadFromSystemFolder(const char* pszFileName)
{
    char path[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    CString full = path;
    full += "\\";
    full += pszFileName;
    if (full.GetLength() >= MAX_PATH)
        return nullptr;
    return ::LoadLibraryA(full);
}

void CMapiSession::Initialise()
{
    m_hMapi = LoadFromSystemFolder("MAPI32.DLL");
    if (!m_hMapi)
        return;
    LookUp(m_hMapi, "MAPILogon", m_lpfnMAPILogon);
    LookUp(m_hMapi, "MAPILogoff", m_lpfnMAPILogoff);
    LookUp(m_hMapi, "MAPISendMail", m_lpfnMAPISendMail);
    LookUp(m_hMapi, "MAPIResolveName", m_lpfnMAPIResolveName);
    LookUp(m_hMapi, "MAPIFreeBuffer", m_lpfnMAPIFreeBuffer);
    LookUp(m_hMapi, "MAPIReadMail", m_lpfnMAPIReadMail);
    LookUp(m_hMapi, "MAPIFindNext", m_lpfnMAPIFindNext);
    LookUp(m_hMapi, "MAPIDeleteMail", m_lpfnMAPIDeleteMail);
    if (!m_lpfnMAPILogon || !m_lpfnMAPILogoff || !m_lpfnMAPISendMail || !m_lpfnMAPIResolveName ||
        !m_lpfnMAPIFreeBuffer || !m_lpfnMAPIReadMail || !m_lpfnMAPIFindNext || !m_lpfnMAPIDeleteMail)
        Deinitialise();
}

void CMapiSession::Deinitialise()
{
    if (!m_hMapi)
        return;
    ::FreeLibrary(m_hMapi);
    m_hMapi = nullptr;
    m_lpfnMAPILogon = nullptr;
    m_lpfnMAPILogoff = nullptr;
    m_lpfnMAPISendMail = nullptr;
    m_lpfnMAPIResolveName = nullptr;
    m_lpfnMAPIFreeBuffer = nullptr;
    m_lpfnMAPIReadMail = nullptr;
    m_lpfnMAPIFindNext = nullptr;
    m_lpfnMAPIDeleteMail = nullptr;
}

bool CMapiSession::RequireLibrary()
{
    if (m_hMapi)
        return true;
    m_nLastError = MAPI_E_FAILURE;
    return false;
}

HWND CMapiSession::DialogWindow(CWnd* pParentWnd)
{
    if (pParentWnd)
        return pParentWnd->m_hWnd;
    CWnd* pMain = AfxGetMainWnd();
    return pMain ? pMain->m_hWnd : nullptr;
}

bool CMapiSession::Logon(const CString& sProfileName, const CString& sPassword, CWnd* pParentWnd,
                         bool bForceDownload)
{
    Logoff();
    if (!RequireLibrary())
        return false;

    HWND hWnd = nullptr;
    FLAGS flags = 0;
    if (sProfileName.IsEmpty()) {
        hWnd = DialogWindow(pParentWnd);
        if (hWnd)
            flags |= MAPI_LOGON_UI;
    }
    if (bForceDownload)
        flags |= MAPI_FORCE_DOWNLOAD;

    CString profile = sProfileName;
    CString password = sPassword;
    const bool bProfile = !sProfileName.IsEmpty();
    ULONG result = m_lpfnMAPILogon(reinterpret_cast<ULONG_PTR>(hWnd), bProfile ? Text(profile) : nullptr,
                                   bProfile ? Text(password) : nullptr, flags | MAPI_NEW_SESSION, 0,
                                   &m_hSession);
    if (result == SUCCESS_SUCCESS) {
        m_nLastError = SUCCESS_SUCCESS;
        return true;
    }
    if (result == MAPI_USER_ABORT)
        return false;
    // Join the session another program holds, without asking.
    m_hSession = 0;
    result = m_lpfnMAPILogon(reinterpret_cast<ULONG_PTR>(hWnd), nullptr, nullptr,
                             bForceDownload ? MAPI_FORCE_DOWNLOAD : 0, 0, &m_hSession);
    m_nLastError = result;
    if (result != SUCCESS_SUCCESS)
        m_hSession = 0;
    return result == SUCCESS_SUCCESS;
}

bool CMapiSession::Logoff()
{
    if (!m_hSession)
        return false;
    const ULONG result = m_lpfnMAPILogoff(m_hSession, 0, 0, 0);
    m_nLastError = result;
    m_hSession = 0;
    return result == SUCCESS_SUCCESS;
}

bool CMapiSession::Resolve(const CString& sName, lpMapiRecipDesc* lppRecip)
{
    if (!RequireLibrary())
        return false;
    CString name = sName;
    const ULONG result = m_lpfnMAPIResolveName(m_hSession, 0, Text(name), 0, 0, lppRecip);
    if (result != SUCCESS_SUCCESS) {
        m_nLastError = result;
        return false;
    }
    return true;
}

ULONG CMapiSession::FreeBuffer(LPVOID pv)
{
    if (!RequireLibrary())
        return MAPI_E_FAILURE;
    return m_lpfnMAPIFreeBuffer(pv);
}

bool CMapiSession::GetTempAttachmentName(CString& sName)
{
    char folder[MAX_PATH] = {};
    const DWORD length = ::GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH)
        return false;
    char name[MAX_PATH] = {};
    if (!::GetTempFileNameA(folder, "cma", 0, name))
        return false;
    sName = name;
    return true;
}

bool CMapiSession::Send(CMapiMessage& message, bool bResolve, bool bShowDialog, CWnd* pParentWnd, bool bBodyAsFile)
{
    if (!RequireLibrary())
        return false;

    CString sTempName;
    if (bBodyAsFile) {
        if (!GetTempAttachmentName(sTempName)) {
            m_nLastError = MAPI_E_FAILURE;
            return false;
        }
        CFile file;
        bool bWritten = file.Open(sTempName, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite);
        if (bWritten) {
            try {
                file.Write(message.m_sBody.GetString(), static_cast<UINT>(message.m_sBody.GetLength()));
                file.Close();
            } catch (CFileException* e) {
                e->Delete();
                bWritten = false;
            }
        }
        if (!bWritten) {
            file.Abort();
            ::DeleteFileA(sTempName);
            m_nLastError = MAPI_E_ATTACHMENT_WRITE_FAILURE;
            return false;
        }
    }

    CString subject = message.m_sSubject;
    CString body = message.m_sBody;
    MapiMessage record{};
    record.lpszSubject = Text(subject);
    record.lpszNoteText = bBodyAsFile ? nullptr : Text(body);
    record.nRecipCount = static_cast<ULONG>(message.m_To.GetSize() + message.m_CC.GetSize() + message.m_BCC.GetSize());
    record.flFlags = message.m_Flags;

    FillRecipients(record, message, bResolve);
    FillAttachments(record, message, bBodyAsFile, sTempName);

    FLAGS flags = 0;
    if (!m_hSession)
        flags |= MAPI_LOGON_UI;
    HWND hWnd = nullptr;
    if (bShowDialog) {
        flags |= MAPI_DIALOG;
        hWnd = DialogWindow(pParentWnd);
    }
    const ULONG result = m_lpfnMAPISendMail(m_hSession, reinterpret_cast<ULONG_PTR>(hWnd), &record, flags, 0);
    m_nLastError = result;

    CleanupRecipients(message);
    CleanupAttachments(message);
    if (bBodyAsFile) {
        ::DeleteFileA(sTempName);
        // The temporary body file is gone: the message no longer names it.
        if (message.m_Attachments.GetSize() > 0 && message.m_Attachments[0] == sTempName) {
            message.m_Attachments.RemoveAt(0);
            message.m_AttachmentTitles.RemoveAt(0);
        }
    }
    delete[] record.lpRecips;
    delete[] record.lpFiles;
    return result == SUCCESS_SUCCESS;
}

void CMapiSession::FillRecipients(MapiMessage& record, CMapiMessage& message, bool bResolve)
{
    if (record.nRecipCount == 0)
        return;
    record.lpRecips = new MapiRecipDesc[record.nRecipCount];
    struct Class
    {
        CMapiRecipientArray* pArray;
        ULONG ulClass;
    };
    const Class classes[] = {{&message.m_To, MAPI_TO}, {&message.m_CC, MAPI_CC}, {&message.m_BCC, MAPI_BCC}};
    ULONG index = 0;
    for (const Class& c : classes) {
        for (INT_PTR i = 0; i < c.pArray->GetSize(); ++i, ++index) {
            CMapiRecipient& recipient = c.pArray->ElementAt(i);
            MapiRecipDesc& entry = record.lpRecips[index];
            entry = MapiRecipDesc{};
            entry.ulRecipClass = c.ulClass;
            lpMapiRecipDesc pResolved = nullptr;
            if (bResolve && Resolve(recipient.m_sFriendlyName, &pResolved) && pResolved) {
                recipient.m_sEmailAddress = pResolved->lpszAddress ? pResolved->lpszAddress : "";
                recipient.m_sFriendlyName = pResolved->lpszName ? pResolved->lpszName : "";
                FreeBuffer(pResolved);
            }
            recipient.m_sWorkAddress = recipient.m_sEmailAddress;
            recipient.m_sWorkName = recipient.m_sFriendlyName;
            entry.lpszName = Text(recipient.m_sWorkName);
            entry.lpszAddress = Text(recipient.m_sWorkAddress);
        }
    }
}

void CMapiSession::CleanupRecipients(CMapiMessage& message)
{
    for (CMapiRecipientArray* pArray : {&message.m_To, &message.m_CC, &message.m_BCC}) {
        for (INT_PTR i = 0; i < pArray->GetSize(); ++i) {
            pArray->ElementAt(i).m_sWorkAddress.Empty();
            pArray->ElementAt(i).m_sWorkName.Empty();
        }
    }
}

void CMapiSession::FillAttachments(MapiMessage& record, CMapiMessage& message, bool bBodyAsFile,
                                   const CString& sTempName)
{
    INT_PTR n = message.m_Attachments.GetSize();
    if (n != 0 && message.m_AttachmentTitles.GetSize() != n)
        message.m_AttachmentTitles.SetSize(n);
    if (bBodyAsFile) {
        // The titles cover every path from here on, so the two arrays stay parallel.
        message.m_AttachmentTitles.SetSize(n);
        message.m_Attachments.InsertAt(0, sTempName);
        message.m_AttachmentTitles.InsertAt(0, CString("default.htm"));
        ++n;
    }
    if (n == 0)
        return;
    record.nFileCount = static_cast<ULONG>(n);
    record.lpFiles = new MapiFileDesc[n];
    // The copies are sized once: the records point into them.
    message.m_AttachmentCopies.SetSize(n);
    message.m_TitleCopies.SetSize(n);
    for (INT_PTR i = 0; i < n; ++i)
        FillAttachment(record, message, i);
}

void CMapiSession::FillAttachment(MapiMessage& record, CMapiMessage& message, INT_PTR nIndex)
{
    MapiFileDesc& entry = record.lpFiles[nIndex];
    entry = MapiFileDesc{};
    entry.nPosition = static_cast<ULONG>(-1);
    message.m_AttachmentCopies[nIndex] = message.m_Attachments[nIndex];
    message.m_TitleCopies[nIndex] = message.m_AttachmentTitles[nIndex];
    entry.lpszPathName = Text(message.m_AttachmentCopies[nIndex]);
    entry.lpszFileName = message.m_TitleCopies[nIndex].IsEmpty() ? nullptr : Text(message.m_TitleCopies[nIndex]);
}

void CMapiSession::CleanupAttachments(CMapiMessage& message)
{
    message.m_AttachmentCopies.RemoveAll();
    message.m_TitleCopies.RemoveAll();
}
