#include "core/SystemFiles.h"

#include "core/FixedText.h"
#include "platform/Constants.h"

namespace zenthar {

bool DisableFsRedirection(platform::Platform& platform)
{
    const auto kernel = platform.modules.GetModuleHandleW(u"kernel32");
    if (kernel.value == 0) return true;
    const auto function = platform.modules.GetProcAddress(kernel.value, "Wow64DisableWow64FsRedirection");
    if (function.value == 0) return true;
    void* oldValue = nullptr;
    return platform.files.InvokeWow64DisableWow64FsRedirection(function.value, &oldValue).value;
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
