// File security: owners, DACLs with inheritance, and the token's user.
#include "platform/sim/SimSecurity.h"

#include <cstring>

#include "platform/sim/SimBackends.h"

namespace zenthar::sim::detail {

namespace sec = platform::security;

namespace {

constexpr Dword kErrorNoAccess = 998;
constexpr Dword kErrorInvalidAcl = 1336;
constexpr Dword kErrorInvalidSid = 1337;
constexpr Dword kErrorInvalidSecurityDescriptor = 1338;
// The longest SID: eight bytes and fifteen sub-authorities.
constexpr std::size_t kLongestSid = 68;

// What a child takes from one entry of its folder's DACL, if anything.
std::optional<sec::Ace> Passed(const sec::Ace& parent, bool childIsFolder)
{
    const std::uint8_t flags = parent.flags;
    sec::Ace ace = parent;
    if (!childIsFolder) {
        if (!(flags & sec::kObjectInherit)) return std::nullopt;
        ace.flags = sec::kInherited;
        return ace;
    }
    if (flags & sec::kContainerInherit) {
        ace.flags = static_cast<std::uint8_t>(flags & ~sec::kInheritOnly);
        if (flags & sec::kNoPropagateInherit)
            ace.flags &=
                static_cast<std::uint8_t>(~(sec::kObjectInherit | sec::kContainerInherit | sec::kNoPropagateInherit));
    } else if (flags & sec::kObjectInherit) {
        // Only for the files below: it passes through the folder without applying to it.
        if (flags & sec::kNoPropagateInherit) return std::nullopt;
        ace.flags = static_cast<std::uint8_t>(flags | sec::kInheritOnly);
    } else {
        return std::nullopt;
    }
    ace.flags |= sec::kInherited;
    return ace;
}

std::vector<sec::Ace> Explicit(std::vector<sec::Ace> aces)
{
    std::erase_if(aces, [](const sec::Ace& ace) { return (ace.flags & sec::kInherited) != 0; });
    return aces;
}

}  // namespace

void InstallDefaultSecurity(Core& core)
{
    const bool vista = core.profile.majorVersion >= 6;
    const std::string systemOwner = vista ? sec::kTrustedInstaller : sec::kSystem;
    constexpr std::uint8_t kTree = sec::kObjectInherit | sec::kContainerInherit;
    if (FsEntry* root = core.FindEntry("C:\\")) {
        root->owner = systemOwner;
        root->daclProtected = true;
        root->explicitAces = {
            {sec::kAccessAllowed, kTree, sec::kFullControl, sec::kAdministrators},
            {sec::kAccessAllowed, kTree, sec::kFullControl, sec::kSystem},
            {sec::kAccessAllowed, kTree, sec::kReadAndExecute, sec::kUsers},
            {sec::kAccessAllowed, kTree | sec::kInheritOnly, sec::kModify, sec::kAuthenticatedUsers},
            {sec::kAccessAllowed, 0, sec::kCreateFoldersAndAppend, sec::kAuthenticatedUsers},
        };
    }
    if (FsEntry* windows = core.FindEntry(Upper(core.WindowsDirectory()))) {
        windows->owner = systemOwner;
        windows->daclProtected = true;
        windows->explicitAces = {
            {sec::kAccessAllowed, kTree, sec::kFullControl, sec::kSystem},
            {sec::kAccessAllowed, kTree, sec::kFullControl, sec::kAdministrators},
            {sec::kAccessAllowed, kTree, sec::kReadAndExecute, sec::kUsers},
            {sec::kAccessAllowed, kTree | sec::kInheritOnly, sec::kFullControl, sec::kCreatorOwner},
        };
    }
}

std::string OwnerOf(const Core& core, const std::string& key)
{
    const FsEntry* entry = core.FindEntry(key);
    if (!entry) return {};
    return entry->owner.empty() ? core.profile.defaultOwnerSid : entry->owner;
}

std::vector<sec::Ace> DaclOf(const Core& core, const std::string& key)
{
    const FsEntry* entry = core.FindEntry(key);
    if (!entry) return {};
    std::vector<sec::Ace> dacl = entry->explicitAces;
    const std::string parent = Core::ParentKey(key);
    if (entry->daclProtected || parent.empty()) return dacl;
    for (const sec::Ace& ace : DaclOf(core, parent))
        if (auto passed = Passed(ace, entry->directory)) dacl.push_back(*passed);
    return dacl;
}

Call<bool> SimSecurity::GetFileSecurityA(const char* fileName, Dword requestedInformation, std::uint8_t* descriptor,
                                         Dword length, Dword* lengthNeeded)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetFileSecurityA")) return Failed(false, *fault);
    if (core.profile.Is9x()) return Failed(false, sec::kErrorCallNotImplemented);
    if (!fileName) return Failed(false, ERROR_INVALID_PARAMETER);
    if (!lengthNeeded) return Failed(false, kErrorNoAccess);
    const std::string key = core.Key(fileName, true);
    const FsEntry* entry = core.FindEntry(key);
    if (!entry) return Failed(false, core.MissingError(key));
    sec::Descriptor record;
    if (requestedInformation & sec::kOwnerInformation) record.owner = OwnerOf(core, key);
    if (requestedInformation & sec::kGroupInformation) record.group = sec::kSystem;
    if (requestedInformation & sec::kDaclInformation) {
        record.daclPresent = true;
        record.daclProtected = entry->daclProtected;
        record.dacl = DaclOf(core, key);
    }
    const sec::Bytes bytes = sec::EncodeSelfRelative(record);
    if (bytes.empty()) return Failed(false, kErrorInvalidSecurityDescriptor);
    *lengthNeeded = static_cast<Dword>(bytes.size());
    if (!descriptor || length < bytes.size()) return Failed(false, ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(descriptor, bytes.data(), bytes.size());
    return Ok(true);
}

Dword SimSecurity::Apply(const char* objectName, Dword objectType, Dword securityInfo, const std::uint8_t* owner,
                         const std::uint8_t* dacl, bool tree, bool keepExplicit)
{
    if (core.profile.Is9x()) return sec::kErrorCallNotImplemented;
    if (!objectName || objectType != sec::kFileObject) return ERROR_INVALID_PARAMETER;
    const std::string key = core.Key(objectName, true);
    FsEntry* entry = core.FindEntry(key);
    if (!entry) return core.MissingError(key);
    std::string ownerText;
    if (securityInfo & sec::kOwnerInformation) {
        ownerText = sec::SidText(owner, kLongestSid);
        if (ownerText.empty()) return kErrorInvalidSid;
    }
    std::optional<std::vector<sec::Ace>> aces;
    if (securityInfo & sec::kDaclInformation) {
        // A null DACL lets everyone do anything.
        aces = dacl ? sec::DecodeAcl(dacl, sec::detail::GetWord(dacl + 2))
                    : std::vector<sec::Ace>{{sec::kAccessAllowed, 0, sec::kFullControl, sec::kEveryone}};
        if (!aces) return kErrorInvalidAcl;
    }
    if (!ownerText.empty()) entry->owner = ownerText;
    if (aces) {
        entry->explicitAces = Explicit(*aces);
        entry->daclProtected = (securityInfo & sec::kProtectedDacl) != 0;
    }
    // Below it, inheritance does the rest (what the folder passes on is read through it);
    // a reset of the tree also takes away what each one below had of its own.
    if (!tree) return ERROR_SUCCESS;
    const std::string prefix = key + "\\";
    for (auto& [other, below] : core.files) {
        if (other.rfind(prefix, 0) != 0) continue;
        if (!ownerText.empty()) below.owner = ownerText;
        if (aces && !keepExplicit) {
            below.explicitAces.clear();
            below.daclProtected = false;
        }
    }
    return ERROR_SUCCESS;
}

Call<Dword> SimSecurity::SetNamedSecurityInfoA(const char* objectName, Dword objectType, Dword securityInfo,
                                               const std::uint8_t* owner, const std::uint8_t*, const std::uint8_t* dacl,
                                               const std::uint8_t*)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("SetNamedSecurityInfoA")) return {*fault, *fault};
    const Dword status = Apply(objectName, objectType, securityInfo, owner, dacl, false, false);
    return {status, status};
}

Call<Dword> SimSecurity::InvokeTreeResetNamedSecurityInfoA(ProcAddress function, const char* objectName,
                                                           Dword objectType, Dword securityInfo,
                                                           const std::uint8_t* owner, const std::uint8_t*,
                                                           const std::uint8_t* dacl, const std::uint8_t*,
                                                           bool keepExplicit)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("TreeResetNamedSecurityInfoA")) return {*fault, *fault};
    if (!core.CheckProc(function, Export::TreeResetNamedSecurityInfoA, "TreeResetNamedSecurityInfoA"))
        return {ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER};
    const Dword status = Apply(objectName, objectType, securityInfo, owner, dacl, true, keepExplicit);
    return {status, status};
}

Call<bool> SimSecurity::OpenProcessToken(Dword, Handle* token)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("OpenProcessToken")) return Failed(false, *fault);
    if (core.profile.Is9x()) return Failed(false, sec::kErrorCallNotImplemented);
    if (!token) return Failed(false, kErrorNoAccess);
    HandleEntry entry;
    entry.kind = HandleKind::Token;
    *token = core.NewHandle(std::move(entry));
    return Ok(true);
}

Call<bool> SimSecurity::GetTokenInformation(Handle token, Dword informationClass, std::uint8_t* buffer, Dword length,
                                            Dword* returnLength)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetTokenInformation")) return Failed(false, *fault);
    if (!core.FindHandle(token, {HandleKind::Token})) return Failed(false, ERROR_INVALID_HANDLE);
    if (informationClass != sec::kTokenUserClass) return Failed(false, ERROR_INVALID_PARAMETER);
    if (!returnLength) return Failed(false, kErrorNoAccess);
    const sec::Bytes sid = sec::SidBytes(core.profile.accountSid);
    const std::size_t size = sizeof(sec::SidAndAttributes) + sid.size();
    *returnLength = static_cast<Dword>(size);
    if (!buffer || length < size) return Failed(false, ERROR_INSUFFICIENT_BUFFER);
    // The record points at the SID right behind it, as Windows lays it out.
    sec::SidAndAttributes record{buffer + sizeof(sec::SidAndAttributes), 0};
    std::memcpy(buffer, &record, sizeof record);
    std::memcpy(buffer + sizeof record, sid.data(), sid.size());
    return Ok(true);
}

}  // namespace zenthar::sim::detail
