// File security and the program's own account: what the installer folder's lock relies on.
#include <cstring>
#include <optional>
#include <vector>

#include "platform/SecurityRecords.h"
#include "tests/contract/ContractTest.h"

namespace zenthar::contract {
namespace {

using namespace platform;
namespace sec = platform::security;

using SecurityContract = ContractTest;

constexpr std::uint8_t kTree = sec::kObjectInherit | sec::kContainerInherit;

std::optional<sec::Descriptor> ReadSecurity(Platform& platform, const std::string& path)
{
    constexpr Dword kWanted = sec::kOwnerInformation | sec::kDaclInformation;
    Dword needed = 0;
    const Call<bool> size = platform.security.GetFileSecurityA(path.c_str(), kWanted, nullptr, 0, &needed);
    EXPECT_FALSE(size.value);
    EXPECT_EQ(size.error, ERROR_INSUFFICIENT_BUFFER);
    std::vector<std::uint8_t> bytes(needed);
    const Call<bool> read = platform.security.GetFileSecurityA(path.c_str(), kWanted, bytes.data(), needed, &needed);
    EXPECT_TRUE(read.value) << read.error;
    return sec::DecodeSelfRelative(bytes.data(), bytes.size());
}

std::string RunningAccount(Platform& platform)
{
    Handle token = kNoHandle;
    EXPECT_TRUE(platform.security.OpenProcessToken(sec::kTokenQuery, &token).value);
    Dword needed = 0;
    const Call<bool> size = platform.security.GetTokenInformation(token, sec::kTokenUserClass, nullptr, 0, &needed);
    EXPECT_FALSE(size.value);
    EXPECT_EQ(size.error, ERROR_INSUFFICIENT_BUFFER);
    std::vector<std::uint8_t> buffer(needed);
    EXPECT_TRUE(
        platform.security.GetTokenInformation(token, sec::kTokenUserClass, buffer.data(), needed, &needed).value);
    EXPECT_TRUE(platform.kernel.CloseHandle(token).value);
    sec::SidAndAttributes record{};
    std::memcpy(&record, buffer.data(), sizeof record);
    const auto* sid = static_cast<const std::uint8_t*>(record.Sid);
    if (sid < buffer.data() || sid >= buffer.data() + buffer.size()) return {};
    return sec::SidText(sid, static_cast<std::size_t>(buffer.data() + buffer.size() - sid));
}

const std::vector<sec::Ace>& LockedDacl()
{
    static const std::vector<sec::Ace> dacl = {{sec::kAccessAllowed, kTree, sec::kFullControl, sec::kSystem},
                                               {sec::kAccessAllowed, kTree, sec::kFullControl, sec::kAdministrators},
                                               {sec::kAccessAllowed, kTree, sec::kReadAndExecute, sec::kUsers}};
    return dacl;
}

Dword Lock(Platform& platform, const std::string& path)
{
    const sec::Bytes owner = sec::SidBytes(sec::kAdministrators);
    const sec::Bytes dacl = sec::EncodeAcl(LockedDacl());
    return platform.security
        .SetNamedSecurityInfoA(path.c_str(), sec::kFileObject,
                               sec::kOwnerInformation | sec::kDaclInformation | sec::kProtectedDacl, owner.data(),
                               nullptr, dacl.data(), nullptr)
        .value;
}

// Scratch folders stay from one run to the next.
void MakeFolder(Platform& platform, const std::string& path)
{
    const Call<bool> made = platform.files.CreateDirectoryA(path.c_str(), nullptr);
    ASSERT_TRUE(made.value || made.error == ERROR_ALREADY_EXISTS) << made.error;
}

TEST_F(SecurityContract, AFolderHasAnOwnerAndTakesALockedDacl)
{
    const std::string account = RunningAccount(P());
    EXPECT_EQ(account.rfind("S-1-5-", 0), 0u) << account;
    const std::string folder = Join(Scratch(), "Locked");
    MakeFolder(P(), folder);
    const auto made = ReadSecurity(P(), folder);
    ASSERT_TRUE(made);
    // An elevated administrator's folders belong to Administrators, anyone else's to himself.
    EXPECT_TRUE(made->owner == sec::kAdministrators || made->owner == account) << made->owner;
    EXPECT_TRUE(made->daclPresent);

    EXPECT_EQ(Lock(P(), folder), ERROR_SUCCESS);
    const auto locked = ReadSecurity(P(), folder);
    ASSERT_TRUE(locked);
    if (WineDeparts("no DACL is kept: a folder reads back the descriptor of its Unix mode")) {
        EXPECT_EQ(locked->owner, account);
        const std::vector<sec::Ace> unixMode = {{sec::kAccessAllowed, kTree, sec::kFullControl, sec::kSystem},
                                                {sec::kAccessAllowed, kTree, sec::kFullControl, account},
                                                {sec::kAccessAllowed, kTree, sec::kReadAndExecute, sec::kEveryone}};
        EXPECT_EQ(locked->dacl, unixMode);
        return;
    }
    EXPECT_EQ(locked->owner, sec::kAdministrators);
    EXPECT_TRUE(locked->daclProtected);
    EXPECT_EQ(locked->dacl, LockedDacl());
    // What is made in it afterwards inherits the lock.
    const std::string file = Join(folder, "later.txt");
    WriteFileText(file, "x");
    const auto inherited = ReadSecurity(P(), file);
    ASSERT_TRUE(inherited);
    std::vector<sec::Ace> expected = LockedDacl();
    for (sec::Ace& ace : expected) ace.flags = sec::kInherited;
    EXPECT_EQ(inherited->dacl, expected);
}

TEST_F(SecurityContract, TheTreeResetTakesAwayWhatLiesBelowHadOfItsOwn)
{
    const auto advapi = P().modules.GetModuleHandleA("advapi32.dll");
    ASSERT_NE(advapi.value, 0u);
    const ProcAddress treeReset = P().modules.GetProcAddress(advapi.value, "TreeResetNamedSecurityInfoA").value;
    if (WineDeparts("advapi32 has no TreeResetNamedSecurityInfoA")) {
        EXPECT_EQ(treeReset, 0u);
        return;
    }
    ASSERT_NE(treeReset, 0u);
    const std::string folder = Join(Scratch(), "Tree");
    MakeFolder(P(), folder);
    const std::string file = Join(folder, "planted.txt");
    WriteFileText(file, "x");
    const sec::Bytes everyone = sec::EncodeAcl({{sec::kAccessAllowed, 0, sec::kFullControl, sec::kEveryone}});
    ASSERT_EQ(P().security
                  .SetNamedSecurityInfoA(file.c_str(), sec::kFileObject, sec::kDaclInformation, nullptr, nullptr,
                                         everyone.data(), nullptr)
                  .value,
              ERROR_SUCCESS);

    const sec::Bytes owner = sec::SidBytes(sec::kAdministrators);
    const sec::Bytes dacl = sec::EncodeAcl(LockedDacl());
    EXPECT_EQ(
        P().security
            .InvokeTreeResetNamedSecurityInfoA(treeReset, folder.c_str(), sec::kFileObject,
                                               sec::kOwnerInformation | sec::kDaclInformation | sec::kProtectedDacl,
                                               owner.data(), nullptr, dacl.data(), nullptr, false)
            .value,
        ERROR_SUCCESS);
    const auto reset = ReadSecurity(P(), file);
    ASSERT_TRUE(reset);
    EXPECT_EQ(reset->owner, sec::kAdministrators);
    for (const sec::Ace& ace : reset->dacl) EXPECT_NE(ace.sid, sec::kEveryone);
}

}  // namespace
}  // namespace zenthar::contract
