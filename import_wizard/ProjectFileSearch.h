// CProjectFileSearch: the walk of the local drives for the project file "Project.cfg" that
// the older version keeps in its folder "Zentrova2". Removable, fixed and RAM drives are
// searched, a to z; in each, every top-level folder depth first, and each top-level folder
// gives at most one hit: the first "Zentrova2" folder below it (names compared exactly,
// letter case included) that holds a "Project.cfg". Folders that are links to elsewhere are
// not entered, so that a link cycle or a link to a large tree cannot make the walk endless.
//
// The walk reports what it searches and what it finds to the derived class; it may run on
// a thread of its own and be stopped from another.
#pragma once

#include "StringArray.h"

#include <atomic>

class CProjectFileSearch
{
public:
    CProjectFileSearch() = default;
    virtual ~CProjectFileSearch() = default;
    CProjectFileSearch(const CProjectFileSearch&) = delete;
    CProjectFileSearch& operator=(const CProjectFileSearch&) = delete;

    // Every drive of the computer of a searched type.
    void ScanDrives();
    // One drive: its root with the trailing backslash ("c:\").
    void ScanDrive(const CString& root);
    // Searches below the path (a folder, or a folder + "\*.*"); TRUE when a project file
    // was found there, which ends the search below that path.
    BOOL SearchFolder(const CString& path);
    // TRUE when the folder holds a file named exactly "Project.cfg": its path is reported.
    BOOL CheckForProjectFile(const CString& folder);

    // Asks a running walk to end soon; it then reports nothing more.
    void StopSearch() { m_bStop = true; }
    bool IsStopped() const { return m_bStop; }

    // Removable, fixed and RAM drives are searched; CD drives and network drives are not.
    static bool IsSearchedDriveType(UINT nDriveType);

    // The project files found on the drive being searched, in the order found.
    CStringArray m_arrFoundPaths;

protected:
    // The folder or pattern now being searched.
    virtual void OnSearchText(const CString& text) = 0;
    // A project file was found.
    virtual void OnProjectFileFound(const CString& path) = 0;

private:
    std::atomic<bool> m_bStop{false};
};
