#include "install/Reconciliation.h"

#include <algorithm>

#include "connection/NetworkPort.h"
#include "connection/PlatformDetection.h"
#include "core/FixedText.h"
#include "core/Owners.h"
#include "install/DefaultPrinter.h"
#include "install/PrinterCreation.h"
#include "install/PrinterSettings.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"
#include "spooler/PortMonitor.h"
#include "spooler/UninstallEntry.h"

namespace zenthar {

using resources::Say;
using resources::Text;
using resources::Words;

WantedPort::WantedPort(platform::Platform& platform, const WantedPrinters& options, const std::string& listedPort)
    : usb(options.printerInterface == PrinterInterface::Usb),
      name(NeedsAddress(options.printerInterface) ? kNetworkPortPrefix + options.address
           : usb                                  ? std::string(kUsbMonitorPortName)
                                                  : listedPort)
{
    if (usb) monitorPorts = PortsOfMonitor(platform, kPortMonitorName);
}

bool WantedPort::Holds(const InstalledPrinter& printer) const
{
    if (!usb) return SameWordNoCase(printer.port, name);
    return std::any_of(monitorPorts.begin(), monitorPorts.end(),
                       [&](const std::string& each) { return SameWordNoCase(each, printer.port); });
}

std::string WantedPort::Describe() const
{
    return usb ? Say(Words::QuietMonitorPort, kPortMonitorName) : name;
}

namespace {

bool Chosen(const WantedPrinters& options, int row)
{
    if (options.clones != 0) return row < options.clones;
    return std::find(options.modelRows.begin(), options.modelRows.end(), row) != options.modelRows.end();
}

// The port printers already there are moved to, made ready when no installation run made it:
// a network port's key is made only when it is not there (an administrator's values stay),
// the monitor registered only when it is not.
void PrepareWantedPort(platform::Platform& platform, InstallSession& session, QuietRunScreen& screen,
                       const WantedPrinters& options, RunLog& log)
{
    if (NeedsAddress(options.printerInterface)) {
        NetworkPortFields fields;
        char address[kAddressTextSize] = {};
        CopyText(address, options.address);
        const std::string key = std::string(kTcpIpPortsKey) + "\\" + kNetworkPortPrefix + options.address;
        if (OpenKey(platform.registry, platform::kHkeyLocalMachine, key.c_str(), platform::KEY_READ)) return;
        log.Line(Say(Words::LogStep, Say(Words::QuietNetworkPort, kNetworkPortPrefix + options.address)));
        // The warning the installation run gives where it takes the address.
        if (!TcpIpMonitorPresent(platform)) {
            screen.Show(AppNotice(Text(Words::TcpIpMonitorMissing)));
            screen.Note(ExitCode::NetworkPortNotWritten);
        }
        const NetworkPortWritten written = CreateNetworkPort(platform, fields, address, screen);
        if (!written.allWritten) screen.Note(ExitCode::NetworkPortNotWritten);
        if (!written.restarted) screen.Note(ExitCode::OtherFailure);
    } else if (options.printerInterface == PrinterInterface::Usb && !IsPortMonitorInstalled(platform)) {
        log.Line(Say(Words::LogStep, Text(Words::QuietPortMonitor)));
        PrepareConnectionSession(platform, session);
        InstallPortMonitor(platform, session.processor);
    }
}

int LastChosen(const WantedPrinters& options)
{
    return options.clones != 0 ? options.clones - 1
                               : *std::max_element(options.modelRows.begin(), options.modelRows.end());
}

}  // namespace

ExitCode CheckChosenPrinters(platform::Platform& platform, const WantedPrinters& options, const WantedPort& wantedPort,
                             RunLog& log, int earlierDifferences)
{
    const NameTable& table = options.clones != 0 ? kCloneTable : kModelTable;
    const int rowsShown = options.clones != 0 ? options.clones : kModelCount;
    const std::uint32_t codePage = CodePageAt(options.codePageIndex);
    int differences = earlierDifferences;
    const auto differ = [&](const std::string& what) {
        log.Line(Say(Words::LogDifference, what));
        ++differences;
    };
    for (int row = 0; row < rowsShown; ++row) {
        if (!Chosen(options, row)) continue;
        const std::string name = InQuotes(table[row]);
        const auto found = ReadInstalledPrinter(platform, table[row]);
        if (!found) {
            const platform::Dword error = found.Failed().error;
            if (error == platform::ERROR_INVALID_PRINTER_NAME) {
                differ(Say(Words::QuietNotInstalled, name));
                continue;
            }
            log.Line(Say(Words::QuietPrinterUnread, name, error));
            return ExitCode::SpoolerNotAvailable;
        }
        if (!found->ours) differ(Say(Words::QuietOtherDriver, name, InQuotes(found->driver)));
        if (!wantedPort.Holds(*found)) differ(Say(Words::QuietOtherPort, name, found->port, wantedPort.Describe()));
        if (found->codePage != codePage)
            differ(found->codePage ? Say(Words::QuietOtherCodePage, name, *found->codePage, codePage)
                                   : Say(Words::QuietNoRecord, name, codePage));
    }
    if (options.makeDefault) {
        const std::string wanted = table[LastChosen(options)];
        const auto current = ReadDefaultPrinter(platform);
        if (!current) {
            differ(Say(Words::QuietDefaultUnread, Describe(current.Failed())));
        } else if (!SameWordNoCase(*current, wanted)) {
            differ(current->empty() ? Say(Words::QuietNoDefault, InQuotes(wanted))
                                    : Say(Words::QuietOtherDefault, InQuotes(*current), InQuotes(wanted)));
        }
    }
    return differences == 0 ? ExitCode::Installed : ExitCode::NotAsAsked;
}

ChosenPrinters SortChosen(platform::Platform& platform, const RowState& rows, const WantedPrinters& options,
                          const NameTable& table, int rowsShown, RunLog& log)
{
    ChosenPrinters chosen;
    for (int row = 0; row < rowsShown; ++row) {
        if (!rows.rowInstalled[row]) {
            chosen.anyMissing = chosen.anyMissing || Chosen(options, row);
            continue;
        }
        if (Chosen(options, row)) {
            if (auto found = ReadInstalledPrinter(platform, table[row]); found && found->ours) {
                chosen.ours.push_back({row, *found});
                continue;
            }
        }
        log.Line(Say(Words::LogStep, Say(Words::QuietPassedOver, table[row])));
    }
    return chosen;
}

namespace {

// Moves a printer of ours to the wanted port (the port made first, once) and writes its
// settings record anew.
void BringToWhatIsAsked(platform::Platform& platform, InstallSession& session, const char* name,
                        const ExistingPrinter& each, const WantedPort& wantedPort, bool& portReady,
                        QuietRunScreen& screen, const WantedPrinters& options, RunLog& log)
{
    const std::uint32_t codePage = CodePageAt(options.codePageIndex);
    const bool portRight = wantedPort.Holds(each.printer);
    if (portRight && each.printer.codePage == codePage) {
        log.Line(Say(Words::LogStep, Say(Words::QuietAlreadyAsAsked, InQuotes(name))));
        return;
    }
    if (!portRight) {
        if (!portReady) PrepareWantedPort(platform, session, screen, options, log);
        portReady = true;
        const Status moved = MovePrinterToPort(platform, name, wantedPort.Name().c_str());
        if (!moved) {
            log.Line(Say(Words::QuietNotMoved, InQuotes(name), wantedPort.Name(), moved.Failed().call,
                         moved.Failed().error));
            screen.Note(ExitCode::OtherFailure);
            return;
        }
        log.Line(Say(Words::LogStep, Say(Words::QuietMoved, InQuotes(name), each.printer.port, wantedPort.Name())));
    }
    if (!WritePrinterSettings(platform, name, codePage, screen)) {
        log.Line(Say(Words::QuietRecordNotWritten, InQuotes(name)));
        screen.Note(ExitCode::OtherFailure);
        return;
    }
    log.Line(Say(Words::LogStep,
                 Say(Words::QuietRecordWritten, InQuotes(name), CodePageTable[options.codePageIndex].label)));
}

void MakeChosenDefault(platform::Platform& platform, const NameTable& table, const WantedPrinters& options,
                       QuietRunScreen& screen, RunLog& log)
{
    const int lastChosen = LastChosen(options);
    const Status made = MakeDefaultPrinter(platform, table[lastChosen]);
    if (made) {
        log.Line(Say(Words::LogStep, Say(Words::QuietDefaultSet, InQuotes(table[lastChosen]))));
    } else {
        log.Line(Say(Words::QuietDefaultNotSet, InQuotes(table[lastChosen]), Describe(made.Failed())));
        screen.Note(ExitCode::OtherFailure);
    }
}

}  // namespace

void BringChosenToWhatIsAsked(platform::Platform& platform, InstallSession& session, const NameTable& table,
                              const ChosenPrinters& chosen, const WantedPort& wantedPort, QuietRunScreen& screen,
                              const WantedPrinters& options, RunLog& log)
{
    bool portReady = chosen.anyMissing;
    for (const ExistingPrinter& each : chosen.ours)
        BringToWhatIsAsked(platform, session, table[each.row], each, wantedPort, portReady, screen, options, log);
    // However the printers came to be there (a run that added to them writes no entry), the
    // administrator finds them in the list of programs.
    if (!chosen.ours.empty() || chosen.anyMissing) RegisterUninstall(platform);
    if (options.makeDefault) MakeChosenDefault(platform, table, options, screen, log);
}

}  // namespace zenthar
