// Every text of the installer's book, letter for letter: a changed letter, space or "!!!" in the
// book fails here, and so does a text added to the book without its row.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "resources/InstallerWords.h"

namespace {

using zenthar::resources::Say;
using zenthar::resources::Text;
using zenthar::resources::Words;

struct Pinned {
    Words id;
    const char* text;
};

// The texts as they are meant to read. The network port's value failures after the first carry
// the same error number as the first: their words end in " GetLastError=%d" too.
const Pinned kPinned[] = {
    {Words::SpoolerStopped, "Print Spooler is stopped !!!.\nPlease reinstall the printer driver\nafter spooler starts"},
    {Words::ScmFailed, "OpenSCManager() failed !!! ErrorCode=%d"},
    {Words::ServiceFailed, "OpenService() failed !!! ErrorCode=%d"},
    {Words::QueryFailed, "QueryServiceStatus() failed !!! ErrorCode=%d"},
    {Words::EnumPrintersFailed, "EnumPrinters() failed"},
    {Words::EnumPrintersCaption, "EnumPrinters() Error"},
    {Words::ServiceStarting, "Service starting in progress..."},
    {Words::CommandStopped, "Command did not end in time and was stopped"},
    {Words::CommandTimedOut, "\"%s %s\" did not end within %d seconds and was stopped"},
    {Words::PleaseSelect, "Please, select printer driver to install !!!"},
    {Words::InstallCanceled, "Install Canceled"},
    {Words::ErrorCaption, "ERROR"},
    {Words::Nt351NotSupported, "Windows NT 3.51 not Supported !!!"},
    {Words::Win95NotSupported, "Windows 95 not Supported !!!"},
    {Words::Win98NotSupported, "Windows 98 not Supported !!!"},
    {Words::WinMeNotSupported, "Windows ME not Supported !!!"},
    {Words::DefaultNotSet, "Default printer not set: %s"},
    {Words::CopyStarted, "Print Driver Copy Started"},
    {Words::CopyEnded, "Print Driver Copy Ended"},
    {Words::InstallStarted, "Print Driver Install Started"},
    {Words::InstallEnded, "Print Driver Install Ended"},
    {Words::AddStarted, "Add Printer Started"},
    {Words::AddEnded, "Add Printer Ended"},
    {Words::InstallationCompleted, "Installation Completed!!!"},
    {Words::TcpIpMonitorMissing, "Standard TCP/IP Port not installed\nPlease Install Standard TCP/IP Port"},
    {Words::ValueFailureCaption, "RegQueryValueEx"},
    {Words::PortNumberWriteFailed, "Fail to Write PortNumber GetLastError=%d"},
    {Words::ProtocolWriteFailed, "Fail to Write Protocol GetLastError=%d"},
    {Words::SnmpEnabledReadFailed, "Fail to Read SNMP Enabled GetLastError=%d"},
    {Words::SnmpIndexWriteFailed, "Fail to Write SNMP Index GetLastError=%d"},
    {Words::VersionWriteFailed, "Fail to Write Version GetLastError=%d"},
    {Words::HostNameWriteFailed, "Fail to Write HostName GetLastError=%d"},
    {Words::HwAddressWriteFailed, "Fail to Write HWAddress GetLastError=%d"},
    {Words::IpAddressWriteFailed, "Fail to Write IPAddress GetLastError=%d"},
    {Words::CommunityWriteFailed, "Fail to Write SNMP Community GetLastError=%d"},
    {Words::NetworkKeyTooLong, "Network port key too long"},
    {Words::RegCreateKeyFailed, "RegCreateKeyEx() Fail !!!"},
    {Words::RegOpenKeyFailed, "RegOpenKeyEx() Fail !!!"},
    {Words::UsbPortNumberUnreadable, "Fail to Read USB Port Number"},
    {Words::UsbKeyOpenFailed, "RegOpenKeyEx() Fail : GetLastError() =%d"},
    {Words::UsbConnectedPort, "Connected USB Port Name"},
    {Words::UsbSearchFailed, "USB Port Search Failed"},
    {Words::Processor32Bit, "32-Bit OS"},
    {Words::Processor64Bit, "64-Bit OS"},
    {Words::ProcessorItanium, "Itanium"},
    {Words::AddDriverFailed, "Failure to AddPrinterDriver() GetLastError()=%d"},
    {Words::AddPrinterFailed, "Failure to AddPrinter GetLastError()=%d"},
    {Words::ForciblyCom1,
     "Forcibly set to COM1: port.\nafter you install the driver, change the port in the printer's properties."},
    {Words::OpenPrinterFailed, "Failure to OpenPrinter GetLastError()=%d Printer Name=%s"},
    {Words::DeletePrintProcessorFailed, "Failure to DeletePrintProcessorFile GetLastError()=%d"},
    {Words::EnumMonitorsSucceeded, "EnumMonitors() Success !!!"},
    {Words::EnumMonitorsFailed, "EnumMonitors() Fail !!!"},
    {Words::AddMonitorSucceeded, "AddPortMonitor() Success !!!"},
    {Words::AddMonitorFailed, "AddPortMonitor() Fail !!!"},
    {Words::RecordCallFailed, "Installation record: %s failed (error %d)"},
    {Words::CallFailed, "%s failed (error %d)"},
    {Words::ProtectedPrintMode,
     "Windows protected print mode is on. It allows only Windows' own IPP class driver, so the printer driver of the NORVA Orbix printers cannot be installed.\nAn administrator turns it off with the policy \"Configure Windows protected print\" (Computer Configuration > Administrative Templates > Printers), or with the switch under Settings > Bluetooth & devices > Printers & scanners.\nNothing was installed."},
    {Words::ProtectedPrintDifference,
     "Windows protected print mode is on: it allows only Windows' own IPP class driver"},
    {Words::ArmPc,
     "This PC runs Windows on Arm. The printer driver in this package is built for x86 and x64 Windows only, so the NORVA Orbix printers cannot be installed on it.\nNothing was installed."},
    {Words::AnotherRun,
     "Another installation or removal of the NORVA Orbix printers is running on this computer.\nStart this program again when it has ended."},
    {Words::QuietRunWaited, " (waited %d minutes)"},
    {Words::MutexNotMade,
     "The mutex that keeps runs apart could not be made (error %d); this run does not wait for others"},
    {Words::WaitFailed, "Waiting for other runs failed (error %d); this run does not wait"},
    {Words::TwinNotStarted,
     "This is a 64-bit Windows: the %s is done by \"%s\", which must lie beside this program.\nIt could not be started (error %d). Nothing was %s."},
    {Words::TwinResult, "the 64-bit installer could not be started"},
    {Words::Installation, "installation"},
    {Words::Installed, "installed"},
    {Words::FolderRefused,
     "The folder %s cannot be used: %s.\nOnly SYSTEM, Administrators and TrustedInstaller may own or change the folder the driver files come from. Nothing was %s."},
    {Words::FolderMissing, "folder %s is not there: nothing to lock"},
    {Words::FolderWithoutSecurity, "folder %s not locked: this Windows keeps no file security"},
    {Words::FolderLocked, "folder %s locked: owner Administrators, only SYSTEM and Administrators may change it"},
    {Words::FolderLockedItselfOnly, " (this Windows sets the folder itself only, not what lies in it)"},
    {Words::FolderNotLocked, "folder %s is not locked: %s"},
    {Words::FolderAttributesUnread, "its attributes could not be read (error %d)"},
    {Words::FolderIsLink, "it is a link to another place (a reparse point)"},
    {Words::FolderIsFile, "it is a file, not a folder"},
    {Words::FolderSecurityUnread, "its security could not be read (GetFileSecurityA failed with error %d)"},
    {Words::FolderWithoutOwner, "its security could not be read (GetFileSecurityA gave no owner)"},
    {Words::FolderForeignOwner,
     "it belongs to %s, not to SYSTEM, Administrators, TrustedInstaller or the account this program runs as"},
    {Words::FolderOthersMayChange, "%s may change it"},
    {Words::FolderNotLockable, "it could not be locked (%s)"},
    {Words::LockSecurityNotMade, "the locked security could not be made"},
    {Words::LockCallFailed, "%s failed with error %d"},
    {Words::LogNotWritten, "The log \"%s\" is not written: %s"},
    {Words::LogUnreadable, "its file could not be read back (error %d)"},
    {Words::LogIsLink, "it is a link (a reparse point)"},
    {Words::LogHardLinks, "the file has %d names (hard links)"},
    {Words::LogLeadsTo, "it leads to %s"},
    {Words::LogStep, "step: %s"},
    {Words::LogMessage, "message: %s"},
    {Words::LogCaption, " (caption %s)"},
    {Words::LogDifference, "difference: %s"},
    {Words::LogResult, "result: %d %s"},
    {Words::LogBadArguments, "bad arguments: %s"},
    {Words::LogPrinters, "printers: %s"},
    {Words::QuietConnection, "interface %s, port %s"},
    {Words::QuietAddress, ", address %s"},
    {Words::QuietCodePage, ", code page %s"},
    {Words::QuietMakeDefault, "default printer: the last printer installed"},
    {Words::QuietDefaultUnchanged, "default printer: unchanged"},
    {Words::QuietUsbNotFound, "USB printer not found at once: searching for it"},
    {Words::QuietUsbSearch, "USB port search"},
    {Words::QuietFamilyUnknown, "the Windows version could not be determined: nothing installed"},
    {Words::QuietProcessorUnknown, "the processor is not one the driver package supports: nothing installed"},
    {Words::QuietPrintSpooler, "print spooler"},
    {Words::QuietExistingPrinters, "existing printers"},
    {Words::QuietNoSuchPort, "no port %s for %s (ports: %s)"},
    {Words::QuietNone, "none"},
    {Words::QuietNetworkPort, "network port %s"},
    {Words::QuietPortMonitor, "port monitor"},
    {Words::QuietMonitorPort, "a port of the %s"},
    {Words::QuietNotInstalled, "%s is not installed"},
    {Words::QuietPrinterUnread, "printer %s could not be read (error %d)"},
    {Words::QuietOtherDriver, "%s has the driver %s, not its own"},
    {Words::QuietOtherPort, "%s is on port %s, not %s"},
    {Words::QuietOtherCodePage, "%s has code page %d, not code page %d"},
    {Words::QuietNoRecord, "%s has no settings record, not code page %d"},
    {Words::QuietDefaultUnread, "the default printer cannot be read: %s"},
    {Words::QuietNoDefault, "there is no default printer, not %s"},
    {Words::QuietOtherDefault, "the default printer is %s, not %s"},
    {Words::QuietPassedOver, "exists already, passed over: %s"},
    {Words::QuietAlreadyAsAsked, "already as asked: %s"},
    {Words::QuietNotMoved, "printer %s not moved to %s: %s failed (error %d)"},
    {Words::QuietMoved, "printer %s moved from %s to %s"},
    {Words::QuietRecordNotWritten, "printer %s: settings record not written"},
    {Words::QuietRecordWritten, "printer %s settings record written anew, code page %s"},
    {Words::QuietDefaultSet, "default printer: %s"},
    {Words::QuietDefaultNotSet, "default printer not set: %s: %s"},
    {Words::ExitInstalled, "installed (or everything chosen existed already)"},
    {Words::ExitAsAsked, "as the options ask"},
    {Words::ExitBadArguments, "bad arguments"},
    {Words::ExitWindowsNotSupported, "Windows version not supported"},
    {Words::ExitSpoolerNotAvailable, "spooler not available"},
    {Words::ExitUsbPrinterNotFound, "USB printer not found"},
    {Words::ExitNetworkPortNotWritten, "network port could not be written"},
    {Words::ExitDriverNotRegistered, "driver registration failed"},
    {Words::ExitPrinterNotCreated, "printer creation failed"},
    {Words::ExitOtherFailure, "another failure, named in the log"},
    {Words::ExitNotAsAsked, "not as the options ask (/check), each difference named in the log"},
    {Words::ExitFolderNotLocked, "the installer folder is not safe to use: nothing was changed"},
    {Words::ExitProtectedPrintMode, "Windows protected print mode is on"},
    {Words::ExitAnotherRunInProgress, "another installation or removal is running; try again later"},
    {Words::NotAModel, "not a model: %s (one of %s)"},
    {Words::NotAClonesNumber, "/clones takes a number from 1 to 200, not %s"},
    {Words::NotAnInterface, "not an interface: %s (one of %s)"},
    {Words::NotAnAddress, "not an address A.B.C.D: %s"},
    {Words::NotACodePage, "not a code page of the table: %s"},
    {Words::NothingToInstall, "nothing to install: give /model or /clones"},
    {Words::ModelWithClones, "/model and /clones cannot go together"},
    {Words::PortNotForInterface, "/port is for serial, bluetooth and parallel, not %s"},
    {Words::AddressNotForInterface, "/address is for ethernet and wifi, not %s"},
    {Words::InterfaceNeedsAddress, "%s needs /address"},
    {Words::NotAnOption, "not an option: %s"},
    {Words::UnknownOption, "unknown option: %s"},
    {Words::GivenTwice, "given twice: /%s"},
    {Words::NeedsValue, "/%s needs a value"},
    {Words::Usage,
     "Usage: zenthar.exe /quiet WHAT [WHERE] [/codepage N] [/default] [/check] [/log PATH]\nInstalls without windows; options are case-insensitive and start with / or -.\n"},
    {Words::UsageWhat, "WHAT:"},
    {Words::UsageWhere, "WHERE (default: usb):"},
    {Words::UsageModel, "/model NAME: one of %s; may be given more than once"},
    {Words::UsageClones, "/clones N: N numbered printers \"NORVA Orbix #1\" and up, N from 1 to 200"},
    {Words::UsageInterface, "/interface KIND: one of %s"},
    {Words::UsagePort,
     "/port NAME: for serial, bluetooth and parallel, a port such as COM3: or LPT1: (default: the first port the interface dialog shows)"},
    {Words::UsageAddress, "/address A.B.C.D: for ethernet and wifi (required there)"},
    {Words::UsageCodePage, "/codepage N: the printer's code page (default 1252), one of%s"},
    {Words::UsageDefault,
     "/default: make the last printer chosen the default printer of the user the program runs as, whether installed now or there already"},
    {Words::UsageCheck, "/check: change nothing; exit code 0 when the machine is as the other options ask, 9 when not"},
    {Words::UsageLog, "/log PATH: write each step, message and the result to PATH"},
    {Words::UsageExitCodes, "Exit codes:"},
    {Words::UsageExitCode, "%d: %s"},
};

const Pinned* RowOf(Words id)
{
    for (const Pinned& row : kPinned)
        if (row.id == id) return &row;
    return nullptr;
}

TEST(InstallerWords, EveryTextReadsLetterForLetterAsPinned)
{
    std::set<int> seen;
    for (const Pinned& row : kPinned)
        EXPECT_TRUE(seen.insert(static_cast<int>(row.id)).second) << "twice: " << row.text;
    for (int at = 0; at < static_cast<int>(Words::Count); ++at) {
        const auto id = static_cast<Words>(at);
        const Pinned* row = RowOf(id);
        ASSERT_NE(row, nullptr) << "the text with id " << at << " (\"" << Text(id) << "\") has no row here";
        EXPECT_STREQ(Text(id), row->text) << "id " << at;
    }
}

struct Filled {
    std::string said;
    std::string expected;
};

TEST(InstallerWords, SayFillsEachPlaceInOrderAndWritesNumbersWhole)
{
    const Filled cases[] = {
        {Say(Words::ScmFailed, 5), "OpenSCManager() failed !!! ErrorCode=5"},
        {Say(Words::OpenPrinterFailed, 1801, "NORVA MTR333"),
         "Failure to OpenPrinter GetLastError()=1801 Printer Name=NORVA MTR333"},
        // An error above the largest int is written as the number it is.
        {Say(Words::LogUnreadable, std::uint32_t{0x80070005}), "its file could not be read back (error 2147942405)"},
        // A value holding "%s" is taken as it is, not filled again.
        {Say(Words::LogLeadsTo, std::string("C:\\%s")), "it leads to C:\\%s"},
        // Places without a value stay as they are; a text without places is unchanged.
        {Say(Words::QuietOtherPort, "\"A\""), "\"A\" is on port %s, not %s"},
        {Say(Words::InstallCanceled), "Install Canceled"},
    };
    for (const Filled& each : cases) EXPECT_EQ(each.said, each.expected);
}

}  // namespace
