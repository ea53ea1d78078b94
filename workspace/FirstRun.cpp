#include "FirstRun.h"

#include <cstring>

namespace {

const char kVendorKey[] = "Quendal LLC";
const char kProductKey[] = "Zentrova";

// Opens or creates one key below the parent with KEY_WRITE.
LONG OpenOrCreate(HKEY hParent, const char* name, HKEY* phKey)
{
    if (::RegOpenKeyExA(hParent, name, 0, KEY_WRITE, phKey) == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    return ::RegCreateKeyExA(hParent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, phKey,
                             nullptr);
}

// HKCU\Software, "Quendal LLC" and "Zentrova", opened or created with KEY_WRITE.
struct ProductKeys
{
    HKEY hSoftware = nullptr;
    HKEY hVendor = nullptr;
    HKEY hProduct = nullptr;

    LONG Open()
    {
        LONG rc = ::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_WRITE, &hSoftware);
        if (rc != ERROR_SUCCESS)
            return rc;
        rc = OpenOrCreate(hSoftware, kVendorKey, &hVendor);
        if (rc != ERROR_SUCCESS)
            return rc;
        return OpenOrCreate(hVendor, kProductKey, &hProduct);
    }

    // Closes the keys that are open; the result of the last close.
    LONG Close(HKEY hSection)
    {
        LONG rc = ERROR_SUCCESS;
        for (HKEY h : {hSection, hProduct, hVendor, hSoftware})
            if (h)
                rc = ::RegCloseKey(h);
        hProduct = hVendor = hSoftware = nullptr;
        return rc;
    }
};

} // namespace

LONG ReadFirstTimeFlag(const char* section, const char* valueName, char* buffer)
{
    ProductKeys keys;
    LONG rc = keys.Open();
    if (rc != ERROR_SUCCESS) {
        keys.Close(nullptr);
        return rc;
    }
    HKEY hSection = nullptr;
    if (::RegOpenKeyExA(keys.hProduct, section, 0, KEY_READ, &hSection) != ERROR_SUCCESS) {
        // A new, write-only key: the query below then fails and the buffer keeps its preset.
        ::RegCreateKeyExA(keys.hProduct, section, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                          &hSection, nullptr);
    }
    char data[256] = {};
    DWORD size = 255;
    DWORD type = 0;
    rc = ::RegQueryValueExA(hSection, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    if (rc != ERROR_SUCCESS) {
        keys.Close(hSection);
        return rc;
    }
    std::memcpy(buffer, data, size);
    buffer[size] = '\0';
    return keys.Close(hSection);
}

LONG WriteFirstTimeFlag(const char* section, const char* valueName, const char* text)
{
    ProductKeys keys;
    LONG rc = keys.Open();
    HKEY hSection = nullptr;
    if (rc == ERROR_SUCCESS)
        rc = OpenOrCreate(keys.hProduct, section, &hSection);
    if (rc != ERROR_SUCCESS) {
        keys.Close(hSection);
        return rc;
    }
    rc = ::RegSetValueExA(hSection, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text)));
    LONG closed = keys.Close(hSection);
    return rc != ERROR_SUCCESS ? rc : closed;
}

bool IsFirstRunWith(FirstTimeReader read, FirstTimeWriter write)
{
    char buffer[256] = {};
    std::strcpy(buffer, "1");
    read("Settings", "FirstTime", buffer);
    if (std::strcmp(buffer, "1") != 0)
        return false;
    return write("Settings", "FirstTime", "0") == ERROR_SUCCESS;
}

bool IsFirstRun()
{
    return IsFirstRunWith(ReadFirstTimeFlag, WriteFirstTimeFlag);
}
