#include "tests/contract/ContractTest.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace zenthar::contract {

using namespace platform;

namespace {

constexpr const char* kScratchRoot = "C:\\zenthar-contract";
constexpr const char* kKeyRoot = "Software\\ZentharContract";

std::vector<std::string>& Departures()
{
    static std::vector<std::string> departures;
    return departures;
}

// Prints the departures once every test has run, in a form that can be cut out of the log.
class DepartureReport : public ::testing::Environment {
public:
    void TearDown() override
    {
        if (Departures().empty()) return;
        std::printf("Wine departures met (%zu):\n", Departures().size());
        for (const std::string& departure : Departures()) std::printf("wine-departs: %s\n", departure.c_str());
    }
};

const ::testing::Environment* const kReport = ::testing::AddGlobalTestEnvironment(new DepartureReport);

std::string TestName()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

// Wine makes itself known by an export of its ntdll that Windows does not have.
bool DetectWine(Platform& platform)
{
    const Call<ModuleHandle> ntdll = platform.modules.GetModuleHandleA("ntdll.dll");
    if (ntdll.value == 0) return false;
    return platform.modules.GetProcAddress(ntdll.value, "wine_get_version").value != 0;
}

}  // namespace

const std::vector<std::string>& WineDepartures()
{
    return Departures();
}

void ContractTest::SetUp()
{
    platform = MakePlatform();
    ASSERT_NE(platform, nullptr);
    underWine = DetectWine(*platform);
    char directory[kPathLength] = {};
    const Call<Dword> length = P().files.GetCurrentDirectoryA(sizeof directory, directory);
    if (length.value > 0 && length.value < sizeof directory) savedDirectory = directory;
}

void ContractTest::TearDown()
{
    if (!savedDirectory.empty()) P().files.SetCurrentDirectoryA(savedDirectory.c_str());
}

bool ContractTest::WineDeparts(const std::string& departure)
{
    if (!underWine) return false;
    if (std::find(Departures().begin(), Departures().end(), departure) == Departures().end()) {
        Departures().push_back(departure);
    }
    RecordProperty("wine_departs", departure);
    return true;
}

const std::string& ContractTest::Scratch()
{
    if (scratch.empty()) {
        P().files.CreateDirectoryA(kScratchRoot, nullptr);
        const std::string directory = Join(kScratchRoot, TestName());
        const Call<bool> created = P().files.CreateDirectoryA(directory.c_str(), nullptr);
        EXPECT_TRUE(created.value || created.error == ERROR_ALREADY_EXISTS)
            << directory << " could not be made, error " << created.error;
        scratch = directory;
    }
    return scratch;
}

std::string ContractTest::OwnKeyPath() const
{
    return std::string(kKeyRoot) + "\\" + TestName();
}

void ContractTest::WriteFileText(const std::string& path, const std::string& text)
{
    const Call<Handle> file =
        P().io.CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, kNoHandle);
    ASSERT_NE(file.value, kInvalidHandle) << path << ": error " << file.error;
    Dword written = 0;
    const Call<bool> write =
        P().io.WriteFile(file.value, text.data(), static_cast<Dword>(text.size()), &written, nullptr);
    EXPECT_TRUE(write.value) << path << ": error " << write.error;
    EXPECT_EQ(written, text.size());
    EXPECT_TRUE(P().kernel.CloseHandle(file.value).value);
}

std::string ContractTest::ReadFileText(const std::string& path)
{
    const Call<Handle> file =
        P().io.CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, kNoHandle);
    if (file.value == kInvalidHandle) {
        ADD_FAILURE() << path << " cannot be opened: error " << file.error;
        return {};
    }
    std::string text;
    char chunk[512];
    for (;;) {
        Dword read = 0;
        const Call<bool> result = P().io.ReadFile(file.value, chunk, sizeof chunk, &read, nullptr);
        if (!result.value) {
            ADD_FAILURE() << path << " cannot be read: error " << result.error;
            break;
        }
        if (read == 0) break;
        text.append(chunk, read);
    }
    P().kernel.CloseHandle(file.value);
    return text;
}

std::string ContractTest::Join(const std::string& directory, const std::string& name)
{
    return directory + "\\" + name;
}

bool ContractTest::EndsWithNoCase(const std::string& text, const std::string& tail)
{
    if (tail.size() > text.size()) return false;
    return std::equal(tail.rbegin(), tail.rend(), text.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

}  // namespace zenthar::contract
