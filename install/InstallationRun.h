// The installation run: what happens when Install is pressed, from the row check to the
// completion, with its status texts, pauses and endings. It shows nothing itself: it speaks
// to the screen through InstallationScreen, which the main dialog implements with its
// windows and which a run without windows can implement without them.
#pragma once

#include <optional>

#include "connection/NetworkPort.h"
#include "connection/UsbSearch.h"
#include "core/Notice.h"
#include "install/ProcessState.h"
#include "platform/Platform.h"

namespace zenthar {

// The user's answer to the connection question: the port chosen and, for a network port, the
// address typed.
struct ConnectionChoice {
    char portName[32] = {};
    char addressText[kAddressTextSize] = {};
};

class InstallationScreen : public NoticeSink, public UsbSearchView {
public:
    virtual void EnableInstall(bool enable) = 0;
    virtual void EnableExit(bool enable) = 0;
    // Asks for the interface, port and code page (and the session's choices that go with
    // them). false: the user cancelled.
    virtual bool AskConnection(InstallSession& session, ConnectionChoice& choice) = 0;
    // Shows a step in the status line and the bar, painted at once.
    virtual void ShowStep(const char* text, int position) = 0;
    virtual void ShowPosition(int position) = 0;
    // Paints what changed so far.
    virtual void Refresh() = 0;
    // Asks whether the new printer becomes the default; the answer is left in
    // `setDefaultRequested`. false: the user cancelled.
    virtual bool AskDefaultPrinter(int& setDefaultRequested) = 0;
    // Tells the user the installation is complete, and waits until they have seen it.
    virtual void ShowCompletion() = 0;
    // A run that stopped may have made printers: the list is scanned and shown again.
    virtual void ShowListAfterStop() = 0;
    // Ends the program (the main dialog, with cancel).
    virtual void EndProgram() = 0;
    // A pause that only lets the user see a step; the machine's own waits are not asked here.
    virtual void PauseToShow(platform::Dword milliseconds) = 0;

protected:
    ~InstallationScreen() = default;
};

// What the list held when Install was pressed.
struct RunRequest {
    bool cloneMode = false;
    int copies = 0;
    int checkedRows = 0;
};

// How a run ended. The user of the main dialog has seen it; a run without windows reports it.
enum class RunEnding {
    NothingChosen,
    Cancelled,
    UsbPrinterNotFound,
    FamilyNotDetected,
    FamilyNotSupported,
    DriverNotRegistered,
    PrinterNotCreated,
    ProcessorNotSupported,  // the completion was reached with nothing installed
    Completed,
};

// The first thing that went wrong without stopping the run.
enum class RunSetback {
    None,
    NetworkPort,      // the port's key or one of its values was not written
    UsbPortNumber,    // the USB printer's port number could not be read
    PrinterPort,      // a printer was put on another port than the one chosen
    PrinterSettings,  // a printer's settings record was not written
    CommandStopped,   // a command had not ended in its time and was stopped
};

struct RunOutcome {
    RunEnding ending = RunEnding::Completed;
    RunSetback setback = RunSetback::None;
};

class InstallationRun {
public:
    InstallationRun(platform::Platform& platform, ProcessState& state, InstallationScreen& screen);
    RunOutcome Run(const RunRequest& request);

private:
    const char* RowName(int row) const;
    struct RowsInstalled {
        std::optional<RunEnding> stopped;  // why the run stopped, when it did
        bool workedOnARow = false;
    };

    // Names the run's port and makes sure it is there: the USB printer searched for, the
    // network port written. A value: the run ends so.
    std::optional<RunEnding> PreparePort(const ConnectionChoice& connection, NetworkPortFields& networkPort);
    // The rows, then the uninstall entry and the default printer: Completed, or how it stopped.
    RunEnding InstallAndRegister(const NetworkPortFields& networkPort);
    // Installs every chosen row that has no printer yet.
    RowsInstalled InstallRows(const NetworkPortFields& networkPort);
    // Creates the row's printer and closes it again. false: it could not be made.
    bool AddRowPrinter(const char* name, const char* port);
    void SetDefaultPrinter(const char* printerName);
    void NoteSetback(RunSetback setback);

    platform::Platform& platform;
    ProcessState& state;
    InstallationScreen& screen;
    bool cloneMode = false;
    // The run's port, kept for its length: the chosen port's name.
    char portName[32] = {};
    int lastRow = -1;
    RunSetback firstSetback = RunSetback::None;
};

}  // namespace zenthar
