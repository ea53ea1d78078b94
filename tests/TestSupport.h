// Helpers shared by the test programs: test data, temporary folders and whole-file I/O.
#pragma once

#include "Exception.h"
#include "String.h"

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// A committed fixture under tests/data.
CString DataPath(const char* relative);

// A fresh folder under the temporary folder, removed with everything in it on destruction.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const CString& Path() const { return m_path; }
    CString File(const char* name) const { return m_path + "\\" + name; }

private:
    CString m_path;
};

// Checks pred() every stepMs milliseconds (without handling messages) until it holds or ms
// have passed; answers pred(). For state that another program or thread changes.
bool WaitUntil(const std::function<bool()>& pred, unsigned long ms, unsigned long stepMs = 50);

bool WriteBytes(const CString& path, const std::string& bytes);
bool ReadBytes(const CString& path, std::string& bytes);
bool FileExists(const CString& path);

// A file's text grown by its records: the head, the record as often as it takes for the
// text to exceed minSize bytes, the tail (for data files too large to be read).
std::string GrownText(const std::string& head, const std::string& record, const std::string& tail,
                      size_t minSize);

// Runs the call and answers whether it threw a framework exception of the class (by pointer,
// as the framework throws); the exception is deleted.
template <class F>
bool ThrowsKind(const CRuntimeClass* pClass, F&& call)
{
    try {
        call();
    } catch (CException* e) {
        bool kind = e->IsKindOf(pClass);
        e->Delete();
        return kind;
    }
    return false;
}

// A file held open without sharing: nobody can read, write, move or delete it while the
// object lives.
class LockedFile
{
public:
    explicit LockedFile(const CString& path);
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    bool IsHeld() const;

private:
    void* m_h;
};

// The number of files (not folders) directly in the folder.
int FilesIn(const CString& folder);

// The names of the files (not folders) directly in the folder, lower case, sorted.
std::vector<CString> FileNamesIn(const CString& folder);

} // namespace testsupport
