// Maps from Windows handles to the framework objects that wrap them.
//   permanent: objects that own their handle (Attach, Create, SubclassWindow); one map for
//              the process, safe to use from any thread.
//   temporary: wrappers made on demand by FromHandle for handles no object owns; one map
//              per thread, emptied when the thread's message loop is idle. A pointer from
//              FromHandle is therefore valid only while the current message is handled.
#pragma once

#include <mutex>
#include <unordered_map>

template <class HANDLE_T, class OBJECT_T>
class CPermanentHandleMap
{
public:
    void Add(HANDLE_T h, OBJECT_T* p)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_map[h] = p;
    }
    // Removes the entry only when it still belongs to p.
    void Remove(HANDLE_T h, OBJECT_T* p)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = m_map.find(h);
        if (it != m_map.end() && it->second == p)
            m_map.erase(it);
    }
    OBJECT_T* Find(HANDLE_T h)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = m_map.find(h);
        return it == m_map.end() ? nullptr : it->second;
    }

private:
    std::mutex m_lock;
    std::unordered_map<HANDLE_T, OBJECT_T*> m_map;
};

template <class HANDLE_T, class OBJECT_T>
class CTempHandleMap
{
public:
    CTempHandleMap() = default;
    CTempHandleMap(const CTempHandleMap&) = delete;
    CTempHandleMap& operator=(const CTempHandleMap&) = delete;
    ~CTempHandleMap() = default;

    OBJECT_T* Find(HANDLE_T h) const
    {
        auto it = m_map.find(h);
        return it == m_map.end() ? nullptr : it->second;
    }
    void Add(HANDLE_T h, OBJECT_T* p) { m_map[h] = p; }
    bool IsEmpty() const { return m_map.empty(); }

    // Deletes every wrapper after release(wrapper) has let go of its handle, so that the
    // handles themselves stay untouched.
    template <class RELEASE>
    void DeleteAll(RELEASE release)
    {
        std::unordered_map<HANDLE_T, OBJECT_T*> map;
        map.swap(m_map);
        for (auto& entry : map) {
            release(entry.second);
            delete entry.second;
        }
    }

private:
    std::unordered_map<HANDLE_T, OBJECT_T*> m_map;
};
