// The first-run flag that the wizard leaves for the main program under
// HKEY_CURRENT_USER\Software\Quendal LLC\Zentrova\Settings. The key is shared with every
// start of the main program, so this program runs under the lock zentrova_program.
#include "ImportWizardDlg.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

const char kSettingsKey[] = "Software\\Quendal LLC\\Zentrova\\Settings";

// "<missing>" when there is no value.
std::string Stored(const char* name, DWORD* pType = nullptr)
{
    char data[256] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    if (::RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS)
        return "<missing>";
    if (pType)
        *pType = type;
    return std::string(data);
}

class WizardRegistryTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = Stored("FirstTime");
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "FirstTime");
    }
    void TearDown() override
    {
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "FirstTime");
        if (m_saved != "<missing>")
            ::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "FirstTime", REG_SZ, m_saved.c_str(),
                              static_cast<DWORD>(m_saved.size() + 1));
    }
    std::string m_saved;
};

} // namespace

TEST_F(WizardRegistryTest, FirstTimeIsSetWhateverItsValue)
{
    EXPECT_FALSE(CImportWizardDlg::IsFirstTimeValueSet());
    for (const char* value : {"1", "0", ""}) {
        SCOPED_TRACE(value);
        ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "FirstTime", REG_SZ, value,
                                                   static_cast<DWORD>(strlen(value) + 1)));
        EXPECT_TRUE(CImportWizardDlg::IsFirstTimeValueSet());
    }
}

TEST_F(WizardRegistryTest, WrittenAsTextWithTheKeysMadeOnTheWay)
{
    // A subkey that does not exist yet is made, beside Settings.
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quendal LLC\\Zentrova\\WizardTest");
    CImportWizardDlg::WriteRegistryString("WizardTest", "Probe", "made");
    char data[64] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    EXPECT_EQ(ERROR_SUCCESS, ::RegGetValueA(HKEY_CURRENT_USER, "Software\\Quendal LLC\\Zentrova\\WizardTest",
                                            "Probe", RRF_RT_ANY, &type, data, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_STREQ("made", data);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quendal LLC\\Zentrova\\WizardTest");

    CImportWizardDlg::WriteRegistryString("Settings", "FirstTime", "1");
    DWORD firstType = 0;
    EXPECT_EQ("1", Stored("FirstTime", &firstType));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), firstType);
    EXPECT_TRUE(CImportWizardDlg::IsFirstTimeValueSet());
}
