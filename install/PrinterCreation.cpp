#include "install/PrinterCreation.h"

#include <utility>

#include "core/FixedText.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"

namespace zenthar {

namespace {
char kWinPrint[] = "WinPrint";
char kFallbackPort[] = "COM1:";
}  // namespace

const char* PrinterPortFor(const InstallSession& session, const char* portName, const char* networkPortName,
                           const char* usbPortName)
{
    switch (session.portKind) {
    case PortKind::Usb: return session.usbMonitorPort ? kUsbMonitorPortName : usbPortName;
    case PortKind::TcpIp: return networkPortName;
    default: return portName;
    }
}

CreatedPrinter CreatePrinter(platform::Platform& platform, const char* name, const char* port,
                             const NoticeSink& notices)
{
    platform::PrinterInfo2A info{};
    info.pPrinterName = const_cast<char*>(name);
    info.pDriverName = const_cast<char*>(name);
    info.pPortName = const_cast<char*>(port);
    info.pPrintProcessor = kWinPrint;
    info.Attributes = platform::PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST | platform::PRINTER_ATTRIBUTE_ENABLE_BIDI;

    auto added = OwnPrinter(platform.spooler, platform.spooler.AddPrinterA(nullptr, 2, &info));
    if (added) return {std::move(*added)};

    if (added.Failed().error == platform::ERROR_UNKNOWN_PORT) {
        info.pPortName = kFallbackPort;
        added = OwnPrinter(platform.spooler, platform.spooler.AddPrinterA(nullptr, 2, &info));
        if (added) {
            notices.Show(MainWindowNotice(resources::Text(resources::Words::ForciblyCom1)));
            return {std::move(*added), true};
        }
    }

    char message[128];
    FormatText(message, resources::Text(resources::Words::AddPrinterFailed), static_cast<int>(added.Failed().error));
    notices.Show(MainWindowNotice(message));
    return {};
}

}  // namespace zenthar
