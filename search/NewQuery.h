// CNewQuery: the "Search Query" dialog (template 283) that asks for the title under which a
// query page saves its fields. A title of blanks only is refused. The dialog paints its own
// ground and a framed group around the title with a caption in the frame's top edge, the
// look that the session dialogs repeat.
#pragma once

#include "Dialog.h"
#include "HoverButton.h"
#include "MyStatic.h"

class CNewQuery : public CDialog
{
public:
    explicit CNewQuery(CWnd* pParent = nullptr);

    // After OK: the title XML-escaped (& < > " as entities) and trimmed, as the edit shows it
    // then; and the same title as typed (trimmed, not escaped), which the saved-query lists
    // keep, escaping it when they write their file.
    CString m_strTitle;
    CString m_strPlainTitle;

    static const char kCaption[];      // "Please enter a title for your search query"
    static const char kExplanation[];  // the text above the frame

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnBnClickedOk();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    CHoverButton m_buttonOK;
    CHoverButton m_buttonCancel;
    CMyStatic m_labelExplanation;
    CMyStatic m_labelTitle;
    CMyStatic m_labelFrame;
};
