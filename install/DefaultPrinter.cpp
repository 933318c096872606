#include "install/DefaultPrinter.h"

#include <utility>

#include "core/FixedText.h"
#include "core/Owners.h"
#include "core/SystemFiles.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"

namespace zenthar {

namespace {

// The spooler's export SetDefaultPrinterA has carried this number since before it had a name.
constexpr platform::Word kSetDefaultPrinterOrdinal = 202;
constexpr const char* kSpoolerLibrary = "winspool.drv";

std::string Failed(const char* call, platform::Dword error)
{
    return resources::Say(resources::Words::CallFailed, call, error);
}

struct SpoolerModule {
    platform::ModuleHandle handle = 0;  // 0 when it could not be loaded
    ModuleOwner loaded;                 // unloaded again after use
    std::string failure;
};

// The spooler library from the system directory: loaded here, whether or not this process has
// it already, so that no library of the same name from anywhere else can stand in for it.
SpoolerModule SpoolerLibrary(platform::Platform& platform)
{
    SystemLibrary library = LoadSystemLibrary(platform, kSpoolerLibrary);
    if (!library) return {0, {}, Failed(library.call.c_str(), library.error)};
    const platform::ModuleHandle handle = library.owner.Get();
    return {handle, std::move(library.owner), {}};
}

DefaultPrinterRead ReadName(platform::Platform& platform, platform::ProcAddress getDefault)
{
    char name[256] = {};
    platform::Dword size = sizeof name;
    const auto read = platform.spooler.InvokeGetDefaultPrinter(getDefault, name, &size);
    if (!read.value) {
        // No default printer at all is an answer, not a failure.
        if (read.error == platform::ERROR_FILE_NOT_FOUND) return {std::string(), {}};
        return {std::nullopt, Failed("GetDefaultPrinterA", read.error)};
    }
    name[sizeof name - 1] = '\0';
    return {std::string(TextOf(name)), {}};
}

}  // namespace

DefaultPrinterRead ReadDefaultPrinter(platform::Platform& platform)
{
    const SpoolerModule library = SpoolerLibrary(platform);
    const platform::ModuleHandle spooler = library.handle;
    if (spooler == 0) return {std::nullopt, library.failure};
    const platform::ProcAddress getDefault = platform.modules.GetProcAddress(spooler, "GetDefaultPrinterA").value;
    if (getDefault == 0)
        return {std::nullopt, resources::Say(resources::Words::SpoolerLacksFunction, "GetDefaultPrinterA")};
    return ReadName(platform, getDefault);
}

DefaultPrinterResult MakeDefaultPrinter(platform::Platform& platform, const char* printerName)
{
    auto& modules = platform.modules;
    const SpoolerModule library = SpoolerLibrary(platform);
    const platform::ModuleHandle spooler = library.handle;
    if (spooler == 0) return {false, library.failure};
    // By its number first; the name is the fallback.
    platform::ProcAddress setDefault = modules.GetProcAddressByOrdinal(spooler, kSetDefaultPrinterOrdinal).value;
    if (setDefault == 0) setDefault = modules.GetProcAddress(spooler, "SetDefaultPrinterA").value;
    if (setDefault == 0) return {false, resources::Say(resources::Words::SpoolerLacksFunction, "SetDefaultPrinterA")};
    const auto set = platform.spooler.InvokeSetDefaultPrinter(setDefault, printerName);
    if (!set.value) return {false, Failed("SetDefaultPrinterA", set.error)};

    // A spooler that answers yes without doing it is caught by reading the name back.
    const platform::ProcAddress getDefault = modules.GetProcAddress(spooler, "GetDefaultPrinterA").value;
    if (getDefault == 0) return {true, {}};
    const DefaultPrinterRead name = ReadName(platform, getDefault);
    if (!name.name) return {false, name.failure};
    if (!SameWordNoCase(*name.name, printerName))
        return {false, resources::Say(resources::Words::DefaultIsAnother, *name.name)};
    return {true, {}};
}

}  // namespace zenthar
