// The exit codes of both programs. Deployment scripts and the Windows Installer package rely on
// them, so a code never changes meaning; WinMain hands them to Windows as numbers.
#pragma once

namespace zenthar {

// The installer's.
enum class ExitCode : int {
    Installed = 0,  // or everything chosen existed already
    BadArguments = 1,
    WindowsNotSupported = 2,
    SpoolerNotAvailable = 3,
    UsbPrinterNotFound = 4,
    NetworkPortNotWritten = 5,
    DriverNotRegistered = 6,
    PrinterNotCreated = 7,
    OtherFailure = 8,
    NotAsAsked = 9,  // /check: the machine differs from what the options ask
    // The installer folder is a reparse point, belongs to someone else or cannot be locked:
    // nothing was changed.
    FolderNotLocked = 10,
    ProtectedPrintMode = 11,  // Windows takes only its own IPP class driver
    // Another installation or removal holds the machine: Windows Installer's own code for it,
    // which deployment tools retry later.
    AnotherRunInProgress = 1618,
};

// The uninstaller's, the same with windows and without.
enum class UninstallerExit : int {
    Removed = 0,        // everything removed, or nothing to remove
    NotAllRemoved = 1,  // at least one part is still there, or the spooler was unread
    // Nothing was tried: the user cancelled, or the command line was not understood, or the log
    // asked for could not be written. Apart from 1, so that a script can tell "did not run" from
    // "ran, left something".
    NothingTried = 2,
    // Nothing was tried: the installer folder, which it runs from, is not safe to use.
    FolderNotLocked = 3,
    AnotherRunInProgress = 1618,  // as the installer's
};

}  // namespace zenthar
