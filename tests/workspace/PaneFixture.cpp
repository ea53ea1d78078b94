#include "PaneFixture.h"

namespace workspacetest {

BEGIN_MESSAGE_MAP(CPaneSpy, CProjectManagerContainer)
    ON_MESSAGE(UM_DELETE_FOLDER, &CPaneSpy::OnDeleteFolderSpy)
END_MESSAGE_MAP()

LRESULT CPaneSpy::OnDeleteFolderSpy(WPARAM wParam, LPARAM lParam)
{
    deleteRequests.push_back(*reinterpret_cast<const CString*>(wParam));
    return OnDeleteFolder(wParam, lParam);
}

void CPaneSpy::ShowNotificationBalloon(const char* title, const CString& text, const char* icon,
                                       const CString& strLink)
{
    const char* iconName = icon == IDI_APPLICATION ? "application" : icon == IDI_QUESTION ? "question" : "other";
    balloons.push_back(std::string(title) + "|" + text.GetString() + "|" + iconName + "|" + strLink.GetString());
}

} // namespace workspacetest
