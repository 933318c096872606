// File security and the program's own account, forwarded to ADVAPI32.
// clang-format off
// The conversions first: they declare the class before <windows.h> can rename its operations.
#include "platform/win32/Win32Conversions.h"
#include <aclapi.h>
// clang-format on

#include <cstddef>

#include "platform/SecurityRecords.h"

namespace zenthar::win32 {

using namespace detail;
using platform::Call;
using platform::Dword;
using platform::Handle;

static_assert(sizeof(platform::security::SidAndAttributes) == sizeof(SID_AND_ATTRIBUTES));
static_assert(offsetof(platform::security::SidAndAttributes, Attributes) == offsetof(SID_AND_ATTRIBUTES, Attributes));
static_assert(platform::security::kProtectedDacl == PROTECTED_DACL_SECURITY_INFORMATION);
static_assert(platform::security::kFileObject == SE_FILE_OBJECT);

namespace {

PSID Sid(const std::uint8_t* bytes)
{
    return const_cast<std::uint8_t*>(bytes);
}
PACL Acl(const std::uint8_t* bytes)
{
    return reinterpret_cast<PACL>(const_cast<std::uint8_t*>(bytes));
}

}  // namespace

Call<bool> Win32Platform::GetFileSecurityA(const char* fileName, Dword requestedInformation, std::uint8_t* descriptor,
                                           Dword length, Dword* lengthNeeded)
{
    DWORD needed = 0;
    const Call<bool> result = BoolCall(::GetFileSecurityA(fileName, requestedInformation, descriptor, length, &needed));
    if (lengthNeeded) *lengthNeeded = needed;
    return result;
}

Call<Dword> Win32Platform::SetNamedSecurityInfoA(const char* objectName, Dword objectType, Dword securityInfo,
                                                 const std::uint8_t* owner, const std::uint8_t* group,
                                                 const std::uint8_t* dacl, const std::uint8_t* sacl)
{
    const DWORD status = ::SetNamedSecurityInfoA(Writable(objectName), static_cast<SE_OBJECT_TYPE>(objectType),
                                                 securityInfo, Sid(owner), Sid(group), Acl(dacl), Acl(sacl));
    return {status, status};
}

Call<Dword> Win32Platform::InvokeTreeResetNamedSecurityInfoA(ProcAddress function, const char* objectName,
                                                             Dword objectType, Dword securityInfo,
                                                             const std::uint8_t* owner, const std::uint8_t* group,
                                                             const std::uint8_t* dacl, const std::uint8_t* sacl,
                                                             bool keepExplicit)
{
    // Without a progress function: the callback's type and the invoke setting are then unused.
    using TreeResetFunction =
        DWORD(WINAPI*)(LPSTR, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID, PSID, PACL, PACL, BOOL, void*, int, PVOID);
    const DWORD status = ToFunction<TreeResetFunction>(function)(
        Writable(objectName), static_cast<SE_OBJECT_TYPE>(objectType), securityInfo, Sid(owner), Sid(group), Acl(dacl),
        Acl(sacl), keepExplicit ? TRUE : FALSE, nullptr, 1 /* ProgressInvokeNever */, nullptr);
    return {status, status};
}

Call<bool> Win32Platform::OpenProcessToken(Dword desiredAccess, Handle* token)
{
    HANDLE opened = nullptr;
    const Call<bool> result = BoolCall(::OpenProcessToken(::GetCurrentProcess(), desiredAccess, &opened));
    if (token) *token = result.value ? FromHandle(opened) : platform::kNoHandle;
    return result;
}

Call<bool> Win32Platform::GetTokenInformation(Handle token, Dword informationClass, std::uint8_t* buffer, Dword length,
                                              Dword* returnLength)
{
    DWORD returned = 0;
    const Call<bool> result = BoolCall(::GetTokenInformation(
        ToHandle(token), static_cast<TOKEN_INFORMATION_CLASS>(informationClass), buffer, length, &returned));
    if (returnLength) *returnLength = returned;
    return result;
}

}  // namespace zenthar::win32
