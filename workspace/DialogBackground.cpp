#include "DialogBackground.h"

#include "Look.h"
#include "MyPropertyPage.h"

#include <cstring>

namespace {

const COLORREF kGround = RGB(220, 215, 185);
const COLORREF kPanel = RGB(236, 233, 216);
const COLORREF kPanelLight = RGB(255, 255, 255);
const COLORREF kFrame = RGB(196, 185, 128);

} // namespace

BOOL PaintDialogBackground(CDC* pDC, CWnd& dialog, const CRect& rcClient, const PanelInsets& insets)
{
    pDC->FillSolidRect(&rcClient, kGround);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    CFont font;
    look::CreateLookFont(font);
    CPen pen(PS_SOLID, 1, kFrame);
    CFont* pOldFont = pDC->SelectObject(&font);
    CPen* pOldPen = pDC->SelectObject(&pen);

    const CRect panel(insets.left, insets.top, rcClient.Width() - insets.right, rcClient.Height() - insets.bottom);
    pDC->FillSolidRect(&panel, kPanel);
    pDC->Draw3dRect(&panel, kPanelLight, kFrame);

    for (HWND hChild = ::GetWindow(dialog.m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        char className[21] = {};
        ::GetClassNameA(hChild, className, sizeof className);
        if (std::strcmp(className, "Static") == 0 || std::strcmp(className, "Edit") == 0)
            continue;
        if (GetButtonKind(hChild, 0) != BS_GROUPBOX)
            continue;
        CRect rect;
        ::GetWindowRect(hChild, &rect);
        dialog.ScreenToClient(&rect);
        char text[256] = {};
        ::GetWindowTextA(hChild, text, sizeof text);
        DrawGroupFrame(*pDC, rect, text);
    }

    pDC->SelectObject(pOldPen);
    pDC->SelectObject(pOldFont);
    pDC->SetBkMode(oldMode);
    return TRUE;
}

void PlaceBitmapButton(CHoverButton& button, UINT nBitmap, int nWidth)
{
    CRect rect;
    button.GetWindowRect(&rect);
    if (CWnd* pParent = button.GetParent())
        pParent->ScreenToClient(&rect);
    button.LoadBitmap(nBitmap);
    button.MoveWindow(rect.left, rect.top, nWidth, 23, TRUE);
}
