#include "WorkspaceTest.h"
#include "XmlHelpers.h"

using workspacetest::ComTest;

namespace {

class XmlHelpersTest : public ComTest
{
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        ASSERT_EQ(m_doc.CreateInstance(__uuidof(DOMDocument40), nullptr, CLSCTX_ALL), S_OK);
        ASSERT_EQ(m_doc->loadXML(L"<Project><Folder UID=\"7\" Name=\"\" name=\"lower\"/><!--c--></Project>"),
                  VARIANT_TRUE);
        m_folder = m_doc->selectSingleNode(L"/Project/Folder");
        ASSERT_TRUE(m_folder);
    }
    void TearDown() override
    {
        m_folder = nullptr;
        m_doc = nullptr;
        ComTest::TearDown();
    }
    IXMLDOMDocument2Ptr m_doc;
    IXMLDOMNodePtr m_folder;
};

} // namespace

TEST_F(XmlHelpersTest, GetTellsAbsentFromEmpty)
{
    CString value = "kept";
    EXPECT_EQ(GetXmlAttribute(m_folder, "Name", value), 1);
    EXPECT_EQ(value, "");
    value = "kept";
    EXPECT_EQ(GetXmlAttribute(m_folder, "Missing", value), 0);
    EXPECT_EQ(value, "kept");
    EXPECT_EQ(GetXmlAttribute(m_folder, "name", value), 1);
    EXPECT_EQ(value, "lower");
    IXMLDOMNodePtr comment = m_doc->selectSingleNode(L"/Project/comment()");
    ASSERT_TRUE(comment);
    EXPECT_EQ(GetXmlAttribute(comment, "UID", value), 0);
    EXPECT_THROW(GetXmlAttribute(nullptr, "UID", value), _com_error);
}

TEST_F(XmlHelpersTest, SetReplacesOrAdds)
{
    EXPECT_EQ(SetXmlAttribute(m_folder, "UID", "8"), 1);
    EXPECT_EQ(SetXmlAttribute(m_folder, "SortDir", "1"), 1);
    EXPECT_EQ(SetXmlAttribute(m_folder, "Title", "R&D \"x\" \xE4"), 1);
    EXPECT_EQ(m_doc->selectNodes(L"/Project/Folder/@UID")->Getlength(), 1);
    CString value;
    GetXmlAttribute(m_folder, "UID", value);
    EXPECT_EQ(value, "8");
    GetXmlAttribute(m_folder, "SortDir", value);
    EXPECT_EQ(value, "1");
    GetXmlAttribute(m_folder, "Title", value);
    EXPECT_EQ(value, "R&D \"x\" \xE4");
    EXPECT_EQ(SetXmlAttribute(nullptr, "UID", "9"), 0);
}

TEST_F(XmlHelpersTest, SelectNodesInDocumentOrder)
{
    ASSERT_EQ(m_doc->loadXML(L"<Step><Key Name='a'/><Other/><Key Name='b'/></Step>"), VARIANT_TRUE);
    IXMLDOMNodePtr step = m_doc->selectSingleNode(L"/Step");
    const std::vector<IXMLDOMNodePtr> keys = SelectNodes(step, L"Key");
    ASSERT_EQ(keys.size(), 2u);
    CString name;
    GetXmlAttribute(keys[1], "Name", name);
    EXPECT_EQ(name, "b");
    EXPECT_TRUE(SelectNodes(step, L"Missing").empty());
    EXPECT_THROW(SelectNodes(nullptr, L"Key"), _com_error);
    EXPECT_THROW(SelectNodes(step, L"Key["), _com_error);
}

TEST_F(XmlHelpersTest, ChildElementsSkipTextAndComments)
{
    ASSERT_EQ(m_doc->loadXML(L"<Step> <a/>text<!--c--><b><c/></b> </Step>"), VARIANT_TRUE);
    const std::vector<IXMLDOMNodePtr> children = ChildElements(m_doc->selectSingleNode(L"/Step"));
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(ToAnsi(children[0]->GetnodeName()), "a");
    EXPECT_EQ(ToAnsi(children[1]->GetnodeName()), "b");
    EXPECT_TRUE(ChildElements(m_folder).empty());
    EXPECT_TRUE(ChildElements(nullptr).empty());
}

TEST_F(XmlHelpersTest, DocumentOfKindByRootAndChildName)
{
    const struct
    {
        const wchar_t* xml;
        bool ofKind;
    } cases[] = {
        {L"<saved><report name='a'/></saved>", true},
        {L"<saved><!--first--><other/><report name='a'/></saved>", true},
        {L"<saved>\r\n</saved>", true},                            // an empty list
        {L"<saved><basics><location/></basics></saved>", false},   // another list under the same root
        {L"<savedsession><session/></savedsession>", false},       // another root
        {L"<Saved><report/></Saved>", false},                      // names are case-sensitive
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToAnsi(_bstr_t(c.xml)).GetString());
        ASSERT_EQ(m_doc->loadXML(c.xml), VARIANT_TRUE);
        EXPECT_EQ(IsDocumentOfKind(m_doc, L"saved", L"report"), c.ofKind);
    }
    IXMLDOMDocument2Ptr empty = CreateDomDocument();
    EXPECT_FALSE(IsDocumentOfKind(empty, L"saved", L"report"));
}
