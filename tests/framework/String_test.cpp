#include "String.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(CString, HoldsZeroBytes)
{
    CString s("ab\0cd", 5);
    EXPECT_EQ(s.GetLength(), 5);
    EXPECT_EQ(s.GetAt(3), 'c');
    EXPECT_EQ(std::strlen(s), 2u);
    CString copy = s;
    copy += CString('\0', 2);
    EXPECT_EQ(copy.GetLength(), 7);
    EXPECT_NE(copy, s);
    EXPECT_EQ(copy.Left(5), s);
    EXPECT_EQ(s.Find('d'), 4);
}

TEST(CString, SlicesClampToTheText)
{
    CString s("Patent");
    EXPECT_EQ(s.Left(3), "Pat");
    EXPECT_EQ(s.Left(-1), "");
    EXPECT_EQ(s.Left(99), "Patent");
    EXPECT_EQ(s.Mid(2), "tent");
    EXPECT_EQ(s.Mid(2, 2), "te");
    EXPECT_EQ(s.Mid(9), "");
    EXPECT_EQ(s.Mid(-3, 2), "Pa");
    EXPECT_EQ(s.Right(4), "tent");
    EXPECT_EQ(s.Right(20), "Patent");
    EXPECT_EQ(s.Find("ten"), 2);
    EXPECT_EQ(s.Find("t", 3), 5);
    EXPECT_EQ(s.Find('x'), -1);
    EXPECT_EQ(s.Find('t', 99), -1);
    EXPECT_EQ(s.ReverseFind('t'), 5);
    EXPECT_EQ(s.GetAt(99), '\0');
}

TEST(CString, EditsReportWhatTheyDid)
{
    CString s("a-b-c");
    EXPECT_EQ(s.Replace("-", "--"), 2);
    EXPECT_EQ(s, "a--b--c");
    EXPECT_EQ(s.Replace('-', '+'), 4);
    EXPECT_EQ(s.Remove('+'), 4);
    EXPECT_EQ(s, "abc");
    EXPECT_EQ(s.Replace("", "x"), 0);
    EXPECT_EQ(s.Insert(1, "XY"), 5);
    EXPECT_EQ(s, "aXYbc");
    EXPECT_EQ(s.Insert(99, '!'), 6);
    EXPECT_EQ(s.Delete(1, 2), 4);
    EXPECT_EQ(s, "abc!");
    EXPECT_EQ(s.Delete(3, 10), 3);
    s.SetAt(0, 'A');
    EXPECT_EQ(s, "Abc");
    EXPECT_EQ(CString("MixEd").MakeUpper(), "MIXED");
    EXPECT_EQ(CString("MixEd").MakeLower(), "mixed");
}

TEST(CString, Trims)
{
    EXPECT_EQ(CString(" \t\r\nx y \r\n").TrimLeft(), "x y \r\n");
    EXPECT_EQ(CString(" \t\r\nx y \r\n").TrimRight(), " \t\r\nx y");
    EXPECT_EQ(CString("xxabxx").TrimLeft('x'), "abxx");
    EXPECT_EQ(CString("xxabxx").TrimRight('x'), "xxab");
    EXPECT_EQ(CString("/\\a/b\\/").Trim("/\\"), "a/b");
    EXPECT_EQ(CString("   ").Trim(), "");
}

TEST(CString, ComparesAndFormats)
{
    EXPECT_EQ(CString("abc").Compare("abd"), -1);
    EXPECT_EQ(CString("abc").Compare("abc"), 0);
    EXPECT_EQ(CString("ABC").CompareNoCase("abc"), 0);
    EXPECT_EQ(CString("abc").CompareNoCase("ABD"), -1);
    EXPECT_TRUE(CString("a") < CString("b"));
    EXPECT_TRUE("b" > CString("a"));
    EXPECT_TRUE(CString("x") == "x");
    CString f;
    f.Format("%s-%d-%05.1f-%c", "US", 42, 3.14159, 'Z');
    EXPECT_EQ(f, "US-42-003.1-Z");
    f.Format("%s", CString('y', 5000).GetString());
    EXPECT_EQ(f.GetLength(), 5000);
    CString sum = "a" + CString("b") + 'c' + "d";
    EXPECT_EQ(sum, "abcd");
}

TEST(CString, BufferAccess)
{
    CString s("hello");
    char* p = s.GetBuffer(64);
    std::strcpy(p, "hi");
    s.ReleaseBuffer();
    EXPECT_EQ(s, "hi");
    EXPECT_EQ(s.GetLength(), 2);

    char* q = s.GetBufferSetLength(4);
    std::memcpy(q, "a\0bc", 4);
    s.ReleaseBuffer(4);
    EXPECT_EQ(s.GetLength(), 4);
    EXPECT_EQ(s.GetAt(3), 'c');
}
