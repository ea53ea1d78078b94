#include "Framework.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CAnimal : public CObject
{
    DECLARE_DYNAMIC(CAnimal)
};
IMPLEMENT_DYNAMIC(CAnimal, CObject)

class CDog : public CAnimal
{
    DECLARE_DYNCREATE(CDog)
public:
    int m_nLegs = 4;
};
IMPLEMENT_DYNCREATE(CDog, CAnimal)

} // namespace

TEST(RuntimeClass, NamesKindsAndCreation)
{
    CDog dog;
    EXPECT_STREQ(dog.GetRuntimeClass()->m_lpszClassName, "CDog");
    EXPECT_TRUE(dog.IsKindOf(RUNTIME_CLASS(CAnimal)));
    EXPECT_TRUE(dog.IsKindOf(RUNTIME_CLASS(CObject)));
    CAnimal animal;
    EXPECT_FALSE(animal.IsKindOf(RUNTIME_CLASS(CDog)));
    CObject* asObject = &animal;
    EXPECT_EQ(DYNAMIC_DOWNCAST(CDog, asObject), nullptr);

    std::unique_ptr<CObject> made(RUNTIME_CLASS(CDog)->CreateObject());
    ASSERT_NE(made, nullptr);
    CDog* madeDog = DYNAMIC_DOWNCAST(CDog, made.get());
    ASSERT_NE(madeDog, nullptr);
    EXPECT_EQ(madeDog->m_nLegs, 4);
    EXPECT_EQ(RUNTIME_CLASS(CAnimal)->CreateObject(), nullptr);
}

TEST(Exception, DeleteFreesOnlyHeapExceptions)
{
    char text[8];
    try {
        AfxThrowMemoryException();
    } catch (CException* e) {
        EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CMemoryException)));
        EXPECT_TRUE(e->GetErrorMessage(text, sizeof text));
        EXPECT_STREQ(text, "Out of ");  // cut to the buffer
        e->Delete();
    }
    CException onStack(false);
    onStack.Delete();  // must not free a stack object
    EXPECT_FALSE(onStack.GetErrorMessage(text, sizeof text));
    EXPECT_STREQ(text, "");
}

TEST(Geometry, RectArithmetic)
{
    CRect r(10, 20, 110, 70);
    EXPECT_EQ(r.Width(), 100);
    EXPECT_EQ(r.Height(), 50);
    EXPECT_EQ(r.CenterPoint(), CPoint(60, 45));
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(r.PtInRect(CPoint(110, 20)));
    CRect inter = r & CRect(100, 0, 200, 30);
    EXPECT_EQ(inter, CRect(100, 20, 110, 30));
    EXPECT_TRUE((r & CRect(500, 500, 600, 600)).IsRectNull());
    EXPECT_EQ(r | CRect(0, 0, 5, 5), CRect(0, 0, 110, 70));
    r.DeflateRect(5, 5);
    EXPECT_EQ(r, CRect(15, 25, 105, 65));
    r.TopLeft() = CPoint(0, 0);
    EXPECT_EQ(r.Size(), CSize(105, 65));
    CRect flipped(10, 10, 0, 0);
    flipped.NormalizeRect();
    EXPECT_EQ(flipped, CRect(0, 0, 10, 10));
    EXPECT_EQ(CPoint(MAKELPARAM(-3, 7)), CPoint(-3, 7));
}
