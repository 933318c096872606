// Version and processor information, and the modules the program loads and looks into.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/sim/SimBackends.h"

namespace zenthar::sim::detail {

namespace {

constexpr ModuleHandle kProgramModule = 0x00400000;

// Windows' answers about the machine that no profile changes.
constexpr Dword kBuildNumberBits = 0xFFFF;  // what of the build number 9x keeps beside the version
constexpr std::uint64_t kHighestAddress32 = 0x7FFEFFFFull;
constexpr std::uint64_t kHighestAddress64 = 0x7FFFFFEFFFFull;
constexpr Dword kMostProcessorBits = 31;  // the processor mask is a 32-bit number here
constexpr Word kProcessorRevision = 0x3A09;

struct ProcessorFacts {
    Word architecture;
    Dword processorType;
    Dword pageSize;
};
const ProcessorFacts kProcessors[] = {
    {PROCESSOR_ARCHITECTURE_INTEL, 586, 4096},
    {PROCESSOR_ARCHITECTURE_AMD64, 8664, 4096},
    {PROCESSOR_ARCHITECTURE_IA64, 2200, 8192},
};

struct MetricEntry {
    int index;
    int value;
};
const MetricEntry kMetrics[] = {{0, 1024}, {1, 768}};  // SM_CXSCREEN, SM_CYSCREEN

std::string ModuleFileName(std::string_view name)
{
    std::string base(name);
    const auto slash = base.find_last_of("\\/");
    if (slash != std::string::npos) base = base.substr(slash + 1);
    std::transform(base.begin(), base.end(), base.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    if (base.find('.') == std::string::npos) base += ".dll";
    return base;
}

// Libraries every Windows has in its system directory, loadable without a file of ours on the
// simulated disk.
const char* const kKnownLibraries[] = {"kernel32.dll", "winspool.drv", "setupapi.dll", "advapi32.dll",
                                       "user32.dll",   "gdi32.dll",    "ws2_32.dll",   "ntdll.dll",
                                       "shell32.dll",  "comctl32.dll", "ole32.dll",    "msvcrt.dll"};

// The KnownDLLs of a current Windows among them (Session Manager's list): a bare name of one of
// these is always the system directory's file, whatever lies beside the program. winspool.drv
// and comctl32.dll (a side-by-side assembly) are not on the list, so the loader looks for them
// in the program's folder first.
const char* const kKnownDlls[] = {"kernel32.dll", "user32.dll", "gdi32.dll",   "advapi32.dll", "msvcrt.dll",
                                  "ntdll.dll",    "ole32.dll",  "shell32.dll", "ws2_32.dll",   "setupapi.dll"};

// Loaded with the program itself: it imports from them.
const char* const kPinnedLibraries[] = {"kernel32.dll", "ntdll.dll", "advapi32.dll"};

template <std::size_t N>
bool Listed(std::string_view fileName, const char* const (&names)[N])
{
    for (const char* name : names)
        if (SameText(name, fileName)) return true;
    return false;
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

// ---- Data of a stock Windows machine --------------------------------------------------------

const std::vector<ExportEntry> kExports = {
    {"kernel32.dll", "GetNativeSystemInfo", 0, Export::GetNativeSystemInfo},
    {"kernel32.dll", "GetProductInfo", 0, Export::GetProductInfo},
    {"kernel32.dll", "Wow64DisableWow64FsRedirection", 0, Export::Wow64DisableWow64FsRedirection},
    {"kernel32.dll", "IsWow64Process", 0, Export::IsWow64Process},
    {"kernel32.dll", "IsWow64Process2", 0, Export::IsWow64Process2},
    {"kernel32.dll", "GetVersionExA", 0, Export::GetVersionExA},
    {"winspool.drv", "SetDefaultPrinterA", 202, Export::SetDefaultPrinterA},
    {"setupapi.dll", "SetupDiGetClassDevsA", 0, Export::SetupDiGetClassDevsA},
    {"setupapi.dll", "SetupDiEnumDeviceInterfaces", 0, Export::SetupDiEnumDeviceInterfaces},
    {"setupapi.dll", "SetupDiGetDeviceInterfaceDetailA", 0, Export::SetupDiGetDeviceInterfaceDetailA},
    {"setupapi.dll", "SetupDiDestroyDeviceInfoList", 0, Export::SetupDiDestroyDeviceInfoList},
    {"winspool.drv", "GetDefaultPrinterA", 0, Export::GetDefaultPrinterA},
    {"kernel32.dll", "Wow64RevertWow64FsRedirection", 0, Export::Wow64RevertWow64FsRedirection},
    {"kernel32.dll", "GetFinalPathNameByHandleA", 0, Export::GetFinalPathNameByHandleA},
    {"advapi32.dll", "TreeResetNamedSecurityInfoA", 0, Export::TreeResetNamedSecurityInfoA},
};

// ---- The modules' state ------------------------------------------------------------------------

void ModuleState::InstallPinnedLibraries()
{
    for (const char* name : kPinnedLibraries)
        modules.push_back(LoadedModule{name, 1, true, core.SystemDirectory() + "\\" + name});
}

bool ModuleState::ExportAvailable(std::size_t exportIndex) const
{
    const ExportEntry& entry = kExports[exportIndex];
    if (removedExports.count({Upper(entry.module), Upper(entry.function)})) return false;
    switch (entry.id) {
    case Export::GetNativeSystemInfo: return core.profile.hasGetNativeSystemInfo;
    case Export::GetProductInfo: return core.profile.hasGetProductInfo;
    case Export::Wow64DisableWow64FsRedirection:
    case Export::Wow64RevertWow64FsRedirection: return core.profile.hasWow64FsRedirectionExport;
    case Export::SetDefaultPrinterA:
    case Export::GetDefaultPrinterA:  // both came with the same Windows
        return core.profile.hasSetDefaultPrinterExport;
    case Export::IsWow64Process: return core.profile.hasIsWow64ProcessExport;
    case Export::IsWow64Process2: return core.profile.hasIsWow64Process2Export;
    case Export::GetFinalPathNameByHandleA: return core.profile.hasGetFinalPathNameByHandle;
    case Export::TreeResetNamedSecurityInfoA: return !core.profile.Is9x() && core.profile.majorVersion >= 6;
    default: return true;
    }
}

bool ModuleState::CheckProc(ProcAddress address, Export expected, const char* caller)
{
    const std::size_t index = (address - kProcBase) / 16;
    if (address < kProcBase || (address - kProcBase) % 16 != 0 || index >= kExports.size()) {
        core.Misuse(std::string(caller) + " called through an address that is no function");
        return false;
    }
    const ExportEntry& entry = kExports[index];
    if (entry.id != expected) {
        core.Misuse(std::string(caller) + " called through the address of " + entry.function);
        return false;
    }
    for (const auto& module : modules)
        if (module.references > 0 && SameText(module.name, entry.module)) return true;
    core.Misuse(std::string(caller) + " called after its library " + entry.module + " was unloaded");
    return false;
}

bool ModuleState::LibraryKnown(std::string_view fileName)
{
    return Listed(fileName, kKnownLibraries);
}

std::optional<std::string> ModuleState::FindLibraryFile(const std::string& name, bool systemDirectoryOnly)
{
    const std::string file = ModuleFileName(name);
    const std::string system = core.SystemDirectory();
    std::vector<std::string> candidates;
    if (name.find_first_of("\\/:") != std::string::npos) {
        candidates.push_back(core.Absolute(name));
    } else if (systemDirectoryOnly || Listed(file, kKnownDlls)) {
        candidates.push_back(system + "\\" + file);
    } else {
        // The safe search order: the program's folder, the system and Windows directories, and
        // only then the current directory.
        for (const std::string& folder :
             {FolderOf(core.profile.programPath), system, core.WindowsDirectory(), core.currentDirectory})
            candidates.push_back(core.Absolute(folder + "\\" + file));
    }
    for (const auto& candidate : candidates) {
        const FsEntry* entry = core.FindEntry(core.Key(candidate, true));
        if (entry && !entry->directory) {
            const std::string onDisk = entry->path.substr(entry->path.find_last_of('\\') + 1);
            return FolderOf(candidate) + "\\" + onDisk;
        }
        if (SameText(FolderOf(candidate), system) && LibraryKnown(file)) return candidate;
    }
    return std::nullopt;
}

// ---- System information -----------------------------------------------------------------------

Call<bool> SimSystemInformation::GetVersionExA(OsVersionInfoExA* info)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetVersionExA")) return Failed(false, *fault);
    if (!info) return Failed(false, kErrorNoAccess);
    const MachineProfile& p = core.profile;
    const Dword size = info->dwOSVersionInfoSize;
    if (size == kOsVersionInfoExSize) {
        if (p.refusesExtendedVersionInfo) return Failed(false, ERROR_INVALID_PARAMETER);
    } else if (size != kOsVersionInfoSize) {
        return Failed(false, p.Is9x() ? ERROR_INVALID_PARAMETER : ERROR_INSUFFICIENT_BUFFER);
    }
    OsVersionInfoExA full{};
    full.dwOSVersionInfoSize = size;
    full.dwMajorVersion = p.majorVersion;
    full.dwMinorVersion = p.minorVersion;
    // 9x keeps the version in the high word of the build number.
    full.dwBuildNumber = p.Is9x() ? (p.majorVersion << 24) | (p.minorVersion << 16) | (p.buildNumber & kBuildNumberBits)
                                  : p.buildNumber;
    full.dwPlatformId = p.platformId;
    const std::size_t length = std::min(p.servicePack.size(), sizeof full.szCSDVersion - 1);
    std::memcpy(full.szCSDVersion, p.servicePack.data(), length);
    full.wServicePackMajor = p.servicePackMajor;
    full.wServicePackMinor = p.servicePackMinor;
    full.wSuiteMask = p.suiteMask;
    full.wProductType = p.productType;
    // Only the record the caller declared is written.
    std::memcpy(info, &full, size);
    return Ok(true);
}

void SimSystemInformation::Fill(SystemInfo* info, Word architecture) const
{
    *info = SystemInfo{};
    const MachineProfile& p = core.profile;
    ProcessorFacts facts = kProcessors[0];
    for (const auto& entry : kProcessors)
        if (entry.architecture == architecture) facts = entry;
    info->wProcessorArchitecture = architecture;
    info->dwPageSize = facts.pageSize;
    info->lpMinimumApplicationAddress = reinterpret_cast<void*>(UintPtr{0x10000});
    info->lpMaximumApplicationAddress =
        reinterpret_cast<void*>(static_cast<UintPtr>(p.Is32BitProgram() ? kHighestAddress32 : kHighestAddress64));
    info->dwActiveProcessorMask = (UintPtr{1} << std::min<Dword>(p.numberOfProcessors, kMostProcessorBits)) - 1;
    info->dwNumberOfProcessors = p.numberOfProcessors;
    info->dwProcessorType = facts.processorType;
    info->dwAllocationGranularity = 0x10000;
    info->wProcessorLevel = 6;
    info->wProcessorRevision = kProcessorRevision;
}

void SimSystemInformation::InvokeGetNativeSystemInfo(ProcAddress function, SystemInfo* info)
{
    auto lock = core.Lock();
    core.Enter("GetNativeSystemInfo");
    if (!core.CheckProc(function, Export::GetNativeSystemInfo, "GetNativeSystemInfo") || !info) return;
    Fill(info, core.profile.nativeArchitecture);
}

void SimSystemInformation::GetSystemInfo(SystemInfo* info)
{
    auto lock = core.Lock();
    core.Enter("GetSystemInfo");
    if (info) Fill(info, core.profile.systemInfoArchitecture);
}

Call<bool> SimSystemInformation::InvokeGetProductInfo(ProcAddress function, Dword, Dword, Dword, Dword,
                                                      Dword* productType)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetProductInfo")) return Failed(false, *fault);
    if (!core.CheckProc(function, Export::GetProductInfo, "GetProductInfo"))
        return Failed(false, ERROR_INVALID_PARAMETER);
    if (!productType) return Failed(false, ERROR_INVALID_PARAMETER);
    *productType = core.profile.productInfoType;
    return Ok(true);
}

Call<int> SimSystemInformation::GetSystemMetrics(int index)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetSystemMetrics")) return Failed(0, *fault);
    if (index == SM_SERVERR2) return Ok(core.profile.serverR2Metric);
    for (const auto& metric : kMetrics)
        if (metric.index == index) return Ok(metric.value);
    return Ok(0);
}

Call<bool> SimSystemInformation::InvokeIsWow64Process(ProcAddress function, bool* wow64)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("IsWow64Process")) return Failed(false, *fault);
    if (!core.CheckProc(function, Export::IsWow64Process, "IsWow64Process"))
        return Failed(false, ERROR_INVALID_PARAMETER);
    if (!wow64) return Failed(false, kErrorNoAccess);
    *wow64 = core.profile.Is64BitSystem() && core.profile.wow64;
    return Ok(true);
}

Call<bool> SimSystemInformation::InvokeIsWow64Process2(ProcAddress function, Word* processMachine, Word* nativeMachine)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("IsWow64Process2")) return Failed(false, *fault);
    if (!core.CheckProc(function, Export::IsWow64Process2, "IsWow64Process2"))
        return Failed(false, ERROR_INVALID_PARAMETER);
    if (!processMachine) return Failed(false, kErrorNoAccess);
    // An x86 program on an Arm PC runs under WOW64 as on x64; an emulated x64 one does not.
    const bool wow64 = core.profile.Is64BitSystem() && core.profile.wow64;
    *processMachine = wow64 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_UNKNOWN;
    if (nativeMachine) *nativeMachine = core.profile.nativeMachine;
    return Ok(true);
}

// ---- Modules ----------------------------------------------------------------------------------

Call<ModuleHandle> SimModules::ModuleByName(std::string_view name)
{
    const std::string file = ModuleFileName(name);
    for (std::size_t slot = 0; slot < core.modules.size(); ++slot)
        if (core.modules[slot].references > 0 && core.modules[slot].name == file) return Ok(core.ModuleBase(slot));
    return Failed(ModuleHandle{0}, ERROR_MOD_NOT_FOUND);
}

Call<ModuleHandle> SimModules::GetModuleHandleA(const char* name)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetModuleHandleA")) return Failed(ModuleHandle{0}, *fault);
    if (!name) return Ok(kProgramModule);
    return ModuleByName(name);
}

Call<ModuleHandle> SimModules::GetModuleHandleW(const char16_t* name)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetModuleHandleW")) return Failed(ModuleHandle{0}, *fault);
    if (!name) return Ok(kProgramModule);
    std::string narrow;
    for (const char16_t* c = name; *c; ++c) narrow.push_back(*c < 0x80 ? static_cast<char>(*c) : '?');
    return ModuleByName(narrow);
}

Call<ModuleHandle> SimModules::Load(const char* name, bool systemDirectoryOnly)
{
    if (!name) return Failed(ModuleHandle{0}, ERROR_INVALID_PARAMETER);
    if (!*name) return Failed(ModuleHandle{0}, ERROR_MOD_NOT_FOUND);
    const std::string file = ModuleFileName(name);
    if (core.missingLibraries.count(Upper(file))) return Failed(ModuleHandle{0}, ERROR_MOD_NOT_FOUND);
    const std::optional<std::string> path = core.FindLibraryFile(name, systemDirectoryOnly);
    if (!path) return Failed(ModuleHandle{0}, ERROR_MOD_NOT_FOUND);
    for (std::size_t slot = 0; slot < core.modules.size(); ++slot) {
        LoadedModule& loaded = core.modules[slot];
        if (loaded.name != file) continue;
        if (loaded.references == 0) {
            loaded.path = *path;
            core.libraryFilesLoaded.push_back(*path);
        }
        ++loaded.references;
        return Ok(core.ModuleBase(slot));
    }
    core.modules.push_back(LoadedModule{file, 1, false, *path});
    core.libraryFilesLoaded.push_back(*path);
    return Ok(core.ModuleBase(core.modules.size() - 1));
}

Call<ModuleHandle> SimModules::LoadLibraryA(const char* name)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("LoadLibraryA")) return Failed(ModuleHandle{0}, *fault);
    return Load(name, false);
}

Call<ModuleHandle> SimModules::LoadLibraryExA(const char* name, Handle file, Dword flags)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("LoadLibraryExA")) return Failed(ModuleHandle{0}, *fault);
    if (file != 0 || (flags & ~LOAD_LIBRARY_SEARCH_SYSTEM32) != 0)
        return Failed(ModuleHandle{0}, ERROR_INVALID_PARAMETER);
    if (flags == 0) return Load(name, false);
    if (!core.profile.supportsLoadLibrarySearchFlags) return Failed(ModuleHandle{0}, ERROR_INVALID_PARAMETER);
    // With a search flag a name must be bare or a full path.
    const std::string given = name ? name : "";
    const bool full = given.size() >= 3 && given[1] == ':' && given[2] == '\\';
    if (given.find_first_of("\\/") != std::string::npos && !full)
        return Failed(ModuleHandle{0}, ERROR_INVALID_PARAMETER);
    return Load(name, true);
}

Call<bool> SimModules::FreeLibrary(ModuleHandle module)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("FreeLibrary")) return Failed(false, *fault);
    for (std::size_t slot = 0; slot < core.modules.size(); ++slot) {
        LoadedModule& loaded = core.modules[slot];
        if (core.ModuleBase(slot) != module || loaded.references == 0) continue;
        if (!loaded.pinned || loaded.references > 1) --loaded.references;
        return Ok(true);
    }
    return Failed(false, ERROR_MOD_NOT_FOUND);
}

Call<ProcAddress> SimModules::Lookup(ModuleHandle module, const char* name, Word ordinal)
{
    const LoadedModule* loaded = nullptr;
    for (std::size_t slot = 0; slot < core.modules.size(); ++slot)
        if (core.ModuleBase(slot) == module && core.modules[slot].references > 0) loaded = &core.modules[slot];
    if (!loaded) return Failed(ProcAddress{0}, ERROR_MOD_NOT_FOUND);
    for (std::size_t i = 0; i < kExports.size(); ++i) {
        const ExportEntry& entry = kExports[i];
        if (loaded->name != entry.module || !core.ExportAvailable(i)) continue;
        // Export names are matched exactly, as the loader does.
        if ((name && std::strcmp(name, entry.function) == 0) || (!name && ordinal != 0 && ordinal == entry.ordinal))
            return Ok(kProcBase + static_cast<ProcAddress>(i) * 16);
    }
    return Failed(ProcAddress{0}, ERROR_PROC_NOT_FOUND);
}

Call<ProcAddress> SimModules::GetProcAddress(ModuleHandle module, const char* name)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetProcAddress")) return Failed(ProcAddress{0}, *fault);
    if (!name) return Failed(ProcAddress{0}, ERROR_INVALID_PARAMETER);
    return Lookup(module, name, 0);
}

Call<ProcAddress> SimModules::GetProcAddressByOrdinal(ModuleHandle module, Word ordinal)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetProcAddress")) return Failed(ProcAddress{0}, *fault);
    return Lookup(module, nullptr, ordinal);
}

Call<Dword> SimModules::GetModuleFileNameA(ModuleHandle module, char* buffer, Dword size)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetModuleFileNameA")) return Failed(Dword{0}, *fault);
    std::string path;
    if (module == 0) path = core.profile.programPath;
    for (std::size_t slot = 0; slot < core.modules.size() && path.empty(); ++slot)
        if (core.ModuleBase(slot) == module && core.modules[slot].references > 0) path = core.modules[slot].path;
    if (path.empty()) return Failed(Dword{0}, ERROR_MOD_NOT_FOUND);
    if (!buffer || size == 0) return Failed(Dword{0}, ERROR_INSUFFICIENT_BUFFER);
    // As Windows: a path that does not fit is cut, terminated, and reported with the size given.
    const std::size_t copied = std::min<std::size_t>(path.size(), size - 1);
    path.copy(buffer, copied);
    buffer[copied] = '\0';
    if (copied < path.size()) return Failed(size, ERROR_INSUFFICIENT_BUFFER);
    return Ok(static_cast<Dword>(copied));
}

}  // namespace zenthar::sim::detail
