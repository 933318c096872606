#include "install/DriverFileSets.h"

#include "core/CodePageTable.h"
#include "core/FixedText.h"
#include "core/InstallationRecord.h"
#include "platform/Constants.h"

namespace zenthar {

namespace {

constexpr const char* kInstallerFolder = "C:\\NORVA Orbix Printer 4.X";
constexpr int kUnivFileCount = 10;

// The file tables below are laid out by hand, one set's sources in their slot order.
// clang-format off
// Destination names in the driver directory, in the order of DriverFileSet::sources.
constexpr const char* kUnidrvDestinations[kUnivFileCount] = {
    "\\UNIDRV.DLL",  "\\UNIDRVUI.DLL", "\\UNIDRV.HLP",  "\\VXTHM4.GPD", "\\VXTHM4.DLL",
    "\\UNIRES.DLL",  "\\STDNAMES.GPD", "\\VXTHM4E.DLL", "\\VXTHM4.INI", "\\VXTHM4UI.DLL",
};
constexpr const char* kRasddDestinations[4] = {
    "\\RASDD.DLL", "\\RASDDUI.DLL", "\\RASDDUI.HLP", "\\THERMAL.DLL",
};
// The description file's place among the destinations; its source follows the code page.
constexpr int kDescriptionSlot = 3;

// Where the 64-bit sets take the universal driver from the system itself (none in the table
// below), these are the files of the version directory, by destination slot.
constexpr const char* kSystemFileNames[kUnivFileCount] = {
    "\\UNIDRV.DLL", "\\UNIDRVUI.DLL", "\\UNIDRV.HLP", nullptr, nullptr,
    "\\UNIRES.DLL", nullptr,          nullptr,        nullptr, nullptr,
};

#define SYSTEM nullptr

// The sources are written as the package has always named them: the doubled backslash and
// the lower-case ".gpd" are harmless to Windows' path handling and kept on purpose.
constexpr DriverFileSet kNT = {
    "NT", nullptr, 4,
    {".\\WinNT\\RASDD.DLL", ".\\WinNT\\RASDDUI.DLL", ".\\WinNT\\RASDDUI.HLP", ".\\WinNT\\THERMAL.DLL"},
    nullptr,
};
constexpr DriverFileSet kXP32 = {
    "XP32", ".\\WinXP\\Language", kUnivFileCount,
    {".\\WinXP\\UNIDRV.DLL", ".\\WinXP\\UNIDRVUI.DLL", ".\\WinXP\\UNIDRV.HLP", ".\\WinXP\\VXTHM4.GPD",
     ".\\WinXP\\VXTHM4.DLL", ".\\WinXP\\UNIRES.DLL", ".\\WinXP\\STDNAMES.GPD", ".\\WinXP\\VXTHM4E.DLL",
     ".\\WinXP\\VXTHM4.INI", ".\\WinXP\\VXTHM4UI.DLL"},
    ".\\WinXP\\StdNames.gpd",
};
constexpr DriverFileSet kW8_32 = {
    "W8-32", ".\\Win8\\Language", kUnivFileCount,
    {".\\Win8\\UNIDRV.DLL", ".\\Win8\\UNIDRVUI.DLL", ".\\Win8\\UNIDRV.HLP", ".\\Win8\\VXTHM4.GPD",
     ".\\Win8\\VXTHM4.DLL", ".\\Win8\\UNIRES.DLL", ".\\Win8\\STDNAMES.GPD", ".\\Win8\\VXTHM4E.DLL",
     ".\\Win8\\VXTHM4.INI", ".\\Win8\\VXTHM4UI.DLL"},
    ".\\Win8\\StdNames.gpd",
};
constexpr DriverFileSet kXP64 = {
    "XP64", ".\\WinXP\\Language", kUnivFileCount,
    {".\\Win64\\XP\\UNIDRV.DLL", ".\\Win64\\XP\\UNIDRVUI.DLL", ".\\Win64\\XP\\UNIDRV.HLP", ".\\WinXP\\VXTHM4.GPD",
     ".\\Win64\\x64\\VXTHM4.DLL", ".\\Win64\\XP\\UNIRES.DLL", ".\\WinXP\\STDNAMES.GPD",
     ".\\Win64\\x64\\VXTHM4E.DLL", ".\\Win64\\x64\\\\VXTHM4.INI", ".\\Win64\\x64\\VXTHM4UI.DLL"},
    ".\\WinXP\\StdNames.gpd",
};
constexpr DriverFileSet kS03_64 = {
    "S03-64", ".\\WinXP\\Language", kUnivFileCount,
    {".\\Win64\\2003\\UNIDRV.DLL", ".\\Win64\\2003\\UNIDRVUI.DLL", ".\\Win64\\2003\\UNIDRV.HLP",
     ".\\WinXP\\VXTHM4.GPD", ".\\Win64\\x64\\VXTHM4.DLL", ".\\Win64\\2003\\UNIRES.DLL", ".\\WinXP\\STDNAMES.GPD",
     ".\\Win64\\x64\\VXTHM4E.DLL", ".\\Win64\\x64\\\\VXTHM4.INI", ".\\Win64\\x64\\VXTHM4UI.DLL"},
    ".\\WinXP\\StdNames.gpd",
};
constexpr DriverFileSet kV64 = {
    "V64", ".\\Win8\\Language", kUnivFileCount,
    {SYSTEM, SYSTEM, SYSTEM, ".\\Win8\\VXTHM4.GPD", ".\\Win64\\x64\\VXTHM4.DLL", SYSTEM, ".\\Win8\\STDNAMES.GPD",
     ".\\Win64\\x64\\VXTHM4E.DLL", ".\\Win64\\x64\\VXTHM4.INI", ".\\Win64\\x64\\VXTHM4UI.DLL"},
    ".\\Win8\\StdNames.gpd",
};
constexpr DriverFileSet kW8_64 = {
    "W8-64", ".\\Win8\\Language", kUnivFileCount,
    {SYSTEM, SYSTEM, SYSTEM, ".\\Win8\\VXTHM4.GPD", ".\\Win64\\Server2012\\VXTHM4.DLL", SYSTEM,
     ".\\Win8\\STDNAMES.GPD", ".\\Win64\\Server2012\\VXTHM4E.DLL", ".\\Win64\\Server2012\\VXTHM4.INI",
     ".\\Win64\\Server2012\\VXTHM4UI.DLL"},
    ".\\Win8\\StdNames.gpd",
};
constexpr DriverFileSet kXPIA = {
    "XPIA", ".\\WinXP\\Language", kUnivFileCount,
    {".\\Win64\\XP\\UNIDRV.DLL", ".\\Win64\\XP\\UNIDRVUI.DLL", ".\\Win64\\XP\\UNIDRV.HLP", ".\\WinXP\\VXTHM4.GPD",
     ".\\Win64\\Itanium\\VXTHM4.DLL", ".\\Win64\\XP\\UNIRES.DLL", ".\\WinXP\\STDNAMES.GPD",
     ".\\Win64\\Itanium\\VXTHM4E.DLL", ".\\WinXP\\VXTHM4.INI", ".\\Win64\\Itanium\\VXTHM4UI.DLL"},
    ".\\WinXP\\StdNames.gpd",
};
constexpr DriverFileSet kS03IA = {
    "S03IA", ".\\WinXP\\Language", kUnivFileCount,
    {".\\Win64\\2003\\UNIDRV.DLL", ".\\Win64\\2003\\UNIDRVUI.DLL", ".\\Win64\\2003\\UNIDRV.HLP",
     ".\\WinXP\\VXTHM4.GPD", ".\\Win64\\Itanium\\VXTHM4.DLL", ".\\Win64\\2003\\UNIRES.DLL",
     ".\\WinXP\\STDNAMES.GPD", ".\\Win64\\Itanium\\VXTHM4E.DLL", ".\\WinXP\\VXTHM4.INI",
     ".\\Win64\\Itanium\\VXTHM4UI.DLL"},
    ".\\WinXP\\StdNames.gpd",
};
constexpr DriverFileSet kVIA = {
    "VIA", ".\\Win8\\Language", kUnivFileCount,
    {SYSTEM, SYSTEM, SYSTEM, ".\\Win8\\VXTHM4.GPD", ".\\Win64\\Itanium\\VXTHM4.DLL", SYSTEM, ".\\Win8\\STDNAMES.GPD",
     ".\\Win64\\Itanium\\VXTHM4E.DLL", ".\\Win8\\VXTHM4.INI", ".\\Win64\\Itanium\\VXTHM4UI.DLL"},
    ".\\Win8\\StdNames.gpd",
};
constexpr DriverFileSet kW8IA = {
    "W8IA", ".\\Win8\\Language", kUnivFileCount,
    {SYSTEM, SYSTEM, SYSTEM, ".\\Win8\\VXTHM4.GPD", ".\\Win64\\Itanium\\Win8\\VXTHM4.DLL", SYSTEM,
     ".\\Win8\\STDNAMES.GPD", ".\\Win64\\Itanium\\Win8\\VXTHM4E.DLL", ".\\Win8\\VXTHM4.INI",
     ".\\Win64\\Itanium\\Win8\\VXTHM4UI.DLL"},
    ".\\Win8\\StdNames.gpd",
};
// clang-format on

#undef SYSTEM

}  // namespace

const char* const LanguageGpdNames[kLanguageGpdCount] = {
    "VXTHM4_437.GPD",  "VXTHM4_850.GPD",  "VXTHM4_852.GPD",  "VXTHM4_863.GPD",  "VXTHM4_864.GPD",  "VXTHM4_866.GPD",
    "VXTHM4_874.GPD",  "VXTHM4_932.GPD",  "VXTHM4_936.GPD",  "VXTHM4_949.GPD",  "VXTHM4_950.GPD",  "VXTHM4_1250.GPD",
    "VXTHM4_1251.GPD", "VXTHM4_1252.GPD", "VXTHM4_1253.GPD", "VXTHM4_1254.GPD", "VXTHM4_1255.GPD", "VXTHM4_1256.GPD",
    "VXTHM4_1257.GPD", "VXTHM4_1258.GPD", "VXTHM4_737.GPD",  "VXTHM4_857.GPD",  "VXTHM4_858.GPD",
};

std::vector<std::string_view> DriverDirectoryFileNames()
{
    std::vector<std::string_view> names;
    for (const char* destination : kUnidrvDestinations) names.emplace_back(destination + 1);
    for (const char* destination : kRasddDestinations) names.emplace_back(destination + 1);
    return names;
}

const DriverFileSet* PickDriverFileSet(Processor processor, OsFamily osFamily)
{
    switch (processor) {
    case Processor::X86:
        if (osFamily == OsFamily::NT4) return &kNT;
        if (osFamily >= OsFamily::Win2000 && osFamily <= OsFamily::Win7) return &kXP32;
        if (osFamily >= OsFamily::Win8) return &kW8_32;
        return nullptr;
    case Processor::X64:
        if (osFamily == OsFamily::WinXP) return &kXP64;
        if (osFamily == OsFamily::Win2003) return &kS03_64;
        if (osFamily >= OsFamily::WinVista && osFamily <= OsFamily::Win7) return &kV64;
        return &kW8_64;
    case Processor::Itanium:
        if (osFamily == OsFamily::WinXP) return &kXPIA;
        if (osFamily == OsFamily::Win2003) return &kS03IA;
        if (osFamily >= OsFamily::WinVista && osFamily <= OsFamily::Win7) return &kVIA;
        return &kW8IA;
    default: return nullptr;
    }
}

namespace {

// The description file comes straight from the language folder when another code page than
// the shipped one is chosen; the package itself is never changed, so every run installs the
// code page it was asked for. False: the set's own description file is copied.
bool PickLanguageFile(const DriverFileSet& set, const InstallSession& session, char (&languageFile)[platform::MAX_PATH])
{
    if (set.languageFolder == nullptr || session.codePageIndex == kDefaultCodePageIndex || session.codePageIndex < 0 ||
        session.codePageIndex >= kLanguageGpdCount)
        return false;
    return FormatWhole(languageFile, "%s\\%s", set.languageFolder, LanguageGpdNames[session.codePageIndex]);
}

// Copies the set into the driver directory slot by slot and gives what was copied. A slot the
// set takes from the system needs the version directory (nullptr: none, the slot is skipped).
std::vector<MadeThing> CopySetFiles(platform::Files& files, const DriverFileSet& set, const InstallSession& session,
                                    const char* driverDirectory, const char* versionDirectory)
{
    const bool rasdd = set.languageFolder == nullptr;
    const char* const* destinations = rasdd ? kRasddDestinations : kUnidrvDestinations;
    char languageFile[platform::MAX_PATH] = {};
    const bool useLanguageFile = PickLanguageFile(set, session, languageFile);

    std::vector<MadeThing> copies;
    for (int slot = 0; slot < set.fileCount; ++slot) {
        char destination[256];
        if (!FormatWhole(destination, "%s%s", driverDirectory, destinations[slot])) continue;

        char source[platform::MAX_PATH];
        const char* from = set.sources[slot];
        if (!rasdd && slot == kDescriptionSlot && useLanguageFile) {
            from = languageFile;
        } else if (from == nullptr) {
            if (versionDirectory == nullptr || !FormatWhole(source, "%s%s", versionDirectory, kSystemFileNames[slot]))
                continue;
            from = source;
        }
        if (files.CopyFileA(from, destination, false).value) copies.push_back({Made::DriverCopy, destination});
    }
    return copies;
}

}  // namespace

void CopyDriverFiles(platform::Platform& platform, const InstallSession& session)
{
    auto& files = platform.files;

    char driverDirectory[256] = {};
    platform::Dword needed = 0;
    const auto read = platform.spooler.GetPrinterDriverDirectoryA(
        nullptr, nullptr, 1, reinterpret_cast<std::uint8_t*>(driverDirectory), sizeof driverDirectory - 1, &needed);
    // Without the directory (the spooler failed, or it did not fit) every destination would
    // be a file at the drive's root, and the version folder "\3" one there: nothing is
    // copied or created, as if each copy had failed, and the current directory stays as it was.
    if (!read.value || driverDirectory[0] == '\0') return;
    char versionDirectory[256];
    const bool haveVersionDirectory = FormatWhole(versionDirectory, "%s\\3", driverDirectory);

    if (!files.SetCurrentDirectoryA(driverDirectory).value) files.CreateDirectoryA(driverDirectory, nullptr);

    const DriverFileSet* set = PickDriverFileSet(session.processor, session.osFamily);
    files.SetCurrentDirectoryA(kInstallerFolder);
    if (set == nullptr) {
        files.SetCurrentDirectoryA(driverDirectory);
        return;
    }

    Record(platform,
           CopySetFiles(files, *set, session, driverDirectory, haveVersionDirectory ? versionDirectory : nullptr));

    if (set->languageFolder != nullptr && haveVersionDirectory) {
        char stdNames[256];
        // An installed standard names file is the system's; ours only fills a gap.
        if (FormatWhole(stdNames, "%s\\StdNames.gpd", versionDirectory))
            files.CopyFileA(set->stdNamesSource, stdNames, true);
    }

    files.SetCurrentDirectoryA(driverDirectory);
}

}  // namespace zenthar
