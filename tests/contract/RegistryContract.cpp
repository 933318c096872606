// Keys with a class, typed values and their sizes, enumeration and deletion.
#include <cstring>
#include <set>

#include "tests/contract/ContractTest.h"

namespace zenthar::contract {
namespace {

using namespace platform;

class RegistryContract : public ContractTest {
protected:
    void SetUp() override
    {
        ContractTest::SetUp();
        Dword disposition = 0;
        const Call<Long> created = P().registry.RegCreateKeyExA(kHkeyCurrentUser, OwnKeyPath().c_str(), 0, "ZClass",
                                                                REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                                                &disposition);
        ASSERT_EQ(created.value, 0) << OwnKeyPath();
        ASSERT_NE(key, 0u);
    }
    void TearDown() override
    {
        if (key != 0) P().registry.RegCloseKey(key);
        ContractTest::TearDown();
    }

    Call<Long> Set(const char* name, Dword type, const void* data, Dword size)
    {
        return P().registry.RegSetValueExA(key, name, 0, type, static_cast<const std::uint8_t*>(data), size);
    }

    RegKey key = 0;
};

TEST_F(RegistryContract, CreatingAgainOpensTheKeyWithItsClassAndCounts)
{
    Dword disposition = 0;
    RegKey again = 0;
    ASSERT_EQ(P().registry
                  .RegCreateKeyExA(kHkeyCurrentUser, OwnKeyPath().c_str(), 0, "Other", 0, KEY_ALL_ACCESS, nullptr,
                                   &again, &disposition)
                  .value,
              0);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);

    RegKey child = 0;
    ASSERT_EQ(
        P().registry.RegCreateKeyExA(key, "Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, &disposition).value,
        0);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    const Dword one = 1;
    ASSERT_EQ(Set("One", REG_DWORD, &one, sizeof one).value, 0);

    // The class stays the one given at creation; its length excludes the terminating zero.
    char keyClass[32] = {};
    Dword classLength = sizeof keyClass;
    Dword subKeys = 99;
    Dword values = 99;
    ASSERT_EQ(P().registry.RegQueryInfoKeyA(again, keyClass, &classLength, &subKeys, &values).value, 0);
    const std::string expected = WineDeparts("RegCreateKeyExA of an existing key replaces its class") ? "Other"
                                                                                                      : "ZClass";
    EXPECT_EQ(Text(keyClass), expected);
    EXPECT_EQ(classLength, expected.size());
    EXPECT_EQ(subKeys, 1u);
    EXPECT_EQ(values, 1u);

    EXPECT_EQ(P().registry.RegCloseKey(child).value, 0);
    EXPECT_EQ(P().registry.RegCloseKey(again).value, 0);
}

TEST_F(RegistryContract, StringValueCountsItsTerminatingZeroAndReportsShortBuffers)
{
    const char text[] = "USBPOS0";
    ASSERT_EQ(Set("Port", REG_SZ, text, sizeof text).value, 0);

    Dword type = 0;
    Dword size = 0;
    ASSERT_EQ(P().registry.RegQueryValueExA(key, "Port", nullptr, &type, nullptr, &size).value, 0);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, sizeof text);

    std::uint8_t shortBuffer[4] = {};
    size = sizeof shortBuffer;
    const Call<Long> tooSmall = P().registry.RegQueryValueExA(key, "Port", nullptr, &type, shortBuffer, &size);
    EXPECT_EQ(tooSmall.value, static_cast<Long>(ERROR_MORE_DATA));
    EXPECT_EQ(size, sizeof text) << "the size needed comes back";

    char buffer[32];
    std::memset(buffer, 'x', sizeof buffer);
    size = sizeof buffer;
    ASSERT_EQ(P().registry.RegQueryValueExA(key, "port", nullptr, &type, reinterpret_cast<std::uint8_t*>(buffer), &size)
                  .value,
              0)
        << "value names compare without regard to case";
    EXPECT_EQ(size, sizeof text);
    EXPECT_STREQ(buffer, text);
}

TEST_F(RegistryContract, DwordAndBinaryValuesComeBackByteForByte)
{
    const Dword number = 0x0A0B0C0D;
    ASSERT_EQ(Set("Number", REG_DWORD, &number, sizeof number).value, 0);
    std::vector<std::uint8_t> record(17616);
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<std::uint8_t>(i * 7 + 3);
    ASSERT_EQ(Set("Record", REG_BINARY, record.data(), static_cast<Dword>(record.size())).value, 0);

    Dword type = 0;
    Dword read = 0;
    Dword size = sizeof read;
    ASSERT_EQ(
        P().registry.RegQueryValueExA(key, "Number", nullptr, &type, reinterpret_cast<std::uint8_t*>(&read), &size)
            .value,
        0);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(read, number);

    std::vector<std::uint8_t> back(record.size() + 16, 0);
    size = static_cast<Dword>(back.size());
    ASSERT_EQ(P().registry.RegQueryValueExA(key, "Record", nullptr, &type, back.data(), &size).value, 0);
    EXPECT_EQ(type, REG_BINARY);
    ASSERT_EQ(size, record.size());
    back.resize(size);
    EXPECT_EQ(back, record);

    // Writing a value again replaces it, type and all.
    const char text[] = "x";
    ASSERT_EQ(Set("Number", REG_SZ, text, sizeof text).value, 0);
    size = 0;
    ASSERT_EQ(P().registry.RegQueryValueExA(key, "Number", nullptr, &type, nullptr, &size).value, 0);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 2u);

    EXPECT_EQ(P().registry.RegQueryValueExA(key, "Missing", nullptr, &type, nullptr, &size).value,
              static_cast<Long>(ERROR_FILE_NOT_FOUND));
}

TEST_F(RegistryContract, EnumerationListsEveryValueThenEnds)
{
    const Dword zero = 0;
    const std::set<std::string> names = {"Alpha", "Beta", "Gamma Delta"};
    for (const std::string& name : names) ASSERT_EQ(Set(name.c_str(), REG_DWORD, &zero, sizeof zero).value, 0);

    std::set<std::string> seen;
    Dword index = 0;
    for (;; ++index) {
        char name[64] = {};
        Dword nameLength = sizeof name;
        Dword type = 0;
        std::uint8_t data[8] = {};
        Dword size = sizeof data;
        const Call<Long> result =
            P().registry.RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &size);
        if (result.value == static_cast<Long>(ERROR_NO_MORE_ITEMS)) break;
        ASSERT_EQ(result.value, 0) << "index " << index;
        EXPECT_EQ(nameLength, std::strlen(name)) << "the name's length excludes its terminating zero";
        EXPECT_EQ(type, REG_DWORD);
        EXPECT_EQ(size, 4u);
        seen.insert(name);
        ASSERT_LT(index, 10u);
    }
    EXPECT_EQ(index, names.size());
    EXPECT_EQ(seen, names);

    char shortName[3] = {};
    Dword nameLength = sizeof shortName;
    EXPECT_EQ(P().registry.RegEnumValueA(key, 0, shortName, &nameLength, nullptr, nullptr, nullptr, nullptr).value,
              static_cast<Long>(ERROR_MORE_DATA));
}

TEST_F(RegistryContract, DeletedKeyCannotBeOpenedAndMissingKeysAreNotFound)
{
    RegKey child = 0;
    Dword disposition = 0;
    ASSERT_EQ(
        P().registry.RegCreateKeyExA(key, "Doomed", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, &disposition).value,
        0);
    P().registry.RegCloseKey(child);

    RegKey opened = 0;
    ASSERT_EQ(P().registry.RegOpenKeyExA(key, "doomed", 0, KEY_READ, &opened).value, 0);
    P().registry.RegCloseKey(opened);

    EXPECT_EQ(P().registry.RegDeleteKeyA(key, "Doomed").value, 0);
    const Call<Long> reopen = P().registry.RegOpenKeyExA(key, "Doomed", 0, KEY_READ, &opened);
    EXPECT_EQ(reopen.value, static_cast<Long>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(reopen.error, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(P().registry.RegDeleteKeyA(key, "Doomed").value, static_cast<Long>(ERROR_FILE_NOT_FOUND));

    EXPECT_EQ(
        P().registry.RegOpenKeyExA(kHkeyLocalMachine, "SOFTWARE\\Zenthar No Such Key\\Below", 0, KEY_READ, &opened)
            .value,
        static_cast<Long>(ERROR_FILE_NOT_FOUND));
}

TEST_F(RegistryContract, DeletedValueIsGoneAndAMissingOneIsNotFound)
{
    const std::uint8_t data[] = {'x', 0};
    ASSERT_EQ(P().registry.RegSetValueExA(key, "Doomed Value", 0, REG_SZ, data, sizeof data).value, 0);
    EXPECT_EQ(P().registry.RegDeleteValueA(key, "doomed value").value, 0);
    Dword size = 0;
    EXPECT_EQ(P().registry.RegQueryValueExA(key, "Doomed Value", nullptr, nullptr, nullptr, &size).value,
              static_cast<Long>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(P().registry.RegDeleteValueA(key, "Doomed Value").value, static_cast<Long>(ERROR_FILE_NOT_FOUND));
}

TEST_F(RegistryContract, KeyWithSubKeysIsNotDeleted)
{
    RegKey child = 0;
    RegKey grandChild = 0;
    ASSERT_EQ(
        P().registry.RegCreateKeyExA(key, "Parent\\Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &grandChild, nullptr)
            .value,
        0);
    P().registry.RegCloseKey(grandChild);
    const Call<Long> removal = P().registry.RegDeleteKeyA(key, "Parent");
    EXPECT_EQ(removal.value, static_cast<Long>(ERROR_ACCESS_DENIED));
    ASSERT_EQ(P().registry.RegOpenKeyExA(key, "Parent\\Child", 0, KEY_READ, &child).value, 0);
    P().registry.RegCloseKey(child);
}

}  // namespace
}  // namespace zenthar::contract
