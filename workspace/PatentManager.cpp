#include "PatentManager.h"

#include "DataExchange.h"
#include "ProjectMessages.h"
#include "XmlHelpers.h"
#include "resource.h"

IMPLEMENT_DYNAMIC(CPatentManager, CDialog)

BEGIN_MESSAGE_MAP(CPatentManager, CDialog)
    ON_WM_SIZE()
    ON_MESSAGE(UM_SHOW_FOLDER, &CPatentManager::OnShowFolder)
END_MESSAGE_MAP()

CPatentManager::CPatentManager(CWnd* pParent) : CDialog(IDD_PATENT_MANAGER, pParent)
{
}

CPatentManager::~CPatentManager() = default;

void CPatentManager::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DOCUMENT_LIST, m_listDocuments);
}

BOOL CPatentManager::OnInitDialog()
{
    CDialog::OnInitDialog();
    GetClientRect(&m_rcClient);
    m_bInitialized = 1;
    return TRUE;
}

void CPatentManager::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    GetClientRect(&m_rcClient);
    if (m_bInitialized)
        m_listDocuments.MoveWindow(&m_rcClient, TRUE);
}

LRESULT CPatentManager::OnShowFolder(WPARAM /*wParam*/, LPARAM lParam)
{
    const CString* pUid = reinterpret_cast<const CString*>(lParam);
    RefreshView(pUid ? *pUid : CString());
    return 1;
}

bool CPatentManager::SetProjectDocument(IXMLDOMDocument2Ptr pDocument)
{
    m_spProjectDoc = pDocument;
    BuildNameMap();
    return m_spProjectDoc != nullptr;
}

void CPatentManager::BuildNameMap()
{
    if (!m_pNameToUID || !m_spProjectDoc)
        return;
    IXMLDOMNodeListPtr documents = m_spProjectDoc->selectNodes(L"/Project/Documents/Document");
    for (long i = 0; i < documents->Getlength(); ++i) {
        IXMLDOMNodePtr document = documents->Getitem(i);
        CString name, uid;
        GetXmlAttribute(document, "Name", name);
        GetXmlAttribute(document, "UID", uid);
        m_pNameToUID->SetAt(name, uid);
    }
}

void CPatentManager::RefreshView(CString strFolderUID)
{
    m_mapRowToUID.RemoveAll();
    m_strFolderUID = strFolderUID;
}
