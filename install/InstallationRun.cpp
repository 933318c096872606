#include "install/InstallationRun.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "connection/PlatformDetection.h"
#include "core/CodePageTable.h"
#include "core/FixedText.h"
#include "core/InstallationRecord.h"
#include "core/Owners.h"
#include "core/SpoolerEnumeration.h"
#include "install/DefaultPrinter.h"
#include "install/DriverFileSets.h"
#include "install/DriverRegistration.h"
#include "install/NameTables.h"
#include "install/PrinterCreation.h"
#include "install/PrinterSettings.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"
#include "spooler/PortMonitor.h"
#include "spooler/PrintProcessor.h"
#include "spooler/UninstallEntry.h"

namespace zenthar {

using resources::Say;
using resources::Text;
using resources::Words;

namespace {

// The families the driver package does not support, with what the user is told.
const char* UnsupportedFamilyMessage(OsFamily family)
{
    switch (family) {
    case OsFamily::NT3: return Text(Words::Nt351NotSupported);
    case OsFamily::Win95: return Text(Words::Win95NotSupported);
    case OsFamily::Win98: return Text(Words::Win98NotSupported);
    case OsFamily::WinMe: return Text(Words::WinMeNotSupported);
    default: return nullptr;
    }
}

constexpr platform::Dword kSearchFailurePause = 500;

// The designed pauses after the steps, so that each status can be read.
constexpr platform::Dword kStepPause = 500;
constexpr platform::Dword kPrinterMadePause = 1500;

// Where the progress bar stands at each step, in percent.
constexpr int kCopyStartedPosition = 30;
constexpr int kCopyEndedPosition = 40;
constexpr int kInstallStartedPosition = 50;
constexpr int kInstallEndedPosition = 60;
constexpr int kAddStartedPosition = 70;
constexpr int kAddEndedPosition = 85;
constexpr int kPrinterClosedPosition = 90;
constexpr int kCompletedPosition = 100;

// The drivers registered before the run's own: registering one of them again only updates it,
// and it stays the earlier installation's. None when the spooler does not say; the run then
// records no driver, as any could have been there.
std::optional<std::vector<std::string>> RegisteredDrivers(platform::Platform& platform)
{
    Enumeration<platform::DriverInfo1A> list;
    const auto call = [&platform](std::uint8_t* buffer, platform::Dword size, platform::Dword* needed,
                                  platform::Dword* returned) {
        return platform.spooler.EnumPrinterDriversA(nullptr, nullptr, 1, buffer, size, needed, returned);
    };
    if (!list.Read(call, "EnumPrinterDriversA")) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& record : list.Records())
        if (record.pName != nullptr) names.emplace_back(record.pName);
    return names;
}

}  // namespace

InstallationRun::InstallationRun(platform::Platform& platform, ProcessState& state, InstallationScreen& screen)
    : platform(platform), state(state), screen(screen)
{}

const char* InstallationRun::RowName(int row) const
{
    return cloneMode ? kCloneTable[row] : kModelTable[row];
}

void InstallationRun::NoteSetback(RunSetback setback)
{
    if (firstSetback == RunSetback::None) firstSetback = setback;
}

RunOutcome InstallationRun::Run(const RunRequest& request)
{
    auto& session = state.session;
    cloneMode = request.cloneMode;

    if (cloneMode && request.copies != 0) state.rows.rowCount = request.copies;
    screen.EnableExit(false);

    if (request.checkedRows == 0) {
        screen.EnableInstall(false);
        screen.EnableExit(true);
        screen.Show(MainWindowNotice(Text(Words::PleaseSelect)));
        return {RunEnding::NothingChosen, firstSetback};
    }

    session.codePageIndex = kDefaultCodePageIndex;
    ConnectionChoice connection;
    if (!screen.AskConnection(session, connection)) {
        screen.Show(MainWindowNotice(Text(Words::InstallCanceled)));
        screen.EndProgram();
        return {RunEnding::Cancelled, firstSetback};
    }

    screen.EnableInstall(false);
    screen.EnableExit(false);

    NetworkPortFields networkPort;
    if (const auto stopped = PreparePort(connection, networkPort)) return {*stopped, firstSetback};
    screen.Refresh();

    if (session.osFamily <= OsFamily::None) {
        screen.ShowListAfterStop();
        return {RunEnding::FamilyNotDetected, firstSetback};
    }
    if (const char* refused = UnsupportedFamilyMessage(session.osFamily)) {
        screen.Show(MainWindowNotice(refused, Text(Words::ErrorCaption)));
        screen.ShowListAfterStop();
        return {RunEnding::FamilyNotSupported, firstSetback};
    }

    // The interface dialog asks for the monitor's port on every run, so this always checks.
    if (session.usbMonitorPort && !IsPortMonitorInstalled(platform)) InstallPortMonitor(platform, session.processor);

    const bool knownProcessor = session.processor == Processor::X86 || session.processor == Processor::X64 ||
                                session.processor == Processor::Itanium;
    const RunEnding ending = knownProcessor ? InstallAndRegister(networkPort) : RunEnding::ProcessorNotSupported;
    if (ending != RunEnding::Completed && ending != RunEnding::ProcessorNotSupported) return {ending, firstSetback};

    screen.ShowStep(Text(Words::InstallationCompleted), kCompletedPosition);
    screen.PauseToShow(kStepPause);
    screen.EnableExit(true);
    screen.ShowCompletion();
    screen.EndProgram();
    return {ending, firstSetback};
}

std::optional<RunEnding> InstallationRun::PreparePort(const ConnectionChoice& connection,
                                                      NetworkPortFields& networkPort)
{
    auto& session = state.session;
    CopyText(portName, TextOf(connection.portName));
    session.portKind = ClassifyPort(portName);
    if (session.portKind == PortKind::Usb) {
        const UsbSearched searched = SearchUsbPrinter(platform, state.usbChannel, screen, screen);
        if (searched.portNumberUnread) NoteSetback(RunSetback::UsbPortNumber);
        if (searched.outcome == UsbSearchOutcome::Failed) {
            screen.Show(MainWindowNotice(Text(Words::UsbSearchFailed)));
            screen.PauseToShow(kSearchFailurePause);
            screen.EndProgram();
            return RunEnding::UsbPrinterNotFound;
        }
    } else if (session.portKind == PortKind::TcpIp) {
        const NetworkPortWritten written = CreateNetworkPort(platform, networkPort, connection.addressText, screen);
        if (!written.allWritten) NoteSetback(RunSetback::NetworkPort);
        if (!written.restarted) NoteSetback(RunSetback::CommandStopped);
    }
    return std::nullopt;
}

RunEnding InstallationRun::InstallAndRegister(const NetworkPortFields& networkPort)
{
    const RowsInstalled installed = InstallRows(networkPort);
    if (installed.stopped) {
        RemovePrintProcessor(platform, state.session.osFamily, screen);
        screen.ShowListAfterStop();
        return *installed.stopped;
    }

    // A run that adds to an earlier installation (its first rows exist) leaves the
    // uninstall entry and the default printer to that installation.
    if (state.rows.rowInstalled[0] == 0 && state.rows.rowInstalled[1] == 0) {
        RegisterUninstall(platform);
        if (!screen.AskDefaultPrinter(state.setDefaultRequested)) {
            screen.Show(MainWindowNotice(Text(Words::InstallCanceled)));
            screen.EndProgram();
            return RunEnding::Cancelled;
        }
        // Only a printer of this run can become the default.
        if (state.setDefaultRequested && installed.workedOnARow) SetDefaultPrinter(RowName(lastRow));
    }
    return RunEnding::Completed;
}

InstallationRun::RowsInstalled InstallationRun::InstallRows(const NetworkPortFields& networkPort)
{
    auto& session = state.session;
    auto& rows = state.rows;

    const auto driversBefore = RegisteredDrivers(platform);
    screen.ShowStep(Text(Words::CopyStarted), kCopyStartedPosition);
    screen.PauseToShow(kStepPause);
    CopyDriverFiles(platform, session);
    screen.ShowStep(Text(Words::CopyEnded), kCopyEndedPosition);
    screen.PauseToShow(kStepPause);
    screen.ShowStep(Text(Words::InstallStarted), kInstallStartedPosition);

    char usbPortName[32];
    CopyText(usbPortName, state.usbChannel.UsbPortName());
    const char* port = PrinterPortFor(session, portName, networkPort.networkPortName, usbPortName);
    RowsInstalled installed;
    // Model mode works through the models, whatever a clone run left in rowCount.
    const int rowsToWork = cloneMode ? rows.rowCount : kModelCount;
    for (int i = 0; i < rowsToWork && i < kRowFlagCount; ++i) {
        if (!rows.rowSelected[i] || rows.rowInstalled[i] != 0) continue;
        lastRow = i;
        installed.workedOnARow = true;
        const char* name = RowName(i);

        if (!RegisterDriver(platform, session.processor, session.osFamily, name, screen)) {
            installed.stopped = RunEnding::DriverNotRegistered;
            return installed;
        }
        if (driversBefore && std::none_of(driversBefore->begin(), driversBefore->end(),
                                          [name](const std::string& each) { return SameWordNoCase(each, name); }))
            Record(platform, {{Made::Driver, name}});
        screen.ShowStep(Text(Words::InstallEnded), kInstallEndedPosition);
        screen.PauseToShow(kStepPause);
        screen.ShowStep(Text(Words::AddStarted), kAddStartedPosition);

        if (!AddRowPrinter(name, port)) {
            installed.stopped = RunEnding::PrinterNotCreated;
            return installed;
        }
        if (!WritePrinterSettings(platform, name, CodePageAt(session.codePageIndex), screen))
            NoteSetback(RunSetback::PrinterSettings);
    }
    return installed;
}

bool InstallationRun::AddRowPrinter(const char* name, const char* port)
{
    CreatedPrinter created = CreatePrinter(platform, name, port, screen);
    if (!created) return false;
    Record(platform, {{Made::Printer, name}});
    if (created.onFallbackPort) NoteSetback(RunSetback::PrinterPort);
    screen.ShowStep(Text(Words::AddEnded), kAddEndedPosition);
    screen.PauseToShow(kStepPause);
    created.printer.Close();
    screen.ShowPosition(kPrinterClosedPosition);
    screen.PauseToShow(kPrinterMadePause);
    return true;
}

void InstallationRun::SetDefaultPrinter(const char* printerName)
{
    // The dialogs do not report it: the user sees the default printer in the system's list.
    const Status made = MakeDefaultPrinter(platform, printerName);
    if (!made) platform.debug.OutputDebugStringA(Say(Words::DefaultNotSet, Describe(made.Failed())).c_str());
}

}  // namespace zenthar
