// File security on the simulated disk, and the program's own account.
//
// Wine keeps no DACL (as measured in a prefix here): SetNamedSecurityInfoA answers success and
// GetFileSecurityA then reads back the descriptor made from the Unix mode, owner the prefix's
// user (S-1-5-21-0-0-0-1000), full control for SYSTEM and that user, read and execute for
// Everyone; Wine 8's advapi32 has no TreeResetNamedSecurityInfoA. This model is Windows': who
// may change a folder is proven here.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/SecurityRecords.h"
#include "platform/sim/SimText.h"

namespace zenthar::sim::detail {

class Core;

// C:\ and the Windows folder with the security a fresh installation gives them.
void InstallDefaultSecurity(Core& core);
// By the disk's key (upper case, absolute).
std::string OwnerOf(const Core& core, const std::string& key);
std::vector<platform::security::Ace> DaclOf(const Core& core, const std::string& key);

class SimSecurity final : public platform::Security {
public:
    explicit SimSecurity(Core& core) : core(core) {}
    Call<bool> GetFileSecurityA(const char* fileName, Dword requestedInformation, std::uint8_t* descriptor,
                                Dword length, Dword* lengthNeeded) override;
    Call<Dword> SetNamedSecurityInfoA(const char* objectName, Dword objectType, Dword securityInfo,
                                      const std::uint8_t* owner, const std::uint8_t* group, const std::uint8_t* dacl,
                                      const std::uint8_t* sacl) override;
    Call<Dword> InvokeTreeResetNamedSecurityInfoA(ProcAddress function, const char* objectName, Dword objectType,
                                                  Dword securityInfo, const std::uint8_t* owner,
                                                  const std::uint8_t* group, const std::uint8_t* dacl,
                                                  const std::uint8_t* sacl, bool keepExplicit) override;
    Call<bool> OpenProcessToken(Dword desiredAccess, Handle* token) override;
    Call<bool> GetTokenInformation(Handle token, Dword informationClass, std::uint8_t* buffer, Dword length,
                                   Dword* returnLength) override;

private:
    Dword Apply(const char* objectName, Dword objectType, Dword securityInfo, const std::uint8_t* owner,
                const std::uint8_t* dacl, bool tree, bool keepExplicit);
    Core& core;
};

}  // namespace zenthar::sim::detail
