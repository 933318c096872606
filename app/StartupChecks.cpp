#include "app/StartupChecks.h"

#include <cstring>
#include <string_view>
#include <unordered_map>

#include "core/FixedText.h"
#include "core/InstallSession.h"
#include "core/Owners.h"
#include "core/ServiceControl.h"
#include "core/SpoolerEnumeration.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"

namespace zenthar {

using resources::Text;
using resources::Words;

namespace {

constexpr const char* kProtectedPrintKey = "Software\\Policies\\Microsoft\\Windows NT\\Printers\\WPP";
// The policy's documented value, and the one the switch in Settings writes.
constexpr const char* kProtectedPrintValues[] = {"WindowsProtectedPrintGroupPolicyState", "WindowsProtectedPrintMode"};

}  // namespace

bool ProtectedPrintModeOn(platform::Platform& platform)
{
    const auto opened = OpenKey(platform.registry, platform::kHkeyLocalMachine, kProtectedPrintKey, platform::KEY_READ);
    if (!opened) return false;
    for (const char* name : kProtectedPrintValues) {
        platform::Dword value = 0;
        platform::Dword type = 0;
        platform::Dword size = sizeof value;
        const auto read = platform.registry.RegQueryValueExA(opened->Get(), name, nullptr, &type,
                                                             reinterpret_cast<std::uint8_t*>(&value), &size);
        if (read.value == 0 && type == platform::REG_DWORD && size == sizeof value && value == 1) return true;
    }
    return false;
}

SpoolerCheck CheckSpooler(platform::Platform& platform, const NoticeSink& notices)
{
    const Status queried = QueryService(platform, "spooler");
    if (queried) {
        if (StartServiceAndWait(platform, "spooler")) return SpoolerCheck::Running;
        notices.Show(AppNotice(Text(Words::SpoolerStopped)));
        return SpoolerCheck::NotStarted;
    }
    const std::string_view call = queried.Failed().call;
    const Words format = call == kOpenManager   ? Words::ScmFailed
                         : call == kOpenService ? Words::ServiceFailed
                                                : Words::QueryFailed;
    char message[128];
    FormatText(message, Text(format), static_cast<int>(queried.Failed().error));
    notices.Show(AppNotice(TextOf(message)));
    return SpoolerCheck::QueryFailed;
}

std::optional<std::vector<int>> FindInstalledRows(platform::Platform& platform, const NameTable& table, int count,
                                                  const NoticeSink& notices)
{
    const auto enumPrinters = [&platform](std::uint8_t* buffer, platform::Dword size, platform::Dword* needed,
                                          platform::Dword* returned) {
        return platform.spooler.EnumPrintersA(platform::PRINTER_ENUM_LOCAL, nullptr, 2, buffer, size, needed, returned);
    };
    const Notice failed = MainWindowNotice(Text(Words::EnumPrintersFailed), Text(Words::EnumPrintersCaption));
    Enumeration<platform::PrinterInfo2A> printers;
    // A machine without local printers has nothing to list; only a failing spooler is worth a
    // message.
    if (!printers.Read(enumPrinters, "EnumPrintersA")) {
        notices.Show(failed);
        return std::nullopt;
    }
    std::vector<int> found;

    // One look-up per printer: a print server with thousands of printers must not make every
    // keystroke in the copies box compare each of them with each of 200 rows.
    std::unordered_map<std::string_view, int> rowByName;
    for (int i = 0; i < count && i < table.count && i < kRowFlagCount; ++i) rowByName.emplace(table[i], i);

    for (const platform::PrinterInfo2A& printer : printers.Records()) {
        const char* printerName = printer.pPrinterName;
        const char* driverName = printer.pDriverName;
        if (printerName == nullptr || driverName == nullptr || std::strcmp(printerName, driverName) != 0) continue;
        const auto row = rowByName.find(printerName);
        if (row != rowByName.end()) found.push_back(row->second);
    }
    return found;
}

}  // namespace zenthar
