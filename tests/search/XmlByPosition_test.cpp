// Attributes and child nodes read by position: what an element lacks reads as empty.
#include "XmlByPosition.h"

#include "XmlHelpers.h"

#include <gtest/gtest.h>

namespace {

TEST(XmlByPosition, MissingAttributesAndChildrenReadEmpty)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        IXMLDOMDocument2Ptr doc = CreateDomDocument();
        ASSERT_EQ(doc->loadXML(L"<saved><session name='Pumps' mark='A&amp;B'><document>1</document>"
                               "<document>2</document></session><session/></saved>"),
                  VARIANT_TRUE);
        IXMLDOMNodePtr full = doc->selectSingleNode(L"/saved/session[1]");
        IXMLDOMNodePtr bare = doc->selectSingleNode(L"/saved/session[2]");
        EXPECT_EQ(AttributeTextAt(full, 0), "Pumps");
        EXPECT_EQ(AttributeTextAt(full, 1), "A&B");
        EXPECT_EQ(AttributeTextAt(full, 2), "");
        EXPECT_EQ(AttributeTextAt(full, -1), "");
        EXPECT_EQ(ChildTextAt(full, 1), "2");
        EXPECT_EQ(ChildTextAt(full, 2), "");
        EXPECT_EQ(AttributeTextAt(bare, 0), "");
        EXPECT_EQ(ChildTextAt(bare, 0), "");
        EXPECT_EQ(AttributeTextAt(nullptr, 0), "");
        EXPECT_EQ(ChildTextAt(nullptr, 0), "");
    }
    CoUninitialize();
}

} // namespace
