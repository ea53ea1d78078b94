// Mail through Simple MAPI: CMapiSession sends a CMapiMessage (addressees, subject, body,
// attached files) through the system's MAPI32.DLL, which it loads at run time from the
// Windows system folder. Without that library, or with one that lacks any of its eight
// entry points, every operation answers failure with MAPI_E_FAILURE instead of calling it.
// The document list mails documents with it, the saved-reports page mails report files.
#pragma once

#include "Array.h"
#include "String.h"
#include "StringArray.h"

#include <windows.h>

#include <mapi.h>

class CWnd;

// One addressee: the e-mail address and the name shown for it.
class CMapiRecipient
{
public:
    CString m_sEmailAddress;
    CString m_sFriendlyName;

    // Working copies the MAPI records point into while a send is under way.
    CString m_sWorkAddress;
    CString m_sWorkName;
};

typedef CArray<CMapiRecipient, const CMapiRecipient&> CMapiRecipientArray;

// One mail to send. The attachment titles are the names under which the files appear; the
// array may be shorter than the paths (the rest get no name of their own).
class CMapiMessage
{
public:
    CMapiMessage() = default;

    CMapiRecipientArray m_To;
    CMapiRecipientArray m_CC;
    CMapiRecipientArray m_BCC;
    CString m_sSubject;
    CString m_sBody;
    CStringArray m_Attachments;
    CStringArray m_AttachmentTitles;
    ULONG m_Flags = 0; // copied into the MAPI message's flags at send time

    // Working copies of the paths and titles while a send is under way.
    CStringArray m_AttachmentCopies;
    CStringArray m_TitleCopies;
};

class CMapiSession
{
public:
    CMapiSession();
    virtual ~CMapiSession();
    CMapiSession(const CMapiSession&) = delete;
    CMapiSession& operator=(const CMapiSession&) = delete;

    // Ends a held session, then logs on. With an empty profile name MAPI may ask the user
    // for a profile, in a window of the parent (or of the main window). A logon refused for
    // another reason than the user's abort joins a shared session instead.
    bool Logon(const CString& sProfileName, const CString& sPassword = CString(), CWnd* pParentWnd = nullptr,
               bool bForceDownload = false);
    bool LoggedOn() const { return m_hSession != 0; }
    // False without a session (the last error is kept).
    bool Logoff();
    // The address book's record for a name; the caller frees it with the library's
    // MAPIFreeBuffer (FreeBuffer).
    bool Resolve(const CString& sName, lpMapiRecipDesc* lppRecip);
    // Sends the message: with bResolve the friendly names are resolved first, with
    // bShowDialog the mail client shows the mail for the user to complete, with
    // bBodyAsFile the body goes as a first attachment "default.htm" instead of the note.
    bool Send(CMapiMessage& message, bool bResolve = false, bool bShowDialog = false, CWnd* pParentWnd = nullptr,
              bool bBodyAsFile = false);
    ULONG FreeBuffer(LPVOID pv);

    // The last MAPI result an operation kept (0: success).
    ULONG GetLastError() const { return m_nLastError; }
    // The library is loaded with all its entry points.
    bool MapiInstalled() const { return m_hMapi != nullptr; }
    HMODULE GetLibrary() const { return m_hMapi; }

protected:
    // A new empty file in the temporary folder, named by the system.
    virtual bool GetTempAttachmentName(CString& sName);
    virtual void FillRecipients(MapiMessage& record, CMapiMessage& message, bool bResolve);
    virtual void CleanupRecipients(CMapiMessage& message);
    virtual void FillAttachment(MapiMessage& record, CMapiMessage& message, INT_PTR nIndex);
    virtual void FillAttachments(MapiMessage& record, CMapiMessage& message, bool bBodyAsFile,
                                 const CString& sTempName);
    virtual void CleanupAttachments(CMapiMessage& message);

    // The file of the Windows system folder, loaded; null when it cannot be.
    static HMODULE LoadFromSystemFolder(const char* pszFileName);
    void Initialise();
    void Deinitialise();
    // Fails with MAPI_E_FAILURE when the library is not there.
    bool RequireLibrary();
    // The window MAPI may show its dialogs in: the parent's, else the main window's.
    static HWND DialogWindow(CWnd* pParentWnd);

    LHANDLE m_hSession = 0;
    ULONG m_nLastError = 0;
    HMODULE m_hMapi = nullptr;
    LPMAPILOGON m_lpfnMAPILogon = nullptr;
    LPMAPILOGOFF m_lpfnMAPILogoff = nullptr;
    LPMAPISENDMAIL m_lpfnMAPISendMail = nullptr;
    LPMAPIRESOLVENAME m_lpfnMAPIResolveName = nullptr;
    LPMAPIFREEBUFFER m_lpfnMAPIFreeBuffer = nullptr;
    LPMAPIREADMAIL m_lpfnMAPIReadMail = nullptr;
    LPMAPIFINDNEXT m_lpfnMAPIFindNext = nullptr;
    LPMAPIDELETEMAIL m_lpfnMAPIDeleteMail = nullptr;
};
