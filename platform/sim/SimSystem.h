// What the simulated Windows says about itself (version, processor), and its modules: the
// libraries the program loads and the functions it looks up in them.
#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimText.h"

namespace zenthar::sim::detail {

class Core;

enum class Export {
    GetNativeSystemInfo,
    GetProductInfo,
    Wow64DisableWow64FsRedirection,
    Wow64RevertWow64FsRedirection,
    IsWow64Process,
    IsWow64Process2,
    GetVersionExA,
    SetDefaultPrinterA,
    GetDefaultPrinterA,
    SetupDiGetClassDevsA,
    SetupDiEnumDeviceInterfaces,
    SetupDiGetDeviceInterfaceDetailA,
    SetupDiDestroyDeviceInfoList,
    GetFinalPathNameByHandleA,
    TreeResetNamedSecurityInfoA,
};

struct LoadedModule {
    std::string name;  // lower case file name, e.g. "setupapi.dll"
    unsigned references = 0;
    bool pinned = false;  // imported by the program: never unloaded
    std::string path;     // the file loaded, as the program sees its path
};

// The exports of the Windows machine that the program looks up.
struct ExportEntry {
    const char* module;
    const char* function;
    Word ordinal;  // 0: by name only
    Export id;
};
extern const std::vector<ExportEntry> kExports;
inline constexpr ProcAddress kProcBase = 0x7F000000u;

// The modules' state. Which exports exist depends on the profile, and a call through a bad
// address is the program's misuse, which the machine records.
class ModuleState {
public:
    explicit ModuleState(Core& core) : core(core) {}

    // The libraries the program imports from, loaded with it.
    void InstallPinnedLibraries();

    ModuleHandle ModuleBase(std::size_t slot) const
    {
        return 0x10000000u + static_cast<ModuleHandle>(slot) * 0x100000u;
    }
    bool ExportAvailable(std::size_t exportIndex) const;
    static bool LibraryKnown(std::string_view fileName);
    // The file the loader takes for `name`, as the program sees its path, or nothing.
    std::optional<std::string> FindLibraryFile(const std::string& name, bool systemDirectoryOnly);
    // Checks that `address` is the export `expected` of a loaded module.
    bool CheckProc(ProcAddress address, Export expected, const char* caller);

    std::vector<LoadedModule> modules;                             // slot = index; references 0 = not loaded
    std::set<std::string> missingLibraries;                        // upper-case file names
    std::set<std::pair<std::string, std::string>> removedExports;  // upper-case module, function
    std::vector<std::string> libraryFilesLoaded;

private:
    Core& core;
};

class SimSystemInformation final : public SystemInformation {
public:
    explicit SimSystemInformation(Core& core) : core(core) {}
    Call<bool> GetVersionExA(OsVersionInfoExA* info) override;
    void InvokeGetNativeSystemInfo(ProcAddress function, SystemInfo* info) override;
    void GetSystemInfo(SystemInfo* info) override;
    Call<bool> InvokeGetProductInfo(ProcAddress function, Dword osMajor, Dword osMinor, Dword spMajor, Dword spMinor,
                                    Dword* productType) override;
    Call<int> GetSystemMetrics(int index) override;
    Call<bool> InvokeIsWow64Process(ProcAddress function, bool* wow64) override;
    Call<bool> InvokeIsWow64Process2(ProcAddress function, Word* processMachine, Word* nativeMachine) override;

private:
    void Fill(SystemInfo* info, Word architecture) const;
    Core& core;
};

class SimModules final : public Modules {
public:
    explicit SimModules(Core& core) : core(core) {}
    Call<ModuleHandle> GetModuleHandleA(const char* name) override;
    Call<ModuleHandle> GetModuleHandleW(const char16_t* name) override;
    Call<ModuleHandle> LoadLibraryA(const char* name) override;
    Call<ModuleHandle> LoadLibraryExA(const char* name, Handle file, Dword flags) override;
    Call<bool> FreeLibrary(ModuleHandle module) override;
    Call<ProcAddress> GetProcAddress(ModuleHandle module, const char* name) override;
    Call<ProcAddress> GetProcAddressByOrdinal(ModuleHandle module, Word ordinal) override;
    Call<Dword> GetModuleFileNameA(ModuleHandle module, char* buffer, Dword size) override;

private:
    Call<ModuleHandle> ModuleByName(std::string_view name);
    Call<ModuleHandle> Load(const char* name, bool systemDirectoryOnly);
    Call<ProcAddress> Lookup(ModuleHandle module, const char* name, Word ordinal);
    Core& core;
};

}  // namespace zenthar::sim::detail
