#include "install/DefaultPrinter.h"

#include <utility>

#include "core/FixedText.h"
#include "core/Owners.h"
#include "platform/Constants.h"

namespace zenthar {

namespace {

// The spooler's export SetDefaultPrinterA has carried this number since before it had a name.
constexpr platform::Word kSetDefaultPrinterOrdinal = 202;

std::string Failed(const char* call, platform::Dword error)
{
    return std::string(call) + " failed (error " + std::to_string(error) + ")";
}

struct SpoolerModule {
    platform::ModuleHandle handle = 0;
    ModuleOwner loaded;  // when it was loaded here: unloaded again after use
};

// The spooler library, which the program imports and so finds loaded; a handle of 0 with the
// reason when it can be had neither way.
SpoolerModule SpoolerLibrary(platform::Platform& platform, std::string& failure)
{
    const platform::ModuleHandle spooler = platform.modules.GetModuleHandleA("winspool.drv").value;
    if (spooler != 0) return {spooler, {}};
    auto loaded = LoadModule(platform.modules, "winspool.drv");
    if (!loaded) {
        failure = Failed("LoadLibraryA(\"winspool.drv\")", loaded.error);
        return {};
    }
    const platform::ModuleHandle handle = loaded.owner.Get();
    return {handle, std::move(loaded.owner)};
}

// The name, or nullopt with the reason.
std::optional<std::string> ReadName(platform::Platform& platform, platform::ProcAddress getDefault, std::string& failure)
{
    char name[256] = {};
    platform::Dword size = sizeof name;
    const auto read = platform.spooler.InvokeGetDefaultPrinter(getDefault, name, &size);
    if (!read.value) {
        // No default printer at all is an answer, not a failure.
        if (read.error == platform::ERROR_FILE_NOT_FOUND) return std::string();
        failure = Failed("GetDefaultPrinterA", read.error);
        return std::nullopt;
    }
    name[sizeof name - 1] = '\0';
    return std::string(TextOf(name));
}

}  // namespace

std::optional<std::string> ReadDefaultPrinter(platform::Platform& platform, std::string& failure)
{
    const SpoolerModule library = SpoolerLibrary(platform, failure);
    const platform::ModuleHandle spooler = library.handle;
    if (spooler == 0) return std::nullopt;
    const platform::ProcAddress getDefault = platform.modules.GetProcAddress(spooler, "GetDefaultPrinterA").value;
    if (getDefault == 0) {
        failure = "the spooler library has no GetDefaultPrinterA";
        return std::nullopt;
    }
    return ReadName(platform, getDefault, failure);
}

DefaultPrinterResult MakeDefaultPrinter(platform::Platform& platform, const char* printerName)
{
    auto& modules = platform.modules;
    std::string failure;
    const SpoolerModule library = SpoolerLibrary(platform, failure);
    const platform::ModuleHandle spooler = library.handle;
    if (spooler == 0) return {false, failure};
    // By its number first; the name is the fallback.
    platform::ProcAddress setDefault = modules.GetProcAddressByOrdinal(spooler, kSetDefaultPrinterOrdinal).value;
    if (setDefault == 0) setDefault = modules.GetProcAddress(spooler, "SetDefaultPrinterA").value;
    if (setDefault == 0) return {false, "the spooler library has no SetDefaultPrinterA"};
    const auto set = platform.spooler.InvokeSetDefaultPrinter(setDefault, printerName);
    if (!set.value) return {false, Failed("SetDefaultPrinterA", set.error)};

    // A spooler that answers yes without doing it is caught by reading the name back.
    const platform::ProcAddress getDefault = modules.GetProcAddress(spooler, "GetDefaultPrinterA").value;
    if (getDefault == 0) return {true, {}};
    const auto name = ReadName(platform, getDefault, failure);
    if (!name) return {false, failure};
    if (!SameWordNoCase(*name, printerName))
        return {false, "the default printer is \"" + *name + "\" after SetDefaultPrinterA"};
    return {true, {}};
}

}  // namespace zenthar
