// The shipped recipe Download.cfg (enciphered at build time into build/bin/): it deciphers,
// parses, and every source and step carries what the download thread requires of it.
#include "FileCrypt.h"
#include "KeyFunctions.h"
#include "PatentThread.h"
#include "RegEx.h"
#include "XmlHelpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>

namespace {

const char* const kPriorityAttributes[] = {
    "USPatentPriority",       "USApplicationPriority",       "EuropeanPatentPriority",
    "EuropeanApplicationPriority", "InternationalPatentPriority", "InternationalApplicationPriority",
    "PCTLookupPriority",
};

class ShippedRecipeTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        const char* build = std::getenv("ZENTROVA_BUILD");
        CString text;
        ASSERT_EQ(CFileCrypt().ReadEncryptedFile(CString(build ? build : ".") + "/bin/Download.cfg", text), 1);
        ASSERT_TRUE(SUCCEEDED(m_doc.CreateInstance(__uuidof(DOMDocument40))));
        ASSERT_EQ(m_doc->loadXML(_bstr_t(text)), VARIANT_TRUE);
        m_sources = m_doc->selectNodes(L"/ParsingInformation/DownloadLocation");
        ASSERT_GT(m_sources->Getlength(), 0);
    }
    void TearDown() override
    {
        m_sources = nullptr;
        m_doc = nullptr;
        CoUninitialize();
    }

    static CString Attribute(IXMLDOMNodePtr node, const char* name)
    {
        CString value = "<missing>";
        GetXmlAttribute(node, name, value);
        return value;
    }

    IXMLDOMDocument2Ptr m_doc;
    IXMLDOMNodeListPtr m_sources;
};

TEST_F(ShippedRecipeTest, EveryClassHasSourcesOfPriorityOneUpWithoutGapsOrTies)
{
    std::set<CString> uids;
    std::map<CString, std::set<int>> priorities;
    for (long i = 0; i < m_sources->Getlength(); ++i) {
        IXMLDOMNodePtr source = m_sources->Getitem(i);
        const CString uid = Attribute(source, "UID");
        EXPECT_NE(uid, "<missing>");
        EXPECT_TRUE(uids.insert(uid).second) << "UID twice: " << uid;
        EXPECT_NE(Attribute(source, "Name"), "<missing>") << uid;
        for (const char* attribute : kPriorityAttributes) {
            CString value;
            if (!GetXmlAttribute(source, attribute, value))
                continue;
            const int priority = std::atoi(value);
            CString written;
            written.Format("%d", priority);
            EXPECT_TRUE(priority >= 1 && written == value) << uid << " " << attribute << "=" << value;
            EXPECT_TRUE(priorities[attribute].insert(priority).second) << attribute << " " << priority << " twice";
        }
    }
    for (const char* attribute : kPriorityAttributes) {
        const std::set<int>& taken = priorities[attribute];
        ASSERT_FALSE(taken.empty()) << attribute;
        EXPECT_EQ(*taken.begin(), 1) << attribute;
        EXPECT_EQ(*taken.rbegin(), static_cast<int>(taken.size())) << attribute << " has a gap";
    }
}

TEST_F(ShippedRecipeTest, EveryStepHasTheElementsItsKindRequires)
{
    for (long i = 0; i < m_sources->Getlength(); ++i) {
        IXMLDOMNodePtr source = m_sources->Getitem(i);
        const CString uid = Attribute(source, "UID");
        IXMLDOMNodeListPtr steps = source->selectNodes(L"Step");
        ASSERT_GT(steps->Getlength(), 0) << uid;
        for (long s = 0; s < steps->Getlength(); ++s) {
            IXMLDOMNodePtr step = steps->Getitem(s);
            const CString type = Attribute(step, "Type");
            SCOPED_TRACE(uid + " step " + CString(std::to_string(s + 1).c_str()) + " " + type);
            if (type == "Process") {
                EXPECT_TRUE(step->selectSingleNode(L"Url"));
            } else if (type == "ImageCollection") {
                EXPECT_TRUE(step->selectSingleNode(L"Url"));
                EXPECT_NE(Attribute(step, "ResultQuantity"), "<missing>");
                EXPECT_NE(Attribute(step, "OutputType"), "<missing>");
            } else if (type == "WriteDocument") {
                EXPECT_NE(Attribute(step, "OutputType"), "<missing>");
                EXPECT_TRUE(step->selectSingleNode(L"SourceTemplate"));
            } else {
                ADD_FAILURE() << "a step of no known type";
            }

            IXMLDOMNodeListPtr conditions = step->selectNodes(L"Condition");
            for (long c = 0; c < conditions->Getlength(); ++c)
                EXPECT_NE(Attribute(conditions->Getitem(c), "Target"), "<missing>");
            IXMLDOMNodeListPtr rules = step->selectNodes(L"Extract | FatalCondition | Condition");
            for (long r = 0; r < rules->Getlength(); ++r) {
                const CString pattern = ToAnsi(rules->Getitem(r)->Gettext());
                EXPECT_TRUE(RegEx().SetExpression(pattern, true)) << pattern;
            }
            IXMLDOMNodeListPtr extracts = step->selectNodes(L"Extract");
            for (long r = 0; r < extracts->Getlength(); ++r)
                EXPECT_NE(Attribute(extracts->Getitem(r), "Name"), "<missing>");
            IXMLDOMNodeListPtr keys = step->selectNodes(L"HardCodeKey");
            for (long k = 0; k < keys->Getlength(); ++k) {
                IXMLDOMNodePtr key = keys->Getitem(k);
                EXPECT_NE(Attribute(key, "Name"), "<missing>");
                CString function;
                if (GetXmlAttribute(key, "Function", function)) {
                    EXPECT_TRUE(IsKeyFunction(function)) << function;
                }
            }
        }
    }
}

} // namespace

namespace {

// A bibliography answer of the service whose texts hold every XML entity.
const char kBiblioAnswer[] =
    "<ops:world-patent-data xmlns=\"http://www.epo.org/exchange\" xmlns:ops=\"http://ops.epo.org\">\n"
    "<exchange-documents><exchange-document system=\"ops.epo.org\" country=\"EP\" doc-number=\"2345678\" kind=\"B1\">\n"
    "<bibliographic-data><parties>\n"
    "  <applicants>\n"
    "    <applicant sequence=\"1\" data-format=\"epodoc\">\n"
    "      <applicant-name>\n        <name>SORTWELL &amp; RANK LTD [GB]</name>\n      </applicant-name>\n"
    "    </applicant>\n"
    "    <applicant sequence=\"1\" data-format=\"original\">\n"
    "      <applicant-name><name>Sortwell &amp; Rank Ltd.</name></applicant-name>\n"
    "    </applicant>\n"
    "  </applicants>\n"
    "  <inventors>\n"
    "    <inventor sequence=\"1\" data-format=\"epodoc\"><inventor-name><name>O&apos;BRIEN &quot;SEAN&quot; [IE]</name></inventor-name></inventor>\n"
    "    <inventor sequence=\"2\" data-format=\"epodoc\">\n      <inventor-name>\n        <name>PATEL &lt;ASHA&gt; [GB]</name>\n"
    "      </inventor-name>\n    </inventor>\n"
    "    <inventor sequence=\"1\" data-format=\"original\"><inventor-name><name>O'Brien, Sean</name></inventor-name></inventor>\n"
    "  </inventors>\n"
    "</parties>\n"
    "<invention-title lang=\"de\">Verfahren zum Sortieren</invention-title>\n"
    "<invention-title lang=\"en\">Method of sorting &amp; ranking &lt;widgets&gt; for &quot;smart&quot; shelves, "
    "&amp;lt;br&amp;gt; it&apos;s</invention-title>\n"
    "</bibliographic-data></exchange-document></exchange-documents></ops:world-patent-data>\n";

} // namespace

// Each document source's bibliography step on a real answer: the record's texts have their
// entities decoded once (the ampersand last), the summary page's stay as the service wrote
// them. (The PCT look-up source files no document.)
TEST_F(ShippedRecipeTest, BibliographyStepsDecodeTheEntitiesOfTitleInventorsAndApplicants)
{
    int steps = 0;
    int documentSources = 0;
    for (long i = 0; i < m_sources->Getlength(); ++i) {
        IXMLDOMNodePtr source = m_sources->Getitem(i);
        if (Attribute(source, "PCTLookupPriority") != "<missing>")
            continue;
        ++documentSources;
        IXMLDOMNodePtr step = source->selectSingleNode(L"Step[Extract/@Name='INVENTORNAMES']");
        SCOPED_TRACE(Attribute(source, "UID"));
        ASSERT_TRUE(step);
        ++steps;
        CPatentThread thread;
        thread.m_mapVariables.SetAt("IMAGESANSWER", "<code>SERVER.EntityNotFound</code>");
        ASSERT_EQ(thread.ExtractValues(step, kBiblioAnswer), 1);
        thread.ApplyHardCodeKeys(step, true);
        CString value;
        thread.m_mapVariables.Lookup("DOCUMENTTITLE", value);
        EXPECT_EQ(value, "Method of sorting & ranking <widgets> for \"smart\" shelves, &lt;br&gt; it's");
        thread.m_mapVariables.Lookup("DOCUMENTINVENTOR", value);
        EXPECT_EQ(value, "O'BRIEN \"SEAN\" [IE]; PATEL <ASHA> [GB]");
        thread.m_mapVariables.Lookup("DOCUMENTASSIGNEE", value);
        EXPECT_EQ(value, "SORTWELL & RANK LTD [GB]");
        thread.m_mapVariables.Lookup("TITLEXML", value);
        EXPECT_EQ(value, "Method of sorting &amp; ranking &lt;widgets&gt; for &quot;smart&quot; shelves, "
                         "&amp;lt;br&amp;gt; it&apos;s");
        thread.m_mapVariables.Lookup("INVENTORXML", value);
        EXPECT_EQ(value, "O&apos;BRIEN &quot;SEAN&quot; [IE]; PATEL &lt;ASHA&gt; [GB]");
    }
    EXPECT_EQ(steps, documentSources);
}
