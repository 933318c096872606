// The run without windows brought to what its options ask when it is run again: the chosen
// printers of ours that are there already are moved to the wanted port and given the wanted
// code page instead of being passed over, and a check compares the machine with the options
// without changing it. Deployment tools run the same command again and again.
#pragma once

#include <string>
#include <vector>

#include "connection/PrinterInterface.h"
#include "core/CodePageTable.h"
#include "core/ExitCodes.h"
#include "core/RunLog.h"
#include "install/InstallationRun.h"
#include "install/InstalledPrinter.h"
#include "install/NameTables.h"
#include "platform/Platform.h"

namespace zenthar {

// What a run without windows asks of the machine.
struct WantedPrinters {
    std::vector<int> modelRows;  // rows of the model table, in the order given
    int clones = 0;              // 0: models
    PrinterInterface printerInterface = PrinterInterface::Usb;
    std::string port;     // empty: the first port the interface dialog would show
    std::string address;  // as the address dialog would have written it
    int codePageIndex = kDefaultCodePageIndex;
    bool makeDefault = false;
};

// The screen of a run without windows; it keeps the first failure that did not stop the run.
class QuietRunScreen : public InstallationScreen {
public:
    void Note(ExitCode code)
    {
        if (noted == ExitCode::Installed) noted = code;
    }
    ExitCode Noted() const { return noted; }

protected:
    ~QuietRunScreen() = default;

private:
    ExitCode noted = ExitCode::Installed;
};

// Where the options want the printers: the port's name, and for USB any port of our monitor.
class WantedPort {
public:
    WantedPort(platform::Platform& platform, const WantedPrinters& options, const std::string& listedPort);

    bool Holds(const InstalledPrinter& printer) const;
    // The port a printer is moved to.
    const std::string& Name() const { return name; }
    std::string Describe() const;

private:
    bool usb;
    std::string name;
    std::vector<std::string> monitorPorts;
};

struct ExistingPrinter {
    int row;
    InstalledPrinter printer;
};

// The chosen printers of ours that are there, and whether any chosen one is not.
struct ChosenPrinters {
    std::vector<ExistingPrinter> ours;
    bool anyMissing = false;
};

// Sorts the rows that have a printer: the chosen ones of ours are kept, each other one is logged
// as passed over.
ChosenPrinters SortChosen(platform::Platform& platform, const RowState& rows, const WantedPrinters& options,
                          const NameTable& table, int rowsShown, RunLog& log);

// After a run that completed (or none was needed): brings each chosen printer of ours to what
// is asked (the port made first, once,
// unless the run made it for a missing one), registers the uninstall entry
// when there are printers, and makes the last chosen one the default when asked.
void BringChosenToWhatIsAsked(platform::Platform& platform, InstallSession& session, const NameTable& table,
                              const ChosenPrinters& chosen, const WantedPort& wantedPort, QuietRunScreen& screen,
                              const WantedPrinters& options, RunLog& log);

// The chosen printers and the default held to the options without changing the machine: one
// log line per difference, counted after `earlierDifferences`.
ExitCode CheckChosenPrinters(platform::Platform& platform, const WantedPrinters& options, const WantedPort& wantedPort,
                             RunLog& log, int earlierDifferences);

}  // namespace zenthar
