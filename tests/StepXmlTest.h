// The fixture of the tests that drive a recipe interpreter one operation at a time: recipe
// Step elements written as XML text, with COM for the test's thread.
#pragma once

#include "XmlHelpers.h"

#include <gtest/gtest.h>

class StepXmlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        m_doc = CreateDomDocument();
    }
    void TearDown() override
    {
        m_doc = nullptr;
        CoUninitialize();
    }

    // The Step element of the XML text.
    IXMLDOMNodePtr Step(const char* xml)
    {
        EXPECT_EQ(m_doc->loadXML(_bstr_t(xml)), VARIANT_TRUE) << xml;
        return m_doc->selectSingleNode(L"/Step");
    }

    IXMLDOMDocument2Ptr m_doc;
};
