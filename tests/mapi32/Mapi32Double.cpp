// A test double of the system's Simple MAPI library (MAPI32.DLL). It sends nothing: each
// call is appended as text to the file named by the environment variable ZENTROVA_MAPI_LOG,
// with everything the caller handed over (window, flags, profile, the message's subject,
// note, recipients and attached files with the first bytes of each file), and answers what
// ZENTROVA_MAPI_ANSWERS says: "MAPILogon=3,0;MAPISendMail=1" makes the first logon answer
// 3, the second 0, and every send 1; calls beyond a list, and functions not named, answer 0.
// The counts start again whenever the library is loaded anew.
//
// The log: a line per call, then for a send a line for the message and one per recipient
// and per file, each beginning with a blank, and "end". A line's fields are separated by
// tabs: the kind of line, then name=value pairs. Control characters in texts are written as
// \n, \r, \t and \0, so a tab in the log always separates fields.
#include "MapiLogText.h"

#include <windows.h>

#include <mapi.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

std::map<std::string, int> g_calls;

std::string Env(const char* name)
{
    char value[4096] = {};
    const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

// The answer of the n-th call (from 0) of a function, as the answers variable lists it.
ULONG Answer(const char* function)
{
    const int n = g_calls[function]++;
    const std::string answers = Env("ZENTROVA_MAPI_ANSWERS");
    const std::string key = std::string(function) + "=";
    size_t at = 0;
    while (at < answers.size()) {
        size_t end = answers.find(';', at);
        if (end == std::string::npos)
            end = answers.size();
        const std::string entry = answers.substr(at, end - at);
        if (entry.compare(0, key.size(), key) == 0) {
            std::string list = entry.substr(key.size());
            for (int i = 0;; ++i) {
                const size_t comma = list.find(',');
                if (i == n)
                    return static_cast<ULONG>(std::strtoul(list.substr(0, comma).c_str(), nullptr, 10));
                if (comma == std::string::npos)
                    return 0;
                list.erase(0, comma + 1);
            }
        }
        at = end + 1;
    }
    return 0;
}

std::string Text(const char* text)
{
    return text ? EscapeMapiText(text, std::strlen(text)) : std::string("(null)");
}

std::string Hex(ULONG_PTR value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(value));
    return buffer;
}

// The first bytes of a file, or "(missing)".
std::string Content(const char* path)
{
    if (!path)
        return "(null)";
    HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "(missing)";
    char bytes[200];
    DWORD read = 0;
    ::ReadFile(h, bytes, sizeof bytes, &read, nullptr);
    ::CloseHandle(h);
    return EscapeMapiText(bytes, read);
}

void Log(const std::string& text)
{
    const std::string path = Env("ZENTROVA_MAPI_LOG");
    if (path.empty())
        return;
    HANDLE h = ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(h);
}

ULONG_PTR g_nextSession = 0x5150;

// A resolved addressee as MAPIResolveName hands it out: one block with its texts.
struct ResolvedBlock
{
    MapiRecipDesc desc;
    char name[256];
    char address[300];
    unsigned marker;
};
const unsigned kResolvedMarker = 0x5A4D4150;

} // namespace

extern "C" {

ULONG WINAPI MAPILogon(ULONG_PTR ulUIParam, LPSTR lpszProfileName, LPSTR lpszPassword, FLAGS flFlags,
                       ULONG /*ulReserved*/, LPLHANDLE lplhSession)
{
    const ULONG answer = Answer("MAPILogon");
    if (answer == SUCCESS_SUCCESS && lplhSession)
        *lplhSession = g_nextSession++;
    Log("MAPILogon\twindow=" + Hex(ulUIParam) + "\tprofile=" + Text(lpszProfileName) + "\tpassword=" +
        Text(lpszPassword) + "\tflags=" + Hex(flFlags) + "\tanswer=" + std::to_string(answer) +
        "\tsession=" + Hex(lplhSession && answer == SUCCESS_SUCCESS ? *lplhSession : 0) + "\n");
    return answer;
}

ULONG WINAPI MAPILogoff(LHANDLE lhSession, ULONG_PTR ulUIParam, FLAGS flFlags, ULONG /*ulReserved*/)
{
    const ULONG answer = Answer("MAPILogoff");
    Log("MAPILogoff\tsession=" + Hex(lhSession) + "\twindow=" + Hex(ulUIParam) + "\tflags=" + Hex(flFlags) +
        "\tanswer=" + std::to_string(answer) + "\n");
    return answer;
}

ULONG WINAPI MAPISendMail(LHANDLE lhSession, ULONG_PTR ulUIParam, lpMapiMessage lpMessage, FLAGS flFlags,
                          ULONG /*ulReserved*/)
{
    const ULONG answer = Answer("MAPISendMail");
    std::string text = "MAPISendMail\tsession=" + Hex(lhSession) + "\twindow=" + Hex(ulUIParam) +
                       "\tflags=" + Hex(flFlags) + "\tanswer=" + std::to_string(answer) + "\n";
    if (lpMessage) {
        text += " message\tsubject=" + Text(lpMessage->lpszSubject) + "\tnote=" + Text(lpMessage->lpszNoteText) +
                "\tflags=" + Hex(lpMessage->flFlags) + "\toriginator=" +
                (lpMessage->lpOriginator ? "set" : "(null)") + "\trecipients=" +
                std::to_string(lpMessage->nRecipCount) + "\tfiles=" + std::to_string(lpMessage->nFileCount) + "\n";
        for (ULONG i = 0; i < lpMessage->nRecipCount && lpMessage->lpRecips; ++i) {
            const MapiRecipDesc& r = lpMessage->lpRecips[i];
            text += " recipient\tclass=" + std::to_string(r.ulRecipClass) + "\tname=" + Text(r.lpszName) +
                    "\taddress=" + Text(r.lpszAddress) + "\n";
        }
        for (ULONG i = 0; i < lpMessage->nFileCount && lpMessage->lpFiles; ++i) {
            const MapiFileDesc& f = lpMessage->lpFiles[i];
            text += " file\tpath=" + Text(f.lpszPathName) + "\ttitle=" + Text(f.lpszFileName) +
                    "\tposition=" + std::to_string(static_cast<long>(f.nPosition)) +
                    "\tcontent=" + Content(f.lpszPathName) + "\n";
        }
    }
    Log(text + "end\n");
    return answer;
}

ULONG WINAPI MAPIResolveName(LHANDLE lhSession, ULONG_PTR ulUIParam, LPSTR lpszName, FLAGS flFlags,
                             ULONG /*ulReserved*/, lpMapiRecipDesc* lppRecip)
{
    ULONG answer = Answer("MAPIResolveName");
    const std::string name = lpszName ? lpszName : "";
    // A name that says it is unknown is not in the address book.
    if (answer == SUCCESS_SUCCESS && name.find("unknown") != std::string::npos)
        answer = MAPI_E_UNKNOWN_RECIPIENT;
    if (answer == SUCCESS_SUCCESS && lppRecip) {
        auto* block = static_cast<ResolvedBlock*>(std::calloc(1, sizeof(ResolvedBlock)));
        std::string address = "SMTP:";
        for (char c : name)
            address += c == ' ' ? '.' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        address += "@example.test";
        std::snprintf(block->name, sizeof block->name, "%s (resolved)", name.c_str());
        std::snprintf(block->address, sizeof block->address, "%s", address.c_str());
        block->desc.ulRecipClass = MAPI_TO;
        block->desc.lpszName = block->name;
        block->desc.lpszAddress = block->address;
        block->marker = kResolvedMarker;
        *lppRecip = &block->desc;
    }
    Log("MAPIResolveName\tsession=" + Hex(lhSession) + "\twindow=" + Hex(ulUIParam) + "\tname=" + Text(lpszName) +
        "\tflags=" + Hex(flFlags) + "\tanswer=" + std::to_string(answer) + "\n");
    return answer;
}

ULONG WINAPI MAPIFreeBuffer(LPVOID pv)
{
    auto* block = static_cast<ResolvedBlock*>(pv);
    const bool bKnown = block && block->marker == kResolvedMarker;
    Log(std::string("MAPIFreeBuffer\tknown=") + (bKnown ? "yes" : "no") + "\n");
    if (bKnown) {
        block->marker = 0;
        std::free(block);
    }
    return SUCCESS_SUCCESS;
}

ULONG WINAPI MAPIReadMail(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG, lpMapiMessage*)
{
    Log("MAPIReadMail\n");
    return MAPI_E_FAILURE;
}

ULONG WINAPI MAPIFindNext(LHANDLE, ULONG_PTR, LPSTR, LPSTR, FLAGS, ULONG, LPSTR)
{
    Log("MAPIFindNext\n");
    return MAPI_E_FAILURE;
}

ULONG WINAPI MAPIDeleteMail(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG)
{
    Log("MAPIDeleteMail\n");
    return MAPI_E_FAILURE;
}

} // extern "C"
