// What happens when Install is pressed: one blocking run on the user-interface thread, from
// the row check to the completion dialog.
#include <cstring>

#include "app/DefaultPrinterDialog.h"
#include "app/InstallCompleteDialog.h"
#include "app/MainDialog.h"
#include "core/CodePageTable.h"
#include "connection/InterfaceDialog.h"
#include "connection/NetworkPort.h"
#include "connection/PlatformDetection.h"
#include "connection/UsbSearch.h"
#include "core/FixedText.h"
#include "core/Pause.h"
#include "install/DriverFileSets.h"
#include "install/DriverRegistration.h"
#include "install/PrinterCreation.h"
#include "install/PrinterSettings.h"
#include "spooler/PortMonitor.h"
#include "spooler/PrintProcessor.h"
#include "spooler/Uninstall.h"
#include "ui/Ui.h"

namespace zenthar {

namespace {

// The families the driver package does not support, with what the user is told.
const char* UnsupportedFamilyMessage(std::int32_t family)
{
    switch (family) {
    case OsFamily::NT3: return "Windows NT 3.51 not Supported !!!";
    case OsFamily::Win95: return "Windows 95 not Supported !!!";
    case OsFamily::Win98: return "Windows 98 not Supported !!!";
    case OsFamily::WinMe: return "Windows ME not Supported !!!";
    default: return nullptr;
    }
}

}  // namespace

void MainDialog::RunInstallation()
{
    auto& session = state.session;
    auto& rows = state.rows;

    if (cloneMode && copies != 0) rows.rowCount = copies;
    exitButton.Enable(false);

    if (CountCheckedRows() == 0) {
        installButton.Enable(false);
        exitButton.Enable(true);
        MessageBox("Please, select printer driver to install !!!");
        return;
    }

    session.codePageIndex = kDefaultCodePageIndex;
    InterfaceDialog interfaceDialog(platform, session, this);
    if (interfaceDialog.DoModal() != ui::kIdOk) {
        MessageBox("Install Canceled");
        EndDialog(ui::kIdCancel);
        return;
    }

    installButton.Enable(false);
    exitButton.Enable(false);

    CopyText(portName, TextOf(interfaceDialog.portName));
    session.portKind = ClassifyPort(portName);
    NetworkPortFields networkPort;
    if (session.portKind == PortKind::Usb) {
        if (!SearchUsbPrinter(platform, state.usbChannel, *this)) return;
    } else if (session.portKind == PortKind::TcpIp) {
        CreateNetworkPort(platform, networkPort, interfaceDialog.addressText, this);
    }
    UpdateWindow();

    if (session.osFamily <= OsFamily::None) {
        ShowListAfterStop();
        return;
    }
    if (const char* refused = UnsupportedFamilyMessage(session.osFamily)) {
        MessageBox(refused, "ERROR");
        ShowListAfterStop();
        return;
    }

    // The interface dialog asks for the monitor's port on every run, so this always checks.
    if (session.usbMonitorPort && IsPortMonitorInstalled(platform) == 0) InstallPortMonitor(platform, session.processor);

    const bool knownProcessor = session.processor == Processor::X86 || session.processor == Processor::X64 ||
                                session.processor == Processor::Itanium;
    bool workedOnARow = false;
    if (knownProcessor) {
        ShowStep("Print Driver Copy Started", 30);
        Pause(platform, 500);
        CopyDriverFiles(platform, session);
        ShowStep("Print Driver Copy Ended", 40);
        Pause(platform, 500);
        ShowStep("Print Driver Install Started", 50);

        char usbPortName[32];
        CopyText(usbPortName, state.usbChannel.UsbPortName());
        const char* port = PrinterPortFor(session, portName, networkPort.networkPortName, usbPortName);
        // Model mode works through the models, whatever a clone run left in rowCount.
        const int rowsToWork = cloneMode ? rows.rowCount : kModelCount;
        for (int i = 0; i < rowsToWork && i < kRowFlagCount; ++i) {
            if (!rows.rowSelected[i] || rows.rowInstalled[i] != 0) continue;
            lastRow = i;
            workedOnARow = true;
            const char* name = RowName(i);

            if (!RegisterDriver(platform, session.processor, session.osFamily, name, this)) {
                RemovePrintProcessor(platform, session.osFamily);
                ShowListAfterStop();
                return;
            }
            ShowStep("Print Driver Install Ended", 60);
            Pause(platform, 500);
            ShowStep("Add Printer Started", 70);

            const platform::Handle printer = CreatePrinter(platform, name, port, this);
            if (printer == platform::kNoHandle) {
                RemovePrintProcessor(platform, session.osFamily);
                ShowListAfterStop();
                return;
            }
            ShowStep("Add Printer Ended", 85);
            Pause(platform, 500);
            platform.spooler.ClosePrinter(printer);
            ShowPosition(90);
            Pause(platform, 1500);

            const int codePage = session.codePageIndex >= 0 && session.codePageIndex < kCodePageCount
                                     ? static_cast<int>(CodePageTable[session.codePageIndex].codePage)
                                     : 0;
            WritePrinterSettings(platform, name, static_cast<std::uint32_t>(codePage), this);
        }

        // A run that adds to an earlier installation (its first rows exist) leaves the
        // uninstall entry and the default printer to that installation.
        if (rows.rowInstalled[0] == 0 && rows.rowInstalled[1] == 0) {
            RegisterUninstall(platform);
            DefaultPrinterDialog defaultDialog(state.setDefaultRequested, this);
            if (defaultDialog.DoModal() != ui::kIdOk) {
                MessageBox("Install Canceled");
                EndDialog(ui::kIdCancel);
                return;
            }
            // Only a printer of this run can become the default.
            if (state.setDefaultRequested && workedOnARow) SetDefaultPrinter(RowName(lastRow));
        }
    }

    ShowStep("Installation Completed!!!", 100);
    Pause(platform, 500);
    exitButton.Enable(true);
    InstallCompleteDialog completeDialog(this);
    completeDialog.DoModal();
    EndDialog(ui::kIdCancel);
}

void MainDialog::SetDefaultPrinter(const char* printerName)
{
    auto& modules = platform.modules;
    platform::ModuleHandle spooler = modules.GetModuleHandleA("winspool.drv").value;
    if (spooler == 0) spooler = modules.LoadLibraryA("winspool.drv").value;
    if (spooler == 0) return;
    // The export has carried number 202 since before it had a name; the name is the fallback.
    platform::ProcAddress setDefault = modules.GetProcAddressByOrdinal(spooler, 202).value;
    if (setDefault == 0) setDefault = modules.GetProcAddress(spooler, "SetDefaultPrinterA").value;
    if (setDefault != 0) platform.spooler.InvokeSetDefaultPrinter(setDefault, printerName);
}

}  // namespace zenthar
