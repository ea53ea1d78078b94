#include "DataFileSaves.h"

#include "DataFiles.h"
#include "ProgressLog.h"

#include <mutex>

const char kNotSavedCaption[] = "Not Saved";

namespace {

// The files whose last save failed; each was told once, at its first failure.
std::mutex g_lock;
std::vector<UnsavedDataFile> g_unsaved;
DataFileNoticeHandler g_pfnNotice = nullptr;

std::vector<UnsavedDataFile>::iterator FindUnsaved(const CString& path)
{
    for (auto it = g_unsaved.begin(); it != g_unsaved.end(); ++it)
        if (it->path.CompareNoCase(path) == 0)
            return it;
    return g_unsaved.end();
}

// Marks the file unsaved; true when it was not so far (the failure is then told).
bool MarkUnsaved(const CString& path, const char* contents)
{
    std::lock_guard<std::mutex> hold(g_lock);
    if (FindUnsaved(path) != g_unsaved.end())
        return false;
    g_unsaved.push_back({path, contents});
    return true;
}

} // namespace

CString DataFileNotSavedText(const CString& path, const char* contents, DWORD error)
{
    return DataFileNotSavedHeading(path, contents) + "\n" + SystemErrorText(error) +
           "\n\nZentrova keeps what was not saved and writes it with the next save that succeeds; until then "
           "the file keeps what it held before.";
}

CString DataFileNotSavedHeading(const CString& path, const char* contents)
{
    return CString("The ") + contents + " could not be saved to\n" + path;
}

bool SaveDataFile(const CString& path, const CString& bytes, const char* contents)
{
    DWORD error = ERROR_SUCCESS;
    if (WriteDataFile(path, bytes, &error)) {
        DataFileSaved(path);
        return true;
    }
    DataFileNotSaved(path, contents, error);
    return false;
}

void DataFileSaved(const CString& path)
{
    bool bWasUnsaved = false;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        auto it = FindUnsaved(path);
        if (it != g_unsaved.end()) {
            g_unsaved.erase(it);
            bWasUnsaved = true;
        }
    }
    if (bWasUnsaved)
        CProgressLog().Write("Data files-" + path + " is saved again");
}

bool DataFileNotSaved(const CString& path, const char* contents, DWORD error)
{
    return DataFileNotSavedWithText(path, contents, DataFileNotSavedText(path, contents, error));
}

bool DataFileNotSavedWithText(const CString& path, const char* contents, const CString& text)
{
    if (!MarkUnsaved(path, contents)) {
        CProgressLog().Write("Data files-" + path + " could not be saved again; the user was told before");
        return false;
    }
    TellDataFileNotice(path, kNotSavedCaption, text);
    return true;
}

std::vector<UnsavedDataFile> UnsavedDataFiles()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_unsaved;
}

bool IsDataFileUnsaved(const CString& path)
{
    std::lock_guard<std::mutex> hold(g_lock);
    return FindUnsaved(path) != g_unsaved.end();
}

DataFileNoticeHandler SetDataFileNoticeHandler(DataFileNoticeHandler handler)
{
    std::lock_guard<std::mutex> hold(g_lock);
    const DataFileNoticeHandler previous = g_pfnNotice;
    g_pfnNotice = handler;
    return previous;
}

void TellDataFileNotice(const CString& path, const CString& caption, const CString& text)
{
    CString line = text;
    line.Replace("\n", " ");
    CProgressLog().Write("Data files-" + caption + ": " + line);
    DataFileNoticeHandler handler;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        handler = g_pfnNotice;
    }
    if (handler)
        handler(path, caption, text);
}

void ForgetDataFileSaves()
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_unsaved.clear();
}
