#include "ProgramOptions.h"

#include "DataFileSaves.h"
#include "DataFiles.h"
#include "ProgressLog.h"
#include "WinApp.h"
#include "Wnd.h"
#include "XmlHelpers.h"

#include <cstdio>

namespace {

const UINT IDS_OPTIONS_FILE = 129;

bool FolderExists(const CString& path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Keys that options files written by earlier versions lack. Load gives such a file an empty
// option for each, so that the Preferences dialog can store the user's value; every other
// key the file lacks stays unknown.
const char* const kKeysAddedLater[] = {"OpsConsumerKey", "OpsConsumerSecret"};

CString TrimmedBoth(CString text)
{
    text.TrimRight();
    text.TrimLeft();
    return text;
}

} // namespace

CString CProgramOptions::FileName()
{
    char name[MAX_PATH] = {};
    if (LoadStringA(GetModuleHandleA(nullptr), IDS_OPTIONS_FILE, name, MAX_PATH) > 0)
        return name;
    return "config2.cfg";
}

CProgramOptions::CProgramOptions()
{
    if (FAILED(m_pDoc.CreateInstance(__uuidof(DOMDocument40), nullptr, CLSCTX_ALL)))
        return;
    Load();
    CString savePath = GetOptionValue("SavePath");
    if (savePath.IsEmpty()) {
        savePath = "C:\\Patent Downloads\\";
        SetOptionValue("SavePath", savePath);
    }
    if (!FolderExists(savePath))
        CreateDirectoryA(savePath, nullptr);
}

CProgramOptions::~CProgramOptions() = default;

void CProgramOptions::Load()
{
    CString text;
    m_Crypt.ReadEncryptedFile(ResolveDataFilePath(FileName()), text);
    m_pDoc->loadXML(_bstr_t(text));
    m_pDoc->PutpreserveWhiteSpace(VARIANT_TRUE);
    m_pDoc->Putasync(VARIANT_FALSE);
    AddMissingLaterKeys();
    if (GetBoolOption("SetDefaults")) {
        SetDefaults();
        SetOptionValue("SetDefaults", "0");
        Save();
    }
}

void CProgramOptions::Save()
{
    IXMLDOMElementPtr root = m_pDoc->GetdocumentElement();
    if (!root || ToAnsi(root->GettagName()) != "Config") {
        CProgressLog().Write("CProgramOptions::Save-No options are loaded; " + FileName() +
                             " left as it is");
        return;
    }
    const CString path = GetAppDirectory() + "\\" + FileName();
    CString cipher;
    if (!m_Crypt.EncryptString(ToAnsi(m_pDoc->Getxml()), cipher) || !SaveDataFile(path, cipher, "options"))
        CProgressLog().Write("CProgramOptions::Save-Could not write " + FileName() +
                             "; the previous file is kept");
}

void CProgramOptions::AddMissingLaterKeys()
{
    IXMLDOMNodePtr options = m_pDoc->selectSingleNode(_bstr_t("/Config/ProgramOptions"));
    if (!options)
        return;
    for (const char* key : kKeysAddedLater) {
        if (FindOption(key))
            continue;
        IXMLDOMElementPtr option = m_pDoc->createElement(_bstr_t("Option"));
        SetXmlAttribute(option, "Name", key);
        options->appendChild(option);
    }
}

IXMLDOMNodePtr CProgramOptions::FindOption(const CString& key)
{
    CString query;
    query.Format("/Config/ProgramOptions/Option[@Name='%s']", key.GetString());
    return m_pDoc->selectSingleNode(_bstr_t(query));
}

CString CProgramOptions::GetOptionValue(CString key)
{
    IXMLDOMNodePtr option = FindOption(key);
    return option ? ToAnsi(option->Gettext()) : CString();
}

bool CProgramOptions::GetBoolOption(CString key)
{
    return TrimmedBoth(GetOptionValue(key)) == "1";
}

int CProgramOptions::GetIntOption(CString key)
{
    int value = 0;
    std::sscanf(GetOptionValue(key), "%d", &value);
    return value;
}

int CProgramOptions::SetOptionValue(CString key, CString value)
{
    IXMLDOMNodePtr option = FindOption(key);
    if (!option)
        return 0;
    option->Puttext(_bstr_t(value));
    return 1;
}

int CProgramOptions::GetRectOption(CString key, RECT& rect)
{
    CString value = GetOptionValue(key);
    if (value.IsEmpty())
        return 0;
    int l, t, r, b;
    if (std::sscanf(value, "%d,%d,%d,%d", &l, &t, &r, &b) != 4)
        return 0;
    rect.left = l;
    rect.top = t;
    rect.right = r;
    rect.bottom = b;
    return 1;
}

void CProgramOptions::SetRectOption(CString key, const RECT& rect)
{
    CString value;
    value.Format("%d,%d,%d,%d", static_cast<int>(rect.left), static_cast<int>(rect.top),
                 static_cast<int>(rect.right), static_cast<int>(rect.bottom));
    SetOptionValue(key, value);
}

void CProgramOptions::SetDefaults()
{
    SetOptionValue("SavePath", "c:\\Patent Downloads\\");
    if (!FolderExists("C:\\Patent Downloads\\") && !CreateDirectoryA("C:\\Patent Downloads\\", nullptr)) {
        CWnd* main = AfxGetMainWnd();
        MessageBoxA(main ? main->GetSafeHwnd() : nullptr,
                    "The Path C:\\Patent Downloads could not be created. Please create this directory manually.",
                    "Error Creating Directory", MB_OK);
    }
    const CString folder = GetAppDirectory();
    SetOptionValue("SoundAfterErrorPath", folder + "\\Error.wav");
    SetOptionValue("SoundAfterDownloadPath", folder + "\\SingleDownload.wav");
    SetOptionValue("SoundAfterAllDownloadsPath", folder + "\\AllDone.wav");
    SetOptionValue("Showsearchsessiondialog", "1");
}
