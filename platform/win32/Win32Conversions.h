// Conversions between the platform's plain values and Windows' own types, for the backend's
// source files only (it brings in <windows.h>).
#pragma once

// Before <windows.h>, whose macros would otherwise rename operations of the class.
#include "platform/win32/Win32Platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winspool.h>

// <windows.h> renames RemoveDirectory to RemoveDirectoryA, which would hide the Files
// operation of that name.
#undef RemoveDirectory

namespace zenthar::win32::detail {

inline HANDLE ToHandle(platform::Handle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}
inline platform::Handle FromHandle(HANDLE handle)
{
    return reinterpret_cast<platform::Handle>(handle);
}
// The predefined keys are 32-bit numbers that Windows widens with their sign on 64-bit
// targets (HKEY_LOCAL_MACHINE is ...FFFF80000002 there); the platform carries them unwidened.
inline HKEY ToKey(platform::RegKey key)
{
    constexpr platform::RegKey kFirstPredefined = 0x80000000u;
    constexpr platform::RegKey kLastPredefined = 0x800000FFu;
    if (key >= kFirstPredefined && key <= kLastPredefined) {
        return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(static_cast<DWORD>(key))));
    }
    return reinterpret_cast<HKEY>(key);
}
inline SC_HANDLE ToService(platform::Handle handle)
{
    return reinterpret_cast<SC_HANDLE>(handle);
}
inline HMODULE ToModule(platform::ModuleHandle module)
{
    return reinterpret_cast<HMODULE>(module);
}

// A ProcAddress as the function type the caller says it is. Going through the integer keeps
// the compiler from comparing the type with FARPROC's.
template <class Function>
Function ToFunction(platform::ProcAddress address)
{
    return reinterpret_cast<Function>(address);
}

// Windows' BOOL and a last-error number taken at once after the call that produced it.
inline platform::Call<bool> BoolCall(BOOL result)
{
    return {result != FALSE, ::GetLastError()};
}

// The registry and printer-data calls return their status instead of setting the last error.
inline platform::Call<platform::Long> StatusCall(LONG status)
{
    return {static_cast<platform::Long>(status), static_cast<platform::Dword>(status)};
}

// Windows declares most input-only pointers as writable; the platform keeps them const.
inline LPSTR Writable(const char* text)
{
    return const_cast<LPSTR>(text);
}
inline LPBYTE WritableBytes(const void* data)
{
    return static_cast<LPBYTE>(const_cast<void*>(data));
}

}  // namespace zenthar::win32::detail
