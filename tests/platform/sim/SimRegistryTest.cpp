#include "SimSupport.h"

namespace zenthar::sim::test {
namespace {

const char* const kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix Printer 4.64";

struct SimRegistryTest : ::testing::Test {
    SimMachine machine{Profiles::Windows10x86()};
    Registry& registry = machine.platform().registry;

    RegKey Create(const char* path, const char* keyClass = nullptr, Dword* disposition = nullptr,
                  Dword access = KEY_ALL_ACCESS)
    {
        RegKey key = 0;
        EXPECT_EQ(registry
                      .RegCreateKeyExA(kHkeyLocalMachine, path, 0, keyClass, REG_OPTION_NON_VOLATILE, access, nullptr,
                                       &key, disposition)
                      .value,
                  0);
        return key;
    }
};

TEST_F(SimRegistryTest, CreateMakesTheWholePathOnceAndNamesIgnoreCase)
{
    Dword disposition = 0;
    RegKey key = Create(kUninstall, "REG_BINARY", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(registry.RegCloseKey(key).value, 0);
    EXPECT_EQ(machine.RegistryKeyClass(kHkeyLocalMachine, kUninstall), "REG_BINARY");

    RegKey again = Create("SOFTWARE\\MICROSOFT\\windows\\currentversion\\uninstall\\norva orbix printer 4.64", "other",
                          &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    char keyClass[32] = {};
    Dword classLength = sizeof keyClass;
    Dword subKeys = 9, values = 9;
    EXPECT_EQ(registry.RegQueryInfoKeyA(again, keyClass, &classLength, &subKeys, &values).value, 0);
    EXPECT_STREQ(keyClass, "REG_BINARY") << "opening an existing key keeps its class";
    EXPECT_EQ(classLength, 10u);
    EXPECT_EQ(subKeys, 0u);
    classLength = 4;
    EXPECT_EQ(registry.RegQueryInfoKeyA(again, keyClass, &classLength, nullptr, nullptr).value, ERROR_MORE_DATA);
    registry.RegCloseKey(again);

    RegKey missing = 123;
    EXPECT_EQ(registry.RegOpenKeyExA(kHkeyLocalMachine, "Software\\Nobody", 0, KEY_READ, &missing).value,
              static_cast<Long>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(missing, 0u);
    EXPECT_EQ(
        registry
            .RegCreateKeyExA(kHkeyLocalMachine, "NewHive", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &missing, nullptr)
            .value,
        static_cast<Long>(ERROR_ACCESS_DENIED));
}

TEST_F(SimRegistryTest, ValuesKeepTheirExactBytesAndReportSizes)
{
    RegKey key = Create("SOFTWARE\\Test");
    const std::uint8_t noTerminator[] = {'a', 'b', 'c'};
    ASSERT_EQ(registry.RegSetValueExA(key, "Name", 0, REG_SZ, noTerminator, 3).value, 0);
    const auto name = Sz("NORVA Orbix Printer 4.64");
    ASSERT_EQ(
        registry.RegSetValueExA(key, "DisplayName", 0, REG_SZ, name.data(), static_cast<Dword>(name.size())).value, 0);

    Dword type = 0, size = 4;
    std::uint8_t small[4];
    EXPECT_EQ(registry.RegQueryValueExA(key, "displayname", nullptr, &type, small, &size).value,
              static_cast<Long>(ERROR_MORE_DATA));
    EXPECT_EQ(size, name.size());
    std::vector<std::uint8_t> data(size);
    EXPECT_EQ(registry.RegQueryValueExA(key, "DisplayName", nullptr, &type, data.data(), &size).value, 0);
    EXPECT_EQ(data, name);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(machine.FindRegistryValue(kHkeyLocalMachine, "SOFTWARE\\Test", "Name")->bytes.size(), 3u);
    EXPECT_EQ(registry.RegQueryValueExA(key, "Absent", nullptr, &type, data.data(), &size).value,
              static_cast<Long>(ERROR_FILE_NOT_FOUND));

    char valueName[16];
    Dword nameLength = sizeof valueName;
    size = sizeof small;
    EXPECT_EQ(registry.RegEnumValueA(key, 0, valueName, &nameLength, nullptr, &type, small, &size).value, 0);
    EXPECT_STREQ(valueName, "Name");
    EXPECT_EQ(nameLength, 4u);
    nameLength = 5;
    EXPECT_EQ(registry.RegEnumValueA(key, 1, valueName, &nameLength, nullptr, &type, nullptr, nullptr).value,
              static_cast<Long>(ERROR_MORE_DATA));
    nameLength = sizeof valueName;
    EXPECT_EQ(registry.RegEnumValueA(key, 2, valueName, &nameLength, nullptr, &type, nullptr, nullptr).value,
              static_cast<Long>(ERROR_NO_MORE_ITEMS));
    registry.RegCloseKey(key);
}

TEST_F(SimRegistryTest, HandlesAndAccessRightsAreChecked)
{
    RegKey key = Create("SOFTWARE\\Test\\Child");
    registry.RegCloseKey(key);
    EXPECT_EQ(registry.RegCloseKey(key).value, static_cast<Long>(ERROR_INVALID_HANDLE));
    const Dword one = 1;
    EXPECT_EQ(registry.RegSetValueExA(key, "X", 0, REG_DWORD, reinterpret_cast<const std::uint8_t*>(&one), 4).value,
              static_cast<Long>(ERROR_INVALID_HANDLE));

    RegKey readOnly = 0;
    ASSERT_EQ(registry.RegOpenKeyExA(kHkeyLocalMachine, "SOFTWARE\\Test", 0, KEY_READ, &readOnly).value, 0);
    EXPECT_EQ(
        registry.RegSetValueExA(readOnly, "X", 0, REG_DWORD, reinterpret_cast<const std::uint8_t*>(&one), 4).value,
        static_cast<Long>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(registry.RegDeleteKeyA(readOnly, "").value, static_cast<Long>(ERROR_ACCESS_DENIED))
        << "a key with subkeys stays";
    EXPECT_EQ(registry.RegDeleteKeyA(readOnly, "Child").value, 0);
    EXPECT_EQ(registry.RegDeleteKeyA(readOnly, "Child").value, static_cast<Long>(ERROR_FILE_NOT_FOUND));
    registry.RegCloseKey(readOnly);
    EXPECT_EQ(machine.OpenRegistryKeyCount(), 0u);
}

TEST_F(SimRegistryTest, ThirtyTwoBitProgramOnSixtyFourBitSystemWritesIntoWow6432Node)
{
    SimMachine x64(Profiles::Windows7x64());
    Registry& wowRegistry = x64.platform().registry;
    RegKey key = 0;
    ASSERT_EQ(wowRegistry
                  .RegCreateKeyExA(kHkeyLocalMachine, kUninstall, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)
                  .value,
              0);
    wowRegistry.RegCloseKey(key);
    EXPECT_FALSE(x64.RegistryKeyExists(kHkeyLocalMachine, kUninstall));
    EXPECT_TRUE(x64.RegistryKeyExists(
        kHkeyLocalMachine,
        "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix Printer 4.64"));
    ASSERT_EQ(wowRegistry.RegOpenKeyExA(kHkeyLocalMachine, kUninstall, 0, KEY_READ, &key).value, 0)
        << "reads redirect too";
    wowRegistry.RegCloseKey(key);
    EXPECT_EQ(wowRegistry.RegOpenKeyExA(kHkeyLocalMachine, kUninstall, 0, KEY_READ | KEY_WOW64_64KEY, &key).value,
              static_cast<Long>(ERROR_FILE_NOT_FOUND));

    // SYSTEM is shared by both views.
    ASSERT_EQ(wowRegistry
                  .RegCreateKeyExA(
                      kHkeyLocalMachine,
                      "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\IP_1.1.1.1", 0,
                      nullptr, 0, KEY_WRITE, nullptr, &key, nullptr)
                  .value,
              0);
    wowRegistry.RegCloseKey(key);
    EXPECT_TRUE(x64.RegistryKeyExists(
        kHkeyLocalMachine, "SYSTEM\\ControlSet001\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\IP_1.1.1.1"));
}

TEST_F(SimRegistryTest, CurrentControlSetFollowsTheSelectedSet)
{
    const char* ports = "SYSTEM\\ControlSet001\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";
    RegKey key = 0;
    ASSERT_EQ(registry.RegOpenKeyExA(kHkeyLocalMachine, ports, 0, KEY_WRITE | KEY_QUERY_VALUE, &key).value, 0);
    registry.RegCloseKey(key);
    machine.SetCurrentControlSet(2);
    machine.CreateRegistryKey(kHkeyLocalMachine,
                              "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports");
    machine.DeleteRegistryKey(kHkeyLocalMachine, ports);
    EXPECT_EQ(registry.RegOpenKeyExA(kHkeyLocalMachine, ports, 0, KEY_WRITE | KEY_QUERY_VALUE, &key).value,
              static_cast<Long>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(machine.RegistryKeyExists(kHkeyLocalMachine, "SYSTEM\\ControlSet002\\Control\\Print\\Monitors"));
}

}  // namespace
}  // namespace zenthar::sim::test
