// CList<TYPE, ARG_TYPE>: a doubly linked list walked with POSITION values.
// A POSITION stays valid until its own element is removed, so a walk may remove the element
// it has just passed (GetNext has already moved on). Operations on an empty list that need an
// element, and a null POSITION where an element is needed, raise CInvalidArgException.
#pragma once

#include "Exception.h"
#include "Object.h"
#include "Position.h"

#include <windows.h>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject
{
    struct CNode
    {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

public:
    // The block size is accepted for compatibility; nodes are allocated one by one.
    explicit CList(INT_PTR nBlockSize = 10) { (void)nBlockSize; }
    ~CList() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }

    TYPE& GetHead() { return NonEmpty(m_pHead)->data; }
    const TYPE& GetHead() const { return NonEmpty(m_pHead)->data; }
    TYPE& GetTail() { return NonEmpty(m_pTail)->data; }
    const TYPE& GetTail() const { return NonEmpty(m_pTail)->data; }

    TYPE RemoveHead()
    {
        CNode* node = NonEmpty(m_pHead);
        TYPE value(node->data);
        Unlink(node);
        return value;
    }
    TYPE RemoveTail()
    {
        CNode* node = NonEmpty(m_pTail);
        TYPE value(node->data);
        Unlink(node);
        return value;
    }

    POSITION AddHead(ARG_TYPE newElement) { return InsertBefore(nullptr, newElement); }
    POSITION AddTail(ARG_TYPE newElement) { return InsertAfter(nullptr, newElement); }
    void AddHead(const CList* pNewList)
    {
        CheckArg(pNewList);
        const CList copy(*pNewList, 0);
        for (CNode* n = copy.m_pTail; n; n = n->pPrev)
            AddHead(n->data);
    }
    void AddTail(const CList* pNewList)
    {
        CheckArg(pNewList);
        const CList copy(*pNewList, 0);
        for (CNode* n = copy.m_pHead; n; n = n->pNext)
            AddTail(n->data);
    }

    void RemoveAll()
    {
        CNode* n = m_pHead;
        while (n) {
            CNode* next = n->pNext;
            delete n;
            n = next;
        }
        m_pHead = m_pTail = nullptr;
        m_nCount = 0;
    }

    POSITION GetHeadPosition() const { return ToPosition(m_pHead); }
    POSITION GetTailPosition() const { return ToPosition(m_pTail); }

    // Answer the element at rPosition and move rPosition on (null after the last element).
    TYPE& GetNext(POSITION& rPosition) { return Step(rPosition, true)->data; }
    const TYPE& GetNext(POSITION& rPosition) const { return Step(rPosition, true)->data; }
    TYPE& GetPrev(POSITION& rPosition) { return Step(rPosition, false)->data; }
    const TYPE& GetPrev(POSITION& rPosition) const { return Step(rPosition, false)->data; }

    TYPE& GetAt(POSITION position) { return FromPosition(position)->data; }
    const TYPE& GetAt(POSITION position) const { return FromPosition(position)->data; }
    void SetAt(POSITION position, ARG_TYPE newElement)
    {
        FromPosition(position)->data = newElement;
    }
    void RemoveAt(POSITION position) { Unlink(FromPosition(position)); }

    // A null position inserts at the head (InsertBefore) or at the tail (InsertAfter).
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement)
    {
        CNode* next = position ? FromPosition(position) : m_pHead;
        CNode* prev = next ? next->pPrev : nullptr;
        return Link(prev, next, newElement);
    }
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement)
    {
        CNode* prev = position ? FromPosition(position) : m_pTail;
        CNode* next = prev ? prev->pNext : nullptr;
        return Link(prev, next, newElement);
    }

    // The first element equal to the value after startAfter (from the head when null).
    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const
    {
        CNode* n = startAfter ? FromPosition(startAfter)->pNext : m_pHead;
        for (; n; n = n->pNext) {
            if (n->data == searchValue)
                return ToPosition(n);
        }
        return nullptr;
    }
    // The position of the zero-based nIndex-th element, or null past the end.
    POSITION FindIndex(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nCount)
            return nullptr;
        CNode* n = m_pHead;
        while (nIndex-- > 0)
            n = n->pNext;
        return ToPosition(n);
    }

private:
    // A private copy, used when a list is added to itself.
    CList(const CList& other, int)
    {
        for (CNode* n = other.m_pHead; n; n = n->pNext)
            AddTail(n->data);
    }

    static POSITION ToPosition(CNode* node) { return reinterpret_cast<POSITION>(node); }
    static CNode* FromPosition(POSITION position)
    {
        if (!position)
            AfxThrowInvalidArgException();
        return reinterpret_cast<CNode*>(position);
    }
    // The node at rPosition; rPosition moves to its neighbour.
    static CNode* Step(POSITION& rPosition, bool forward)
    {
        CNode* node = FromPosition(rPosition);
        rPosition = ToPosition(forward ? node->pNext : node->pPrev);
        return node;
    }
    static CNode* NonEmpty(CNode* node)
    {
        if (!node)
            AfxThrowInvalidArgException();
        return node;
    }
    static void CheckArg(const void* p)
    {
        if (!p)
            AfxThrowInvalidArgException();
    }

    POSITION Link(CNode* prev, CNode* next, ARG_TYPE value)
    {
        CNode* node = new CNode{next, prev, TYPE(value)};
        (prev ? prev->pNext : m_pHead) = node;
        (next ? next->pPrev : m_pTail) = node;
        ++m_nCount;
        return ToPosition(node);
    }
    void Unlink(CNode* node)
    {
        (node->pPrev ? node->pPrev->pNext : m_pHead) = node->pNext;
        (node->pNext ? node->pNext->pPrev : m_pTail) = node->pPrev;
        delete node;
        --m_nCount;
    }

    CNode* m_pHead = nullptr;
    CNode* m_pTail = nullptr;
    INT_PTR m_nCount = 0;
};
