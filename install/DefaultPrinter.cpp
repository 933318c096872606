#include "install/DefaultPrinter.h"

#include <utility>

#include "core/FixedText.h"
#include "core/Owners.h"
#include "core/SystemFiles.h"
#include "platform/Constants.h"

namespace zenthar {

namespace {

// The spooler's export SetDefaultPrinterA has carried this number since before it had a name.
constexpr platform::Word kSetDefaultPrinterOrdinal = 202;
constexpr const char* kSpoolerLibrary = "winspool.drv";
constexpr const char* kSetDefault = "SetDefaultPrinterA";
constexpr const char* kGetDefault = "GetDefaultPrinterA";

// An export the library does not have fails as the export itself, as Windows would name it.
Result<platform::ProcAddress> Export(platform::Platform& platform, platform::ModuleHandle spooler, const char* name)
{
    const auto found = platform.modules.GetProcAddress(spooler, name);
    if (found.value == 0) return FailedCall(name, found.error, platform::ERROR_PROC_NOT_FOUND);
    return found.value;
}

Result<std::string> ReadName(platform::Platform& platform, platform::ProcAddress getDefault)
{
    char name[256] = {};
    platform::Dword size = sizeof name;
    const auto read = platform.spooler.InvokeGetDefaultPrinter(getDefault, name, &size);
    if (!read.value) {
        // No default printer at all is an answer, not a failure.
        if (read.error == platform::ERROR_FILE_NOT_FOUND) return std::string();
        return Failure{kGetDefault, read.error};
    }
    name[sizeof name - 1] = '\0';
    return std::string(TextOf(name));
}

}  // namespace

Result<std::string> ReadDefaultPrinter(platform::Platform& platform)
{
    // Loaded from the system directory whether or not this process has it already, so that no
    // library of the same name from anywhere else stands in for it; unloaded again after use.
    const auto library = LoadSystemLibrary(platform, kSpoolerLibrary);
    PASS_UP(library);
    const auto getDefault = Export(platform, library->Get(), kGetDefault);
    PASS_UP(getDefault);
    return ReadName(platform, *getDefault);
}

Status MakeDefaultPrinter(platform::Platform& platform, const char* printerName)
{
    auto& modules = platform.modules;
    const auto library = LoadSystemLibrary(platform, kSpoolerLibrary);
    PASS_UP(library);
    const platform::ModuleHandle spooler = library->Get();
    // By its number first; the name is the fallback.
    platform::ProcAddress setDefault = modules.GetProcAddressByOrdinal(spooler, kSetDefaultPrinterOrdinal).value;
    if (setDefault == 0) {
        const auto named = Export(platform, spooler, kSetDefault);
        PASS_UP(named);
        setDefault = *named;
    }
    const auto set = platform.spooler.InvokeSetDefaultPrinter(setDefault, printerName);
    if (!set.value) return Failure{kSetDefault, set.error};

    // A spooler that answers yes without doing it is caught by reading the name back.
    const platform::ProcAddress getDefault = modules.GetProcAddress(spooler, kGetDefault).value;
    if (getDefault == 0) return Done{};
    const auto name = ReadName(platform, getDefault);
    PASS_UP(name);
    if (!SameWordNoCase(*name, printerName)) return Failure{kSetDefault, platform::ERROR_INVALID_PRINTER_NAME};
    return Done{};
}

}  // namespace zenthar
