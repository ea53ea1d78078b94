#include "Framework.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

template <class F>
bool InvalidArg(F&& call)
{
    return testsupport::ThrowsKind(RUNTIME_CLASS(CInvalidArgException), call);
}

template <class MAP, class KEY, class VALUE>
std::vector<std::pair<KEY, VALUE>> Walk(const MAP& map)
{
    std::vector<std::pair<KEY, VALUE>> seen;
    POSITION pos = map.GetStartPosition();
    while (pos) {
        KEY key;
        VALUE value;
        map.GetNextAssoc(pos, key, value);
        seen.emplace_back(key, value);
    }
    return seen;
}

std::vector<CString> Keys(const CMapStringToString& map)
{
    std::vector<CString> keys;
    for (const auto& kv : Walk<CMapStringToString, CString, CString>(map))
        keys.push_back(kv.first);
    return keys;
}

// The order the header promises: by bucket, newest first inside a bucket.
std::vector<CString> DocumentedOrder(const std::vector<CString>& inserted, UINT buckets)
{
    std::vector<std::pair<UINT, int>> slots;
    for (size_t i = 0; i < inserted.size(); ++i) {
        UINT h = 0;
        for (unsigned char ch : inserted[i].str())
            h = h * 33 + ch;
        slots.emplace_back(h % buckets, -static_cast<int>(i));
    }
    std::vector<size_t> index(inserted.size());
    for (size_t i = 0; i < index.size(); ++i)
        index[i] = i;
    std::sort(index.begin(), index.end(), [&](size_t a, size_t b) { return slots[a] < slots[b]; });
    std::vector<CString> order;
    for (size_t i : index)
        order.push_back(inserted[i]);
    return order;
}

const std::vector<CString> kRecipeKeys = {
    "COUNTRYCODE", "DOCUMENTNUMBER", "KINDCODE",     "SUFFIX", "THREADID", "CURRENTPAGE",
    "TOTALPAGES",  "DOCUMENTTITLE",  "SEARCHSTRING", "A",      "B",        "AB",
    "BA"};

} // namespace

TEST(MapStringToString, IteratesInTheDocumentedStableOrder)
{
    for (UINT buckets : {17u, 7u, 1u}) {
        CMapStringToString a, b;
        a.InitHashTable(buckets);
        b.InitHashTable(buckets);
        for (const CString& k : kRecipeKeys) {
            a.SetAt(k, "v" + k);
            b[k] = "v" + k;
        }
        EXPECT_EQ(Keys(a), DocumentedOrder(kRecipeKeys, buckets)) << buckets << " buckets";
        EXPECT_EQ(Keys(a), Keys(b));

        // A new value keeps the key's place; a removal leaves the others in order.
        std::vector<CString> before = Keys(a);
        a.SetAt("KINDCODE", "B1");
        EXPECT_EQ(Keys(a), before);
        EXPECT_TRUE(a.RemoveKey("SUFFIX"));
        before.erase(std::find(before.begin(), before.end(), CString("SUFFIX")));
        EXPECT_EQ(Keys(a), before);
    }
}

TEST(MapStringToString, RemovingTheEntryJustReturnedDuringAWalk)
{
    CMapStringToString map;
    for (const CString& k : kRecipeKeys)
        map.SetAt(k, k);
    std::vector<CString> order = Keys(map);

    std::vector<CString> visited;
    POSITION pos = map.GetStartPosition();
    while (pos) {
        CString key, value;
        map.GetNextAssoc(pos, key, value);
        visited.push_back(key);
        EXPECT_TRUE(map.RemoveKey(key));
    }
    EXPECT_EQ(visited, order);
    EXPECT_EQ(map.GetCount(), 0);
    EXPECT_EQ(map.GetStartPosition(), nullptr);
}

TEST(MapStringToString, LookupSetRemove)
{
    CMapStringToString map(10);
    CString value = "untouched";
    EXPECT_FALSE(map.Lookup("X", value));
    EXPECT_EQ(value, "untouched");
    EXPECT_EQ(map.GetStartPosition(), nullptr);

    map.SetAt("Key", "1");
    map["key"] = "2";  // keys are case-sensitive
    EXPECT_EQ(map.GetCount(), 2);
    EXPECT_TRUE(map.Lookup("Key", value));
    EXPECT_EQ(value, "1");
    EXPECT_EQ(map["new"], "");  // operator[] adds an empty value
    EXPECT_EQ(map.GetCount(), 3);
    EXPECT_FALSE(map.RemoveKey("KEY"));
    EXPECT_TRUE(map.RemoveKey("key"));
    EXPECT_FALSE(map.Lookup("key", value));

    // Redistributing a filled table keeps every entry.
    map.InitHashTable(31);
    EXPECT_EQ(map.GetHashTableSize(), 31u);
    EXPECT_TRUE(map.Lookup("Key", value));
    EXPECT_EQ(map.GetCount(), 2);
    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_TRUE(map.IsKindOf(RUNTIME_CLASS(CMapStringToString)));

    POSITION none = nullptr;
    CString k, v;
    EXPECT_TRUE(InvalidArg([&] { map.GetNextAssoc(none, k, v); }));
}

TEST(Map, IntegerKeysHashByTheirHighBits)
{
    // Keys 0-15 share bucket 0 and come newest first; 16-31 follow in bucket 1.
    CMapEx<int, CString> map;
    for (int key : {3, 17, 1, 16, 2})
        map.SetAt(key, CString('x', key));
    std::vector<int> keys;
    for (const auto& kv : Walk<CMapEx<int, CString>, int, CString>(map))
        keys.push_back(kv.first);
    EXPECT_EQ(keys, (std::vector<int>{2, 1, 3, 16, 17}));

    CMap<CString, const CString&, int, int> counts;
    counts["a"] += 2;
    counts["a"] += 3;
    int n = 0;
    EXPECT_TRUE(counts.Lookup("a", n));
    EXPECT_EQ(n, 5);
}

TEST(Array, GrowsInsertsAndRemoves)
{
    CStringArray arr;
    EXPECT_EQ(arr.Add("a"), 0);
    EXPECT_EQ(arr.Add(arr[0]), 1);  // an element of the array itself
    arr.InsertAt(1, "b", 2);
    ASSERT_EQ(arr.GetSize(), 4);
    EXPECT_EQ(arr[1], "b");
    EXPECT_EQ(arr.GetAt(3), "a");
    arr.RemoveAt(1, 2);
    EXPECT_EQ(arr.GetSize(), 2);
    arr.SetAtGrow(4, "e");
    EXPECT_EQ(arr.GetSize(), 5);
    EXPECT_EQ(arr[3], "");
    arr.InsertAt(7, "h");
    EXPECT_EQ(arr.GetUpperBound(), 7);
    arr.SetSize(2);
    EXPECT_EQ(arr.GetCount(), 2);

    CStringArray more;
    more.Copy(arr);
    EXPECT_EQ(more.Append(arr), 2);
    EXPECT_EQ(more.GetSize(), 4);
    EXPECT_EQ(more.Append(more), 4);
    EXPECT_EQ(more.GetSize(), 8);

    CPtrArray ptrs;
    int x = 0;
    ptrs.Add(&x);
    EXPECT_EQ(ptrs[0], &x);
    EXPECT_TRUE(ptrs.IsKindOf(RUNTIME_CLASS(CPtrArray)));
}

TEST(Array, IndexesOutsideRaiseInvalidArgument)
{
    CArray<int> arr;
    arr.Add(1);
    for (INT_PTR bad : {INT_PTR(-1), INT_PTR(1), INT_PTR(100)})
        EXPECT_TRUE(InvalidArg([&] { arr.GetAt(bad); })) << bad;
    EXPECT_TRUE(InvalidArg([&] { arr.RemoveAt(0, 2); }));
    EXPECT_TRUE(InvalidArg([&] { arr.SetSize(-1); }));
    EXPECT_EQ(arr.GetSize(), 1);
}

TEST(List, WalksInsertsAndRemovesByPosition)
{
    CStringList list;
    list.AddTail("b");
    list.AddHead("a");
    POSITION posC = list.AddTail("c");
    list.InsertBefore(posC, "b2");
    list.InsertAfter(posC, "d");
    list.InsertBefore(list.GetHeadPosition(), "0");

    auto contents = [&list] {
        std::string s;
        for (POSITION pos = list.GetHeadPosition(); pos;)
            s += list.GetNext(pos).GetString();
        return s;
    };
    EXPECT_EQ(contents(), "0abb2cd");
    EXPECT_EQ(list.GetCount(), 6);
    EXPECT_EQ(list.GetAt(list.FindIndex(2)), "b");
    EXPECT_EQ(list.FindIndex(6), nullptr);
    EXPECT_EQ(list.Find("c"), posC);
    EXPECT_EQ(list.Find("a", posC), nullptr);

    // Removing the element just passed keeps the walk going.
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        POSITION here = pos;
        if (list.GetNext(pos).Find('b') >= 0)
            list.RemoveAt(here);
    }
    EXPECT_EQ(contents(), "0acd");

    std::string backwards;
    for (POSITION pos = list.GetTailPosition(); pos;)
        backwards += list.GetPrev(pos).GetString();
    EXPECT_EQ(backwards, "dca0");

    list.AddTail(&list);
    EXPECT_EQ(contents(), "0acd0acd");
    EXPECT_EQ(list.RemoveHead(), "0");
    EXPECT_EQ(list.RemoveTail(), "d");
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(InvalidArg([&] { list.RemoveHead(); }));
    EXPECT_TRUE(InvalidArg([&] { list.GetTail(); }));

    CPtrList ptrs;
    int x = 0;
    ptrs.AddTail(&x);
    EXPECT_NE(ptrs.Find(&x), nullptr);
    EXPECT_TRUE(ptrs.IsKindOf(RUNTIME_CLASS(CPtrList)));
}
