// A browser toolbar as the program's tests play it: the registry value SystemID that the
// program trusts, and a client of its port 50055 on 127.0.0.1 that reads the greeting and
// sends 40-byte requests.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace workspacetest {

// The program's registry key, the identifier the tests store in it, and the port.
const char kSettingsKey[] = "Software\\Quendal LLC\\Zentrova\\Settings";
const char kSystemId[] = "ZT-E2E-0815";
const u_short kToolbarPort = 50055;

// The registry value SystemID, set for the test and put back afterwards.
class SystemIdScope
{
public:
    explicit SystemIdScope(const char* id)
    {
        char data[256] = {};
        DWORD size = sizeof data - 1;
        HKEY hKey = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
            m_bHad = ::RegQueryValueExA(hKey, "SystemID", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) ==
                     ERROR_SUCCESS;
            ::RegCloseKey(hKey);
        }
        m_saved = data;
        Set(id);
    }
    ~SystemIdScope()
    {
        if (m_bHad)
            Set(m_saved.c_str());
        else
            ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "SystemID");
    }

private:
    static void Set(const char* id)
    {
        EXPECT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "SystemID", REG_SZ, id,
                                                   static_cast<DWORD>(std::strlen(id) + 1)));
    }

    bool m_bHad = false;
    std::string m_saved;
};

// A connection to the toolbar port with plain blocking calls that give up after 10 s.
class Toolbar
{
public:
    Toolbar()
    {
        m_s = ::socket(AF_INET, SOCK_STREAM, 0);
        DWORD timeout = 10000;
        ::setsockopt(m_s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = ::htons(kToolbarPort);
        addr.sin_addr.s_addr = ::inet_addr("127.0.0.1");
        m_bConnected = ::connect(m_s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    ~Toolbar() { ::closesocket(m_s); }
    Toolbar(const Toolbar&) = delete;
    Toolbar& operator=(const Toolbar&) = delete;

    bool Connected() const { return m_bConnected; }
    // The 40-byte greeting the program sends first.
    std::string Greeting()
    {
        std::string got;
        char buf[64];
        while (got.size() < 40) {
            const int n = ::recv(m_s, buf, static_cast<int>(std::min<size_t>(sizeof buf, 40 - got.size())), 0);
            if (n <= 0)
                break;
            got.append(buf, static_cast<size_t>(n));
        }
        return got;
    }
    void Send(const std::string& bytes) { ::send(m_s, bytes.data(), static_cast<int>(bytes.size()), 0); }
    void EndSending() { ::shutdown(m_s, SD_SEND); }
    // True once the program has closed the connection.
    bool ClosedByProgram()
    {
        char buf[64];
        int n;
        while ((n = ::recv(m_s, buf, sizeof buf, 0)) > 0) {
        }
        return n == 0;
    }

private:
    SOCKET m_s = INVALID_SOCKET;
    bool m_bConnected = false;
};

// A toolbar request: the identifier, the numbers from byte 15 on, the page count (-1: all
// pages) in the last four bytes.
std::string ToolbarRequest(const char* id, const char* numbers, int32_t page);

} // namespace workspacetest
