// CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>: a hash table from keys to values, and CMapEx<KEY,
// VALUE>, the same map with both arguments passed by const reference.
//
// Iteration order (GetStartPosition / GetNextAssoc): bucket by bucket from bucket 0 up to the
// last one, and inside a bucket from the most recently added key to the oldest. A key's bucket
// is HashKey(key) modulo the hash-table size (17 unless InitHashTable chose another size);
// HashKey is the key shifted right by four bits for integers and pointers, and for text the
// hash h = h * 33 + byte over its bytes, starting from 0. The table never resizes by itself,
// so the same sequence of insertions and removals always gives the same order; replacing the
// value of an existing key does not move it, and removing a key leaves the order of the others.
//
// Removing the entry that GetNextAssoc has just returned is safe during a walk; removing any
// other entry invalidates the position in hand.
#pragma once

#include "Exception.h"
#include "Object.h"
#include "Position.h"
#include "String.h"

#include <windows.h>

#include <vector>

template <class ARG_KEY>
inline UINT HashKey(ARG_KEY key)
{
    return static_cast<UINT>(static_cast<DWORD_PTR>(key) >> 4);
}

inline UINT HashKey(const char* key)
{
    UINT nHash = 0;
    for (; key && *key; ++key)
        nHash = (nHash << 5) + nHash + static_cast<unsigned char>(*key);
    return nHash;
}

inline UINT HashKey(const CString& key)
{
    UINT nHash = 0;
    for (unsigned char ch : key.str())
        nHash = (nHash << 5) + nHash + ch;
    return nHash;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject
{
    struct CAssoc
    {
        CAssoc* pNext;
        UINT nBucket;
        KEY key;
        VALUE value;
    };

public:
    // The block size is accepted for compatibility; entries are allocated one by one.
    explicit CMap(INT_PTR nBlockSize = 10) { (void)nBlockSize; }
    ~CMap() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    UINT GetHashTableSize() const { return m_nHashTableSize; }

    // Sets the number of buckets (a prime such as 17 spreads best). Entries already in the map
    // are redistributed over the new table, in their current iteration order.
    void InitHashTable(UINT hashSize, bool bAllocNow = true)
    {
        if (hashSize == 0)
            AfxThrowInvalidArgException();
        std::vector<CAssoc*> entries;
        for (CAssoc* bucket : m_table) {
            for (CAssoc* a = bucket; a; a = a->pNext)
                entries.push_back(a);
        }
        m_nHashTableSize = hashSize;
        m_table.clear();
        if (bAllocNow || !entries.empty())
            m_table.assign(hashSize, nullptr);
        for (CAssoc* a : entries) {
            a->nBucket = HashKey(a->key) % m_nHashTableSize;
            a->pNext = m_table[a->nBucket];
            m_table[a->nBucket] = a;
        }
    }

    bool Lookup(ARG_KEY key, VALUE& rValue) const
    {
        const CAssoc* a = Find(key);
        if (!a)
            return false;
        rValue = a->value;
        return true;
    }

    // The value of the key, added with a default value when the key is new.
    VALUE& operator[](ARG_KEY key)
    {
        if (CAssoc* a = Find(key))
            return a->value;
        if (m_table.empty())
            m_table.assign(m_nHashTableSize, nullptr);
        UINT bucket = HashKey(key) % m_nHashTableSize;
        CAssoc* a = new CAssoc{m_table[bucket], bucket, KEY(key), VALUE()};
        m_table[bucket] = a;
        ++m_nCount;
        return a->value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }

    // Answers whether the key was there.
    bool RemoveKey(ARG_KEY key)
    {
        if (m_table.empty())
            return false;
        CAssoc** link = &m_table[HashKey(key) % m_nHashTableSize];
        for (; *link; link = &(*link)->pNext) {
            if ((*link)->key == key) {
                CAssoc* gone = *link;
                *link = gone->pNext;
                delete gone;
                --m_nCount;
                return true;
            }
        }
        return false;
    }

    void RemoveAll()
    {
        for (CAssoc*& bucket : m_table) {
            while (bucket) {
                CAssoc* next = bucket->pNext;
                delete bucket;
                bucket = next;
            }
        }
        m_table.clear();
        m_nCount = 0;
    }

    // Null when the map is empty.
    POSITION GetStartPosition() const { return ToPosition(FirstFrom(0)); }

    // Answers the entry at rNextPosition and moves rNextPosition to the following entry
    // (null after the last one).
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
    {
        if (!rNextPosition)
            AfxThrowInvalidArgException();
        const CAssoc* a = reinterpret_cast<const CAssoc*>(rNextPosition);
        rNextPosition = ToPosition(a->pNext ? a->pNext : FirstFrom(a->nBucket + 1));
        rKey = a->key;
        rValue = a->value;
    }

private:
    static POSITION ToPosition(const CAssoc* a)
    {
        return reinterpret_cast<POSITION>(const_cast<CAssoc*>(a));
    }

    CAssoc* Find(ARG_KEY key) const
    {
        if (m_table.empty())
            return nullptr;
        for (CAssoc* a = m_table[HashKey(key) % m_nHashTableSize]; a; a = a->pNext) {
            if (a->key == key)
                return a;
        }
        return nullptr;
    }

    CAssoc* FirstFrom(size_t bucket) const
    {
        for (; bucket < m_table.size(); ++bucket) {
            if (m_table[bucket])
                return m_table[bucket];
        }
        return nullptr;
    }

    std::vector<CAssoc*> m_table;  // empty until the first entry (or InitHashTable)
    UINT m_nHashTableSize = 17;
    INT_PTR m_nCount = 0;
};

template <class KEY, class VALUE>
class CMapEx : public CMap<KEY, const KEY&, VALUE, const VALUE&>
{
public:
    explicit CMapEx(INT_PTR nBlockSize = 10)
        : CMap<KEY, const KEY&, VALUE, const VALUE&>(nBlockSize)
    {}
};
