#include "GroupFrame.h"

#include "Framework.h"

int PaintGroupFrame(CDC* pDC, CWnd& dialog, int nFrameId, const char* title)
{
    CRect client;
    dialog.GetClientRect(&client);
    pDC->FillSolidRect(&client, RGB(236, 233, 216));
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    CPen pen(PS_SOLID, 1, RGB(196, 185, 128));
    CPen* pOldPen = pDC->SelectObject(&pen);
    CFont font;
    font.CreateFont(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, FF_SWISS, "Verdana");
    CFont* pOldFont = pDC->SelectObject(&font);

    CWnd* pFrame = dialog.GetDlgItem(nFrameId);
    if (pFrame) {
        CRect r;
        pFrame->GetWindowRect(&r);
        dialog.ScreenToClient(&r);
        // The gap is as wide as the painted title.
        const int gap = pDC->GetTextExtent(title, static_cast<int>(strlen(title))).cx;
        pDC->MoveTo(r.left, r.top + 5);
        pDC->LineTo(r.left + 15, r.top + 5);
        pDC->TextOut(r.left + 20, r.top, title, static_cast<int>(strlen(title)));
        pDC->MoveTo(r.left + 25 + gap, r.top + 5);
        pDC->LineTo(r.right, r.top + 5);
        pDC->LineTo(r.right, r.bottom);
        pDC->LineTo(r.left, r.bottom);
        pDC->LineTo(r.left, r.top + 5);
    }
    pDC->SelectObject(pOldFont);
    pDC->SelectObject(pOldPen);
    pDC->SetBkMode(oldMode);
    return TRUE;
}
