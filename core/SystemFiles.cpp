#include "core/SystemFiles.h"

#include "core/FixedText.h"
#include "platform/Constants.h"

namespace zenthar {

platform::ProcAddress Kernel32Export(platform::Platform& platform, const char* name)
{
    const auto kernel = platform.modules.GetModuleHandleA("kernel32.dll");
    if (kernel.value == 0) return 0;
    return platform.modules.GetProcAddress(kernel.value, name).value;
}

Result<ModuleOwner> LoadSystemLibrary(platform::Platform& platform, const char* name)
{
    auto& modules = platform.modules;
    const auto searched = modules.LoadLibraryExA(name, platform::kNoHandle, platform::LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (searched.value != 0) return ModuleOwner(modules, searched.value);
    if (searched.error != platform::ERROR_INVALID_PARAMETER) return Failure{"LoadLibraryExA", searched.error};

    char systemDirectory[platform::MAX_PATH] = {};
    const auto length = platform.files.GetSystemDirectoryA(systemDirectory, sizeof systemDirectory);
    if (length.value == 0) return Failure{"GetSystemDirectoryA", length.error};
    char path[platform::MAX_PATH];
    if (length.value >= sizeof systemDirectory || !FormatWhole(path, "%s\\%s", systemDirectory, name))
        return Failure{"GetSystemDirectoryA", platform::ERROR_FILENAME_EXCED_RANGE};
    const auto loaded = modules.LoadLibraryA(path);
    if (loaded.value == 0) return Failure{"LoadLibraryA", loaded.error};
    return ModuleOwner(modules, loaded.value);
}

bool DisableFsRedirection(platform::Platform& platform)
{
    const auto kernel = platform.modules.GetModuleHandleW(u"kernel32");
    if (kernel.value == 0) return true;
    const auto function = platform.modules.GetProcAddress(kernel.value, "Wow64DisableWow64FsRedirection");
    if (function.value == 0) return true;
    void* oldValue = nullptr;
    return platform.files.InvokeWow64DisableWow64FsRedirection(function.value, &oldValue).value;
}

NativeSystemFolders::NativeSystemFolders(platform::Platform& platform) : platform(platform)
{
    const auto kernel = platform.modules.GetModuleHandleW(u"kernel32");
    if (kernel.value == 0) return;
    const auto disable = platform.modules.GetProcAddress(kernel.value, "Wow64DisableWow64FsRedirection");
    const auto revertFunction = platform.modules.GetProcAddress(kernel.value, "Wow64RevertWow64FsRedirection");
    // Without a way back, redirection is not turned off at all.
    if (disable.value == 0 || revertFunction.value == 0) return;
    if (platform.files.InvokeWow64DisableWow64FsRedirection(disable.value, &oldValue).value)
        revert = revertFunction.value;
}

NativeSystemFolders::~NativeSystemFolders()
{
    if (revert != 0) platform.files.InvokeWow64RevertWow64FsRedirection(revert, oldValue);
}

void CopyFrameDyn(platform::Platform& platform)
{
    char systemDirectory[platform::MAX_PATH] = {};
    const auto length = platform.files.GetSystemDirectoryA(systemDirectory, sizeof systemDirectory).value;
    if (length == 0 || length >= sizeof systemDirectory) return;
    char source[platform::MAX_PATH];
    char destination[platform::MAX_PATH];
    if (FormatWhole(source, "%s\\WBEM\\FRAMEDYN.dll", systemDirectory) &&
        FormatWhole(destination, "%s\\FRAMEDYN.dll", systemDirectory))
        platform.files.CopyFileA(source, destination, false);
}

}  // namespace zenthar
