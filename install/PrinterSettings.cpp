#include "install/PrinterSettings.h"

#include <memory>
#include <new>

#include "core/FixedText.h"
#include "core/Owners.h"
#include "install/DeviceConfigRecord.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"

namespace zenthar {

bool WritePrinterSettings(platform::Platform& platform, const char* name, std::uint32_t codePage,
                          const NoticeSink& notices)
{
    using Record = std::uint8_t[kDeviceConfigRecordSize];
    std::unique_ptr<Record> record(new (std::nothrow) Record[1]());
    if (!record) return false;
    FillDeviceConfigRecord(*record, codePage);

    platform::PrinterDefaultsA defaults{nullptr, nullptr, platform::PRINTER_ALL_ACCESS};
    const auto opened = OpenPrinter(platform.spooler, name, &defaults);
    if (!opened) {
        char message[128];
        FormatText(message, resources::Text(resources::Words::OpenPrinterFailed),
                   static_cast<int>(opened.Failed().error), name);
        notices.Show(MainWindowNotice(message));
        return false;
    }
    return platform.spooler
               .SetPrinterDataA(opened->Get(), kDeviceConfigValueName, platform::REG_BINARY, *record,
                                static_cast<platform::Dword>(kDeviceConfigRecordSize))
               .value == platform::ERROR_SUCCESS;
}

}  // namespace zenthar
