#include "PaneFixture.h"

#include <cstdio>

namespace workspacetest {

BEGIN_MESSAGE_MAP(CPaneSpy, CProjectManagerContainer)
    ON_MESSAGE(UM_DELETE_FOLDER, &CPaneSpy::OnDeleteFolderSpy)
    ON_MESSAGE(UM_SAVE_PROJECT, &CPaneSpy::OnSaveProjectSpy)
END_MESSAGE_MAP()

LRESULT CPaneSpy::OnSaveProjectSpy(WPARAM wParam, LPARAM lParam)
{
    ++saveRequests;
    return OnSaveProject(wParam, lParam);
}

int CPaneSpy::ShowMessageBox(CWnd* /*pOwner*/, const CString& strText, const char* caption, UINT nType)
{
    char type[16];
    std::snprintf(type, sizeof type, "%x", nType);
    messageBoxes.push_back(std::string(caption) + "|" + strText.GetString() + "|" + type);
    return messageAnswer;
}

LRESULT CPaneSpy::OnDeleteFolderSpy(WPARAM wParam, LPARAM lParam)
{
    deleteRequests.push_back(*reinterpret_cast<const CString*>(wParam));
    return OnDeleteFolder(wParam, lParam);
}

int CPaneSpy::QueueDownload(const CString& number)
{
    CDownloadManager& queue = GetDownloadManager();
    handOvers.push_back(HandOver{number, queue.m_bFirstPageOnly, queue.m_nPageLimit, queue.m_nFileWrapperMode,
                                 queue.m_dwMainWindow});
    // The hand-over clears the second file-wrapper flag afterwards.
    queue.m_bShowWrapperDialog = 1;
    if (realDownloads)
        return queue.AddDownload(number);
    auto it = answers.find(number);
    if (it != answers.end())
        return it->second;
    if (queue.IsDownloading(CDownloadManager::NormalizeDocumentNumber(number)))
        return 1;
    return queue.AddDownload(number);
}

void CPaneSpy::ShowBalloon(const char* title, const CString& text, const char* icon, const CPoint& anchor,
                           unsigned options, const CString& strLink)
{
    const char* iconName = icon == IDI_APPLICATION ? "application"
                           : icon == IDI_QUESTION  ? "question"
                           : icon == IDI_EXCLAMATION ? "exclamation"
                                                     : "other";
    balloons.push_back(std::string(title) + "|" + text.GetString() + "|" + iconName + "|" + strLink.GetString());
    char place[64];
    std::snprintf(place, sizeof place, "%ld,%ld,%x", anchor.x, anchor.y, options);
    balloonPlaces.push_back(place);
}

} // namespace workspacetest
