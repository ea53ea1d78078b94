#include "NewMenuItemData.h"

#include "NewMenuIcons.h"

IMPLEMENT_DYNAMIC(CNewMenuItemData, CObject)

CNewMenuItemData::~CNewMenuItemData()
{
    if (m_pMenuIcon)
        m_pMenuIcon->Release();
}

void CNewMenuItemData::SetIcons(CNewMenuIcons* pIcons, int nOffset)
{
    if (pIcons)
        pIcons->AddRef();
    if (m_pMenuIcon)
        m_pMenuIcon->Release();
    m_pMenuIcon = pIcons;
    m_nMenuIconOffset = pIcons ? nOffset : -1;
}
