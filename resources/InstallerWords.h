// The installer's words: every text it shows in a window or a message box, or writes to a log,
// by id. One place to read them, so that a message reads the same wherever it is given and a
// wording changes in one line. Texts with %d or %s are filled in by Say (or, where the result
// goes into a fixed field, by FormatText).
#pragma once

#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace zenthar::resources {

enum class Words {
    // The spooler check at start-up.
    SpoolerStopped,
    ScmFailed,
    ServiceFailed,
    QueryFailed,
    EnumPrintersFailed,
    EnumPrintersCaption,
    ServiceStarting,
    CommandStopped,
    CommandTimedOut,
    // The run's gates and messages.
    PleaseSelect,
    InstallCanceled,
    ErrorCaption,
    Nt351NotSupported,
    Win95NotSupported,
    Win98NotSupported,
    WinMeNotSupported,
    DefaultNotSet,
    // The step texts of the main dialog.
    CopyStarted,
    CopyEnded,
    InstallStarted,
    InstallEnded,
    AddStarted,
    AddEnded,
    InstallationCompleted,
    // Connection: the network port and the USB port.
    TcpIpMonitorMissing,
    ValueFailureCaption,
    PortNumberWriteFailed,
    ProtocolWriteFailed,
    SnmpEnabledReadFailed,
    SnmpIndexWriteFailed,
    VersionWriteFailed,
    HostNameWriteFailed,
    HwAddressWriteFailed,
    IpAddressWriteFailed,
    CommunityWriteFailed,
    NetworkKeyTooLong,
    RegCreateKeyFailed,
    RegOpenKeyFailed,
    UsbPortNumberUnreadable,
    UsbKeyOpenFailed,
    UsbConnectedPort,
    UsbSearchFailed,
    // The interface dialog's processor entries, in the order of the processor values.
    Processor32Bit,
    Processor64Bit,
    ProcessorItanium,
    // Driver, monitor, processor and printer.
    AddDriverFailed,
    AddPrinterFailed,
    ForciblyCom1,
    OpenPrinterFailed,
    DeletePrintProcessorFailed,
    EnumMonitorsSucceeded,
    EnumMonitorsFailed,
    AddMonitorSucceeded,
    AddMonitorFailed,
    RecordCallFailed,
    CallFailed,
    // Why this program does not run here.
    ProtectedPrintMode,
    ProtectedPrintDifference,
    ArmPc,
    AnotherRun,
    QuietRunWaited,
    MutexNotMade,
    WaitFailed,
    TwinNotStarted,
    TwinResult,
    Installation,
    Installed,
    // The installer folder's lock.
    FolderRefused,
    FolderMissing,
    FolderWithoutSecurity,
    FolderLocked,
    FolderLockedItselfOnly,
    FolderNotLocked,
    FolderAttributesUnread,
    FolderIsLink,
    FolderIsFile,
    FolderSecurityUnread,
    FolderWithoutOwner,
    FolderForeignOwner,
    FolderOthersMayChange,
    FolderNotLockable,
    LockSecurityNotMade,
    LockCallFailed,
    // The run log.
    LogNotWritten,
    LogUnreadable,
    LogIsLink,
    LogHardLinks,
    LogLeadsTo,
    LogStep,
    LogMessage,
    LogCaption,
    LogDifference,
    LogResult,
    LogBadArguments,
    LogPrinters,
    // The quiet run's own lines.
    QuietConnection,
    QuietAddress,
    QuietCodePage,
    QuietMakeDefault,
    QuietDefaultUnchanged,
    QuietUsbNotFound,
    QuietUsbSearch,
    QuietFamilyUnknown,
    QuietProcessorUnknown,
    QuietPrintSpooler,
    QuietExistingPrinters,
    QuietNoSuchPort,
    QuietNone,
    QuietNetworkPort,
    QuietPortMonitor,
    QuietMonitorPort,
    QuietNotInstalled,
    QuietPrinterUnread,
    QuietOtherDriver,
    QuietOtherPort,
    QuietOtherCodePage,
    QuietNoRecord,
    QuietDefaultUnread,
    QuietNoDefault,
    QuietOtherDefault,
    QuietPassedOver,
    QuietAlreadyAsAsked,
    QuietNotMoved,
    QuietMoved,
    QuietRecordNotWritten,
    QuietRecordWritten,
    QuietDefaultSet,
    QuietDefaultNotSet,
    // The quiet run's options: what each exit code means, why arguments are refused, the usage.
    ExitInstalled,
    ExitAsAsked,
    ExitBadArguments,
    ExitWindowsNotSupported,
    ExitSpoolerNotAvailable,
    ExitUsbPrinterNotFound,
    ExitNetworkPortNotWritten,
    ExitDriverNotRegistered,
    ExitPrinterNotCreated,
    ExitOtherFailure,
    ExitNotAsAsked,
    ExitFolderNotLocked,
    ExitProtectedPrintMode,
    ExitAnotherRunInProgress,
    NotAModel,
    NotAClonesNumber,
    NotAnInterface,
    NotAnAddress,
    NotACodePage,
    NothingToInstall,
    ModelWithClones,
    PortNotForInterface,
    AddressNotForInterface,
    InterfaceNeedsAddress,
    NotAnOption,
    UnknownOption,
    GivenTwice,
    NeedsValue,
    Usage,
    UsageWhat,
    UsageWhere,
    UsageModel,
    UsageClones,
    UsageInterface,
    UsagePort,
    UsageAddress,
    UsageCodePage,
    UsageDefault,
    UsageCheck,
    UsageLog,
    UsageExitCodes,
    UsageExitCode,
    Count  // not a text: the number of them
};

// The words of `id`, as they are shown: %d and %s still in them.
const char* Text(Words id);

namespace detail {
std::string Fill(std::string_view format, const std::vector<std::string>& values);

inline std::string Value(std::string_view text)
{
    return std::string(text);
}

template <class Number>
requires std::is_integral_v<Number> std::string Value(Number number)
{
    return std::to_string(number);
}
}  // namespace detail

// The words of `id` with each %d or %s replaced by the next value, in order: numbers written
// in decimal, texts as they are.
template <class... Values>
std::string Say(Words id, const Values&... values)
{
    return detail::Fill(Text(id), {detail::Value(values)...});
}

}  // namespace zenthar::resources
