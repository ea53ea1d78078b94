// CSplash: the splash window shown at start-up (dialog 245): the picture 244 at 500 x 244
// pixels, which closes itself after three seconds.
#pragma once

#include "Framework.h"

class CSplash : public CDialog
{
public:
    explicit CSplash(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnTimer(UINT_PTR nIDEvent);

private:
    CBitmap m_Bitmap;
    CStatic m_Picture;

    DECLARE_MESSAGE_MAP()
};
