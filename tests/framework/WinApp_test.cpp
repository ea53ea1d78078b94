// The application object: its name, the profile settings under the registry key, the
// framework's WinMain sequence, and the message box of the framework.
#include "WinApp.h"
#include "Wnd.h"

#include <gtest/gtest.h>

namespace {

class CTestApp : public CWinApp
{
public:
    bool initialised = false;
    bool exited = false;
    BOOL InitInstance() override
    {
        CWinApp::InitInstance();
        initialised = true;
        return FALSE; // a dialog program: everything happened inside InitInstance
    }
    int ExitInstance() override
    {
        exited = true;
        return 3;
    }
};

CTestApp theApp;

TEST(Application, IsReachableAndNamedFromItsResources)
{
    EXPECT_EQ(&theApp, AfxGetApp());
    EXPECT_STREQ("Zentrova Framework Test", theApp.m_pszAppName); // AFX_IDS_APP_TITLE
    EXPECT_STREQ("framework_app_test", theApp.m_pszExeName);
    EXPECT_EQ(::GetModuleHandleA(nullptr), AfxGetInstanceHandle());
    EXPECT_EQ(AfxGetInstanceHandle(), AfxGetResourceHandle());
    EXPECT_EQ(&theApp, AfxGetThread());
    EXPECT_NE(nullptr, theApp.LoadStandardCursor(reinterpret_cast<const char*>(IDC_ARROW)));
    EXPECT_NE(nullptr, theApp.LoadStandardIcon(reinterpret_cast<const char*>(IDI_APPLICATION)));
}

TEST(Application, WinMainRunsExitInstanceWhenInitInstanceDeclines)
{
    EXPECT_EQ(3, AfxWinMain(::GetModuleHandleA(nullptr), nullptr, const_cast<char*>("SW_MINIMIZE"), SW_SHOW));
    EXPECT_TRUE(theApp.initialised);
    EXPECT_TRUE(theApp.exited);
    EXPECT_STREQ("SW_MINIMIZE", theApp.m_lpCmdLine);
}

TEST(Application, ProfileStringsLiveUnderTheRegistryKey)
{
    const char* key = "Zentrova Framework Test Vendor";
    theApp.SetRegistryKey(key);
    EXPECT_STREQ(key, theApp.m_pszRegistryKey);

    EXPECT_EQ(CString("fallback"), theApp.GetProfileString("Settings", "Missing", "fallback"));
    ASSERT_TRUE(theApp.WriteProfileString("Settings", "FirstTime", "0"));
    EXPECT_EQ(CString("0"), theApp.GetProfileString("Settings", "FirstTime"));

    // Where it is stored: HKCU\Software\<key>\<application>\<section>.
    CString path = CString("Software\\") + key + "\\Zentrova Framework Test\\Settings";
    HKEY hKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &hKey));
    char buf[16] = {};
    DWORD size = sizeof buf;
    DWORD type = 0;
    EXPECT_EQ(ERROR_SUCCESS, ::RegQueryValueExA(hKey, "FirstTime", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_STREQ("0", buf);
    ::RegCloseKey(hKey);

    // A null value removes the entry, a null entry the section.
    EXPECT_TRUE(theApp.WriteProfileString("Settings", "FirstTime", nullptr));
    EXPECT_EQ(CString(""), theApp.GetProfileString("Settings", "FirstTime"));
    EXPECT_TRUE(theApp.WriteProfileString("Settings", nullptr, nullptr));
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &hKey));
    ::RegDeleteKeyA(HKEY_CURRENT_USER, CString("Software\\") + key + "\\Zentrova Framework Test");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, CString("Software\\") + key);
}

TEST(Application, SocketsStart)
{
    EXPECT_TRUE(AfxSocketInit());
}

} // namespace
