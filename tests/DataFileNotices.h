// The notices about data files (DataFileSaves) that the code under test gives the user,
// recorded instead of shown, for the tests of every data file's writer. While an object
// lives it is the notice handler, and every file's saves start afresh.
#pragma once

#include "DataFileSaves.h"

#include <string>
#include <vector>

namespace testsupport {

class DataFileNotices
{
public:
    struct Notice
    {
        CString path;
        CString caption;
        CString text;
    };

    DataFileNotices()
    {
        ForgetDataFileSaves();
        Recorded().clear();
        m_previous = SetDataFileNoticeHandler(&Record);
    }
    ~DataFileNotices()
    {
        SetDataFileNoticeHandler(m_previous);
        ForgetDataFileSaves();
    }
    DataFileNotices(const DataFileNotices&) = delete;
    DataFileNotices& operator=(const DataFileNotices&) = delete;

    const std::vector<Notice>& All() const { return Recorded(); }
    size_t Count() const { return Recorded().size(); }
    // The texts, each after its caption and a bar, for a readable failure.
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const Notice& n : Recorded())
            texts.push_back(std::string(n.caption.GetString()) + "|" + n.text.GetString());
        return texts;
    }

private:
    static std::vector<Notice>& Recorded()
    {
        static std::vector<Notice> notices;
        return notices;
    }
    static void Record(const CString& path, const CString& caption, const CString& text)
    {
        Recorded().push_back({path, caption, text});
    }

    DataFileNoticeHandler m_previous = nullptr;
};

} // namespace testsupport
