// Hook thunks of the balloon tip: a thread hook procedure has no room for an object pointer,
// so each balloon carries small pieces of machine code that load the balloon's address and
// jump on to its member hook procedure. Every hook of every balloon thus reaches its own
// object, and the hooks stay per thread and per balloon.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>

// One thunk: executable code that calls Target(pThis, nCode, wParam, lParam) when called as a
// HOOKPROC. The code lives in a page of its own, writable only while it is filled.
template <class T>
class _ThunkImpl
{
public:
    typedef LRESULT(CALLBACK* Target)(T* pThis, int nCode, WPARAM wParam, LPARAM lParam);

    _ThunkImpl() = default;
    ~_ThunkImpl()
    {
        if (m_pCode)
            ::VirtualFree(m_pCode, 0, MEM_RELEASE);
    }
    _ThunkImpl(const _ThunkImpl&) = delete;
    _ThunkImpl& operator=(const _ThunkImpl&) = delete;

    // Fills the thunk; answers false when no executable memory could be had.
    bool InitThunk(T* pThis, Target pfnTarget)
    {
        unsigned char code[kCodeSize];
        size_t n = 0;
        auto put = [&](const void* p, size_t len) {
            std::memcpy(code + n, p, len);
            n += len;
        };
        if (!m_pCode) {
            m_pCode = static_cast<unsigned char*>(
                ::VirtualAlloc(nullptr, kCodeSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
            if (!m_pCode)
                return false;
        } else {
            DWORD old = 0;
            ::VirtualProtect(m_pCode, kCodeSize, PAGE_READWRITE, &old);
        }
#if defined(__x86_64__) || defined(_M_X64)
        // The hook's three arguments move one register up (rcx, rdx, r8 -> rdx, r8, r9),
        // rcx takes the object; then a jump to the target.
        static const unsigned char shift[] = {0x4D, 0x89, 0xC1,  // mov r9, r8
                                              0x49, 0x89, 0xD0,  // mov r8, rdx
                                              0x48, 0x89, 0xCA}; // mov rdx, rcx
        put(shift, sizeof shift);
        const unsigned char movRcx[] = {0x48, 0xB9}; // mov rcx, imm64
        put(movRcx, sizeof movRcx);
        std::uint64_t object = reinterpret_cast<std::uintptr_t>(pThis);
        put(&object, sizeof object);
        const unsigned char movRax[] = {0x48, 0xB8}; // mov rax, imm64
        put(movRax, sizeof movRax);
        std::uint64_t target = reinterpret_cast<std::uintptr_t>(pfnTarget);
        put(&target, sizeof target);
        const unsigned char jmpRax[] = {0xFF, 0xE0}; // jmp rax
        put(jmpRax, sizeof jmpRax);
#elif defined(__i386__) || defined(_M_IX86)
        // The object goes onto the stack as a first argument in front of the hook's three
        // (the target is __stdcall and removes all four); then a relative jump.
        const unsigned char popEax = 0x58; // pop eax (return address)
        put(&popEax, 1);
        const unsigned char push = 0x68; // push imm32
        put(&push, 1);
        std::uint32_t object = reinterpret_cast<std::uintptr_t>(pThis);
        put(&object, sizeof object);
        const unsigned char pushEax = 0x50; // push eax
        put(&pushEax, 1);
        const unsigned char jmp = 0xE9; // jmp rel32
        put(&jmp, 1);
        std::int32_t rel = static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(pfnTarget) -
                                                     (reinterpret_cast<std::uintptr_t>(m_pCode) + n + 4));
        put(&rel, sizeof rel);
#else
#error "no hook thunk for this processor"
#endif
        std::memcpy(m_pCode, code, n);
        DWORD old = 0;
        if (!::VirtualProtect(m_pCode, kCodeSize, PAGE_EXECUTE_READ, &old))
            return false;
        ::FlushInstructionCache(::GetCurrentProcess(), m_pCode, n);
        return true;
    }

    HOOKPROC GetThunk() const { return reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(m_pCode)); }

private:
    static const size_t kCodeSize = 32;
    unsigned char* m_pCode = nullptr;
};

// The keyboard hook of a balloon: reaches T::KeyboardHookProc.
template <class T>
class BHKeybHookThunk : public _ThunkImpl<T>
{
protected:
    bool InitKeybThunk(T* pThis) { return this->InitThunk(pThis, &Call); }
    HOOKPROC GetKeybHookThunk() const { return this->GetThunk(); }

private:
    static LRESULT CALLBACK Call(T* pThis, int nCode, WPARAM wParam, LPARAM lParam)
    {
        return pThis->KeyboardHookProc(nCode, wParam, lParam);
    }
};

// The mouse hook of a balloon: reaches T::MouseHookProc.
template <class T>
class BHMouseHookThunk : public _ThunkImpl<T>
{
protected:
    bool InitMouseThunk(T* pThis) { return this->InitThunk(pThis, &Call); }
    HOOKPROC GetMouseHookThunk() const { return this->GetThunk(); }

private:
    static LRESULT CALLBACK Call(T* pThis, int nCode, WPARAM wParam, LPARAM lParam)
    {
        return pThis->MouseHookProc(nCode, wParam, lParam);
    }
};

// The call-window-return hook of a balloon: reaches T::CallWndRetHookProc.
template <class T>
class BHCallWndRetHookThunk : public _ThunkImpl<T>
{
protected:
    bool InitCallWndRetThunk(T* pThis) { return this->InitThunk(pThis, &Call); }
    HOOKPROC GetCallWndRetHookThunk() const { return this->GetThunk(); }

private:
    static LRESULT CALLBACK Call(T* pThis, int nCode, WPARAM wParam, LPARAM lParam)
    {
        return pThis->CallWndRetHookProc(nCode, wParam, lParam);
    }
};
