#include "install/DefaultPrinter.h"

#include "core/FixedText.h"

namespace zenthar {

namespace {

// The spooler's export SetDefaultPrinterA has carried this number since before it had a name.
constexpr platform::Word kSetDefaultPrinterOrdinal = 202;

std::string Failed(const char* call, platform::Dword error)
{
    return std::string(call) + " failed (error " + std::to_string(error) + ")";
}

}  // namespace

DefaultPrinterResult MakeDefaultPrinter(platform::Platform& platform, const char* printerName)
{
    auto& modules = platform.modules;
    platform::ModuleHandle spooler = modules.GetModuleHandleA("winspool.drv").value;
    if (spooler == 0) {
        const auto loaded = modules.LoadLibraryA("winspool.drv");
        if (loaded.value == 0) return {false, Failed("LoadLibraryA(\"winspool.drv\")", loaded.error)};
        spooler = loaded.value;
    }
    // By its number first; the name is the fallback.
    platform::ProcAddress setDefault = modules.GetProcAddressByOrdinal(spooler, kSetDefaultPrinterOrdinal).value;
    if (setDefault == 0) setDefault = modules.GetProcAddress(spooler, "SetDefaultPrinterA").value;
    if (setDefault == 0) return {false, "the spooler library has no SetDefaultPrinterA"};
    const auto set = platform.spooler.InvokeSetDefaultPrinter(setDefault, printerName);
    if (!set.value) return {false, Failed("SetDefaultPrinterA", set.error)};

    // A spooler that answers yes without doing it is caught by reading the name back.
    const platform::ProcAddress getDefault = modules.GetProcAddress(spooler, "GetDefaultPrinterA").value;
    if (getDefault == 0) return {true, {}};
    char name[256] = {};
    platform::Dword size = sizeof name;
    const auto read = platform.spooler.InvokeGetDefaultPrinter(getDefault, name, &size);
    if (!read.value) return {false, Failed("GetDefaultPrinterA", read.error)};
    name[sizeof name - 1] = '\0';
    if (!SameWordNoCase(TextOf(name), printerName))
        return {false, "the default printer is \"" + std::string(TextOf(name)) + "\" after SetDefaultPrinterA"};
    return {true, {}};
}

}  // namespace zenthar
