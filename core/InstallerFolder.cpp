#include "core/InstallerFolder.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "core/Owners.h"
#include "platform/Constants.h"
#include "platform/SecurityRecords.h"
#include "resources/InstallerWords.h"

namespace zenthar {

namespace sec = platform::security;

namespace {

constexpr platform::Dword kReparsePoint = 0x400;  // FILE_ATTRIBUTE_REPARSE_POINT
constexpr const char* kTrustedOwners[] = {sec::kSystem, sec::kAdministrators, sec::kTrustedInstaller};
// Who may keep a right to change the folder: the trusted owners, and the owner of what is made
// in it (whoever that is, the owner check holds them to the same set).
constexpr const char* kTrustedWriters[] = {sec::kSystem, sec::kAdministrators, sec::kTrustedInstaller,
                                           sec::kCreatorOwner};

std::string Quoted()
{
    return std::string("\"") + kInstallerFolder + "\"";
}

bool OneOf(const std::string& sid, const auto& set)
{
    return std::any_of(std::begin(set), std::end(set), [&](const char* each) { return sid == each; });
}

// The account this program runs as, or empty when the token cannot be read.
std::string RunningAccount(platform::Platform& platform)
{
    platform::Handle token = platform::kNoHandle;
    if (!platform.security.OpenProcessToken(sec::kTokenQuery, &token).value) return {};
    const HandleOwner tokenOwner(platform.kernel, token);
    platform::Dword needed = 0;
    platform.security.GetTokenInformation(token, sec::kTokenUserClass, nullptr, 0, &needed);
    if (needed < sizeof(sec::SidAndAttributes) || needed > 4096) return {};
    std::vector<std::uint8_t> buffer(needed);
    if (!platform.security.GetTokenInformation(token, sec::kTokenUserClass, buffer.data(), needed, &needed).value)
        return {};
    sec::SidAndAttributes record{};
    std::memcpy(&record, buffer.data(), sizeof record);
    // The record points into the same buffer: read the SID only from there.
    const auto* sid = static_cast<const std::uint8_t*>(record.Sid);
    if (sid < buffer.data() || sid >= buffer.data() + buffer.size()) return {};
    return sec::SidText(sid, static_cast<std::size_t>(buffer.data() + buffer.size() - sid));
}

// What the folder is now: its descriptor, or why it is not there to judge.
struct Survey {
    enum class State { Read, Missing, NoFileSecurity, Refused } state = State::Read;
    std::string reason;
    sec::Descriptor descriptor;
};

Survey SurveyFolder(platform::Platform& platform)
{
    Survey survey;
    const auto attributes = platform.files.GetFileAttributesA(kInstallerFolder);
    if (attributes.value == platform::INVALID_FILE_ATTRIBUTES) {
        const bool missing = attributes.error == platform::ERROR_FILE_NOT_FOUND ||
                             attributes.error == platform::ERROR_PATH_NOT_FOUND;
        survey.state = missing ? Survey::State::Missing : Survey::State::Refused;
        survey.reason = resources::Say(resources::Words::FolderAttributesUnread, attributes.error);
        return survey;
    }
    survey.state = Survey::State::Refused;
    if (attributes.value & kReparsePoint) {
        survey.reason = resources::Text(resources::Words::FolderIsLink);
        return survey;
    }
    if (!(attributes.value & platform::FILE_ATTRIBUTE_DIRECTORY)) {
        survey.reason = resources::Text(resources::Words::FolderIsFile);
        return survey;
    }
    constexpr platform::Dword kWanted = sec::kOwnerInformation | sec::kDaclInformation;
    platform::Dword needed = 0;
    auto read = platform.security.GetFileSecurityA(kInstallerFolder, kWanted, nullptr, 0, &needed);
    std::vector<std::uint8_t> bytes;
    if (!read.value && read.error == platform::ERROR_INSUFFICIENT_BUFFER && needed > 0 && needed <= 65536) {
        bytes.resize(needed);
        read = platform.security.GetFileSecurityA(kInstallerFolder, kWanted, bytes.data(), needed, &needed);
    }
    if (!read.value) {
        if (read.error == sec::kErrorCallNotImplemented) survey.state = Survey::State::NoFileSecurity;
        survey.reason = resources::Say(resources::Words::FolderSecurityUnread, read.error);
        return survey;
    }
    const auto descriptor = sec::DecodeSelfRelative(bytes.data(), std::min<std::size_t>(needed, bytes.size()));
    if (!descriptor || descriptor->owner.empty()) {
        survey.reason = resources::Text(resources::Words::FolderWithoutOwner);
        return survey;
    }
    survey.state = Survey::State::Read;
    survey.descriptor = *descriptor;
    return survey;
}

// Why the owner is not one the folder may have; none when it is.
std::optional<std::string> ForeignOwner(platform::Platform& platform, const std::string& owner,
                                        std::optional<std::string>& account)
{
    if (OneOf(owner, kTrustedOwners)) return std::nullopt;
    if (!account) account = RunningAccount(platform);
    if (!account->empty() && owner == *account) return std::nullopt;
    return resources::Say(resources::Words::FolderForeignOwner, owner);
}

// Sets the locked security; what failed, none when it is set.
std::optional<std::string> SetLockedSecurity(platform::Platform& platform, bool& wholeTree)
{
    constexpr std::uint8_t kTree = sec::kObjectInherit | sec::kContainerInherit;
    const sec::Bytes owner = sec::SidBytes(sec::kAdministrators);
    const sec::Bytes dacl = sec::EncodeAcl({{sec::kAccessAllowed, kTree, sec::kFullControl, sec::kSystem},
                                            {sec::kAccessAllowed, kTree, sec::kFullControl, sec::kAdministrators},
                                            {sec::kAccessAllowed, kTree, sec::kReadAndExecute, sec::kUsers}});
    constexpr platform::Dword kInformation = sec::kOwnerInformation | sec::kDaclInformation | sec::kProtectedDacl;
    // Never a missing owner or a null DACL, which would let everyone in.
    if (owner.empty() || dacl.empty()) return resources::Text(resources::Words::LockSecurityNotMade);
    platform::ProcAddress treeReset = 0;
    if (const auto advapi = platform.modules.GetModuleHandleA("advapi32.dll"); advapi.value != 0)
        treeReset = platform.modules.GetProcAddress(advapi.value, "TreeResetNamedSecurityInfoA").value;
    wholeTree = treeReset != 0;
    if (treeReset) {
        const auto reset = platform.security.InvokeTreeResetNamedSecurityInfoA(
            treeReset, kInstallerFolder, sec::kFileObject, kInformation, owner.data(), nullptr, dacl.data(), nullptr,
            false);
        if (reset.value == platform::ERROR_SUCCESS) return std::nullopt;
        // A system that names the call but has it do nothing still sets the folder itself.
        if (reset.value != sec::kErrorCallNotImplemented)
            return resources::Say(resources::Words::LockCallFailed, "TreeResetNamedSecurityInfoA", reset.value);
        wholeTree = false;
    }
    const auto set = platform.security.SetNamedSecurityInfoA(kInstallerFolder, sec::kFileObject, kInformation,
                                                             owner.data(), nullptr, dacl.data(), nullptr);
    if (set.value == platform::ERROR_SUCCESS) return std::nullopt;
    return resources::Say(resources::Words::LockCallFailed, "SetNamedSecurityInfoA", set.value);
}

}  // namespace

FolderLock LockInstallerFolder(platform::Platform& platform)
{
    const Survey survey = SurveyFolder(platform);
    switch (survey.state) {
    case Survey::State::Missing: return {false, resources::Say(resources::Words::FolderMissing, Quoted())};
    case Survey::State::NoFileSecurity:
        return {false, resources::Say(resources::Words::FolderWithoutSecurity, Quoted())};
    case Survey::State::Refused: return {true, survey.reason};
    case Survey::State::Read: break;
    }
    std::optional<std::string> account;
    if (auto foreign = ForeignOwner(platform, survey.descriptor.owner, account)) return {true, *foreign};
    bool wholeTree = false;
    if (const auto failed = SetLockedSecurity(platform, wholeTree))
        return {true, resources::Say(resources::Words::FolderNotLockable, *failed)};
    return {false, resources::Say(resources::Words::FolderLocked, Quoted()) +
                       (wholeTree ? "" : resources::Text(resources::Words::FolderLockedItselfOnly))};
}

std::optional<std::string> InstallerFolderDifference(platform::Platform& platform)
{
    const Survey survey = SurveyFolder(platform);
    switch (survey.state) {
    case Survey::State::Missing:
    case Survey::State::NoFileSecurity: return std::nullopt;
    case Survey::State::Refused: return resources::Say(resources::Words::FolderNotLocked, Quoted(), survey.reason);
    case Survey::State::Read: break;
    }
    std::optional<std::string> account;
    if (auto foreign = ForeignOwner(platform, survey.descriptor.owner, account))
        return resources::Say(resources::Words::FolderNotLocked, Quoted(), *foreign);
    for (const sec::Ace& ace : survey.descriptor.dacl) {
        if (ace.type != sec::kAccessAllowed || !(ace.mask & sec::kChangingRights) || OneOf(ace.sid, kTrustedWriters))
            continue;
        if (!account) account = RunningAccount(platform);
        if (!account->empty() && ace.sid == *account) continue;
        return resources::Say(resources::Words::FolderNotLocked, Quoted(),
                              resources::Say(resources::Words::FolderOthersMayChange, ace.sid));
    }
    return std::nullopt;
}

std::string FolderRefusalText(const std::string& reason, const char* notDone)
{
    return resources::Say(resources::Words::FolderRefused, Quoted(), reason, notDone);
}

}  // namespace zenthar
