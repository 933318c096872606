// The Windows Installer package's deferred actions: the locking of the installer folder before
// the files land in it, the quiet installation after the files are in place, and the quiet
// removal before they go. Each program runs from the installed folder once that folder is seen
// to be locked, waits within a bound, and has its log copied into the installer's own log
// (msiexec /l*v), so that a failed deployment says why where the administrator looks. A program
// that fails fails the package, which then rolls its files back.
//
// These actions run as SYSTEM. Whatever they start or read from a place a user could change
// would run or be read with SYSTEM's rights: hence the folder is locked before the files land,
// nothing runs from a folder that is not locked, and no log is read through a link.
#include <windows.h>
#include <aclapi.h>
#include <msi.h>
#include <msiquery.h>
#include <sddl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// Longer than any run of ours (200 printers, a USB search, the services' restarts), short of
// for ever: a program that hangs must not hold a deployment's machine.
constexpr DWORD kProgramTimeLimit = 30 * 60 * 1000;
constexpr char kFieldSeparator = '\t';

std::string Property(MSIHANDLE install, const char* name)
{
    DWORD size = 0;
    char empty[1] = "";
    if (MsiGetPropertyA(install, name, empty, &size) != ERROR_MORE_DATA) return {};
    std::vector<char> value(size + 1);
    size = static_cast<DWORD>(value.size());
    if (MsiGetPropertyA(install, name, value.data(), &size) != ERROR_SUCCESS) return {};
    return std::string(value.data(), size);
}

void Say(MSIHANDLE install, const std::string& text)
{
    PMSIHANDLE record = MsiCreateRecord(1);
    MsiRecordSetStringA(record, 0, text.c_str());
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator) parts.emplace_back();
        else parts.back() += c;
    }
    return parts;
}

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A word of the command line as the program's runtime will split it back: quoted, with
// backslashes before a quote doubled.
std::string Quoted(const std::string& word)
{
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : word) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

std::string WithSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

// The folder as the file system names it: the installer's folder properties end with '\\'.
std::string WithoutSlash(std::string folder)
{
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

// A log file of its own in the system's temporary folder, for a run that names none.
std::string TemporaryLog()
{
    char folder[MAX_PATH] = {};
    char path[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH || GetTempFileNameA(folder, "zen", 0, path) == 0) return {};
    return path;
}

struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};
using LocalMemory = std::unique_ptr<void, LocalFreer>;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

Handle Opened(HANDLE handle)
{
    return Handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

std::string ErrorText(DWORD error)
{
    return "(error " + std::to_string(error) + ")";
}

std::string InQuotes(const std::string& path)
{
    return "\"" + path + "\"";
}

// ---- Who may change a folder ------------------------------------------------------------------

// The locked folder: owned by Administrators, changed by SYSTEM and Administrators alone, read
// and run by Users. Its entries are inherited by everything in it; none from above it are.
constexpr char kLockedSecurity[] = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
constexpr char kLockedText[] = "owner Administrators; SYSTEM and Administrators full control, Users read and execute";
// SYSTEM, Administrators and TrustedInstaller: the owners of what Windows installs itself.
constexpr const char* kTrustedAccounts[] = {"S-1-5-18", "S-1-5-32-544",
                                            "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"};
// CREATOR OWNER's entry gives its rights to whoever creates something in the folder: in a
// locked folder only the trusted accounts can.
constexpr char kCreatorOwner[] = "S-1-3-0";
// Any one of these lets its holder change, replace or delete what the entry is on, or give
// itself the right to.
constexpr DWORD kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_DELETE_CHILD |
                                FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

std::string SidText(PSID sid)
{
    LPSTR text = nullptr;
    if (sid == nullptr || !ConvertSidToStringSidA(sid, &text)) return "an unreadable account";
    const LocalMemory hold(text);
    return text;
}

// The account these actions run as: SYSTEM on Windows, trusted already. Wine keeps no owner or
// DACL of a file: it makes them up from the Unix file's mode, with the prefix's user
// (S-1-5-21-0-0-0-1000) as the owner and with full control, and msiexec runs as that user.
// Taking the running account as trusted lets the checks below hold under Wine too, where
// every folder would otherwise be someone else's.
std::string RunningAccount()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    const Handle hold(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, user.data(), size, &size)) return {};
    return SidText(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
}

bool IsTrusted(const std::string& sid, const std::string& self)
{
    for (const char* trusted : kTrustedAccounts)
        if (sid == trusted) return true;
    return !self.empty() && sid == self;
}

bool IsReparsePoint(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::string Hex(DWORD value)
{
    char text[16] = {};
    std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(value));
    return text;
}

// Who besides the trusted accounts may change what the access list is on. An entry that only
// passes on to what is made inside counts as well: it would let its holder change the files.
std::string WhoMayChange(PACL dacl, const std::string& self)
{
    for (DWORD index = 0; index < dacl->AceCount; ++index) {
        void* entry = nullptr;
        if (!GetAce(dacl, index, &entry)) return "its access list could not be read " + ErrorText(GetLastError());
        const BYTE type = static_cast<const ACE_HEADER*>(entry)->AceType;
        if (type == ACCESS_ALLOWED_OBJECT_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE)
            return "it has an access entry of a kind files do not use (type " + std::to_string(type) + ")";
        // Denials take nothing away from what a check of grants finds.
        if (type != ACCESS_ALLOWED_ACE_TYPE && type != ACCESS_ALLOWED_CALLBACK_ACE_TYPE) continue;
        const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        const std::string sid = SidText(const_cast<DWORD*>(&allowed->SidStart));
        if ((allowed->Mask & kChangeRights) != 0 && sid != kCreatorOwner && !IsTrusted(sid, self))
            return sid + " may change it (access " + Hex(allowed->Mask) + ")";
    }
    return {};
}

// Why someone other than the trusted accounts could change the file or folder at PATH, or
// nothing when no one can.
std::string WhyChangeable(const std::string& path, const std::string& self)
{
    if (IsReparsePoint(path)) return "it is a reparse point (a link to another place)";
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD read = GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT,
                                             OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                                             &dacl, nullptr, &descriptor);
    if (read != ERROR_SUCCESS) return "its security could not be read " + ErrorText(read);
    const LocalMemory hold(descriptor);
    if (!IsTrusted(SidText(owner), self)) return "its owner is " + SidText(owner);
    if (dacl == nullptr) return "it has no access list, which lets everyone change it";
    return WhoMayChange(dacl, self);
}

// Why the existing folder at PATH (or one above it) is not taken as ours to lock: a link, not
// a folder, or another owner's (who may have put things in it).
std::string WhyNotOurs(const std::string& path, const std::string& self)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return "it could not be read " + ErrorText(GetLastError());
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return "it is a reparse point (a link to another place)";
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return "it is not a folder";
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD read = GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                                             nullptr, nullptr, &descriptor);
    if (read != ERROR_SUCCESS) return "its owner could not be read " + ErrorText(read);
    const LocalMemory hold(descriptor);
    if (!IsTrusted(SidText(owner), self))
        return "its owner is " + SidText(owner) + ", not SYSTEM, Administrators or TrustedInstaller";
    return {};
}

// Why FOLDER cannot be made or kept as the installer folder: a path that is not a full one
// under a drive's root, or a folder above it that is a link or someone else's. The folders
// missing above it are made locked.
std::string WhyNotPlaceable(const std::string& folder, SECURITY_ATTRIBUTES& locked, const std::string& self)
{
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(folder.c_str(), MAX_PATH, full, nullptr);
    if (folder.size() <= 3 || folder[1] != ':' || length == 0 || length >= MAX_PATH || folder != full)
        return "is not a full path of a folder under a drive's root";
    for (std::size_t end = folder.find('\\', 3); end != std::string::npos; end = folder.find('\\', end + 1)) {
        const std::string above = folder.substr(0, end);
        const DWORD made = CreateDirectoryA(above.c_str(), &locked) ? ERROR_SUCCESS : GetLastError();
        if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS)
            return "cannot be made: " + InQuotes(above) + " could not be made " + ErrorText(made);
        const std::string why = WhyNotOurs(above, self);
        if (!why.empty()) return "lies in " + InQuotes(above) + ", which is refused: " + why;
    }
    return {};
}

using TreeResetFunction = DWORD(WINAPI*)(LPSTR, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID, PSID, PACL, PACL, BOOL,
                                         FN_PROGRESS, PROG_INVOKE_SETTING, PVOID);

// Gives FOLDER the locked owner and access list; says in REACH how far that went.
DWORD ApplyLock(const std::string& folder, PSECURITY_DESCRIPTOR locked, std::string& reach)
{
    PSID owner = nullptr;
    PACL dacl = nullptr;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    if (!GetSecurityDescriptorOwner(locked, &owner, &defaulted) ||
        !GetSecurityDescriptorDacl(locked, &present, &dacl, &defaulted))
        return GetLastError();
    const SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                       PROTECTED_DACL_SECURITY_INFORMATION;
    std::vector<char> name(folder.begin(), folder.end());
    name.push_back('\0');
    // Since Vista, TreeResetNamedSecurityInfoA gives everything under the folder the owner and
    // the inherited entries, dropping entries of their own that someone may have added. Wine's
    // advapi32 has no such A function (its W one is a stub that answers success and does
    // nothing): there, as on a Windows without it, the folder alone is set, whose inheritable
    // entries then reach whatever inherits.
    const HMODULE advapi = GetModuleHandleA("advapi32.dll");
    const FARPROC found = advapi == nullptr ? nullptr : GetProcAddress(advapi, "TreeResetNamedSecurityInfoA");
    if (found != nullptr) {
        reach = "the folder and everything in it";
        const auto treeReset = reinterpret_cast<TreeResetFunction>(reinterpret_cast<void*>(found));
        return treeReset(name.data(), SE_FILE_OBJECT, parts, owner, nullptr, dacl, nullptr, FALSE, nullptr,
                         ProgressInvokeNever, nullptr);
    }
    reach = "the folder, whose entries what is in it inherits";
    return SetNamedSecurityInfoA(name.data(), SE_FILE_OBJECT, parts, owner, nullptr, dacl, nullptr);
}

// Locks the installer folder that exists already, or says why not.
std::string LockExisting(MSIHANDLE install, const std::string& folder, PSECURITY_DESCRIPTOR locked,
                         const std::string& self)
{
    // Held open without sharing deletion, so that the folder checked is the folder locked: it
    // cannot be renamed and another put in its place meanwhile.
    const Handle pin =
        Opened(CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY | READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!pin) return "could not be opened " + ErrorText(GetLastError());
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileInformationByHandle(pin.get(), &information) &&
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return "is refused: it is a reparse point (a link to another place)";
    const std::string why = WhyNotOurs(folder, self);
    if (!why.empty()) return "is refused: " + why;
    std::string reach;
    const DWORD set = ApplyLock(folder, locked, reach);
    if (set != ERROR_SUCCESS) return "could not be locked " + ErrorText(set);
    Say(install, "The installer folder " + InQuotes(folder) + " was locked (" + kLockedText + "): " + reach);
    return {};
}

// ---- The programs and their logs ---------------------------------------------------------------

using FinalPathFunction = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);

// The full, long form of PATH, as GetFinalPathNameByHandleA gives it without its "\\?\".
std::string LongFullPath(const std::string& path)
{
    char full[MAX_PATH] = {};
    char longer[MAX_PATH] = {};
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return path;
    length = GetLongPathNameA(full, longer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string(full) : std::string(longer);
}

std::string WithoutLongPrefix(std::string path)
{
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + path.substr(8);
    if (path.rfind("\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

// Why the file opened from PATH is not the plain file of that name: a user who can write where
// the log lies could have put a link there, and this action would copy what it leads to (any
// file SYSTEM can read) into the package's log.
std::string WhyNotPlainFile(HANDLE file, const std::string& path)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file, &information)) return "it could not be examined " + ErrorText(GetLastError());
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return "it is a reparse point (a link to another file)";
    if (information.nNumberOfLinks > 1) return "it has " + std::to_string(information.nNumberOfLinks) + " hard links";
    // Vista and later; a Windows without it has no symbolic links to files either.
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const FARPROC found = kernel == nullptr ? nullptr : GetProcAddress(kernel, "GetFinalPathNameByHandleA");
    if (found == nullptr) return {};
    const auto finalPathOf = reinterpret_cast<FinalPathFunction>(reinterpret_cast<void*>(found));
    std::vector<char> finalPath(MAX_PATH + 8);
    const DWORD length = finalPathOf(file, finalPath.data(), static_cast<DWORD>(finalPath.size()), 0);
    if (length == 0 || length >= finalPath.size())
        return "its final path could not be read " + ErrorText(GetLastError());
    const std::string really = WithoutLongPrefix(std::string(finalPath.data(), length));
    if (lstrcmpiA(really.c_str(), LongFullPath(path).c_str()) != 0) return "it leads to " + really;
    return {};
}

void CopyLog(MSIHANDLE install, const char* program, const std::string& logPath)
{
    const Handle file = Opened(CreateFileA(logPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        Say(install, std::string(program) + ": its log " + logPath + " could not be read " + ErrorText(GetLastError()));
        return;
    }
    const std::string why = WhyNotPlainFile(file.get(), logPath);
    if (!why.empty()) {
        Say(install, std::string(program) + ": its log " + logPath + " was not copied: " + why);
        return;
    }
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    for (std::string line : Split(text, '\n')) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) Say(install, std::string(program) + ": " + line);
    }
}

// Why the program at PATH in FOLDER must not be run: either could be changed by someone other
// than the trusted accounts, who would then run code as SYSTEM.
std::string WhyNotRunnable(const std::string& folder, const std::string& path)
{
    const std::string self = RunningAccount();
    std::string why = WhyChangeable(folder, self);
    if (!why.empty()) return "the folder " + InQuotes(folder) + " is not locked: " + why;
    why = WhyChangeable(path, self);
    if (!why.empty()) return InQuotes(path) + " is not locked: " + why;
    return {};
}

// Starts the program from the system folder, so that nothing it looks for in its current
// folder comes from a place a user chose.
bool Start(MSIHANDLE install, const char* program, const std::string& path, const std::string& line,
           PROCESS_INFORMATION& process)
{
    char system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        Say(install, std::string(program) + " was not run: the system folder is unknown " + ErrorText(GetLastError()));
        return false;
    }
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, system, &startup,
                        &process)) {
        Say(install, std::string(program) + " could not be started " + ErrorText(GetLastError()));
        return false;
    }
    CloseHandle(process.hThread);
    return true;
}

// Runs "<folder><program> <arguments> /log <log>" and gives ERROR_SUCCESS when it ended with
// exit code 0, ERROR_INSTALL_FAILURE otherwise, after copying its log into the package's.
UINT RunProgram(MSIHANDLE install, const std::string& folder, const char* program, std::string arguments,
                std::string logPath)
{
    const std::string path = WithSlash(folder) + program;
    const std::string refused = WhyNotRunnable(WithoutSlash(folder), path);
    if (!refused.empty()) {
        Say(install, std::string(program) + " was not run: " + refused);
        return ERROR_INSTALL_FAILURE;
    }
    const bool ownLog = logPath.empty();
    if (ownLog) logPath = TemporaryLog();
    if (!logPath.empty()) arguments += " /log " + Quoted(logPath);
    const std::string line = Quoted(path) + arguments;
    Say(install, std::string("Running ") + line);
    PROCESS_INFORMATION process{};
    if (!Start(install, program, path, line, process)) return ERROR_INSTALL_FAILURE;
    const DWORD waited = WaitForSingleObject(process.hProcess, kProgramTimeLimit);
    DWORD exitCode = 0;
    if (waited != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, ERROR_TIMEOUT);
        WaitForSingleObject(process.hProcess, 10 * 1000);
        Say(install, std::string(program) + " did not end within " + std::to_string(kProgramTimeLimit / 60000) +
                         " minutes and was ended");
        exitCode = ERROR_TIMEOUT;
    } else if (!GetExitCodeProcess(process.hProcess, &exitCode)) {
        exitCode = GetLastError();
    }
    CloseHandle(process.hProcess);

    if (!logPath.empty()) CopyLog(install, program, logPath);
    if (ownLog && !logPath.empty()) DeleteFileA(logPath.c_str());
    Say(install, std::string(program) + " ended with exit code " + std::to_string(exitCode));
    return exitCode == 0 ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}

// The program registers an uninstall entry of its own. Under the package, the package's entry
// is the one an administrator sees and removes (its removal runs the program's removal too),
// so the program's is hidden from the list: two entries would remove different things. The
// entry lies in the native view, where the 64-bit program writes it on 64-bit Windows.
void HideProgramsOwnEntry(MSIHANDLE install)
{
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExA(
        HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix Printer 4.64", 0,
        KEY_SET_VALUE | KEY_WOW64_64KEY, &key);
    if (opened != ERROR_SUCCESS) {
        Say(install, "The program's own uninstall entry was not found (error " + std::to_string(opened) + ")");
        return;
    }
    const DWORD hidden = 1;
    const LONG set =
        RegSetValueExA(key, "SystemComponent", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&hidden), sizeof hidden);
    RegCloseKey(key);
    if (set != ERROR_SUCCESS)
        Say(install, "The program's own uninstall entry stays listed (error " + std::to_string(set) + ")");
}

// The package's properties, in the order the package's data action writes them.
enum Field { Folder, Model, Clones, Interface, Port, Address, CodePage, Default, LogFile, FieldCount };

}  // namespace

// Deferred, before the files are installed: reads "[INSTALLFOLDER]" from CustomActionData. A
// folder that is missing is made locked (and the folders above it); one that exists is locked,
// it and everything in it, unless it is a link or someone else's, which fails the installation.
extern "C" UINT __stdcall LockInstallFolder(MSIHANDLE install)
{
    const std::string folder = WithoutSlash(Property(install, "CustomActionData"));
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kLockedSecurity, SDDL_REVISION_1, &descriptor, nullptr)) {
        Say(install, "The installer folder " + InQuotes(folder) + " was not locked: its security could not be made " +
                         ErrorText(GetLastError()));
        return ERROR_INSTALL_FAILURE;
    }
    const LocalMemory hold(descriptor);
    SECURITY_ATTRIBUTES locked{sizeof locked, descriptor, FALSE};
    const std::string self = RunningAccount();
    std::string why = WhyNotPlaceable(folder, locked, self);
    if (why.empty()) {
        if (CreateDirectoryA(folder.c_str(), &locked)) {
            Say(install, "The installer folder " + InQuotes(folder) + " was made locked (" + kLockedText + ")");
            return ERROR_SUCCESS;
        }
        const DWORD error = GetLastError();
        why = error == ERROR_ALREADY_EXISTS ? LockExisting(install, folder, descriptor, self)
                                            : "could not be made " + ErrorText(error);
    }
    if (why.empty()) return ERROR_SUCCESS;
    Say(install, "The installer folder " + InQuotes(folder) + " " + why + "; nothing is installed");
    return ERROR_INSTALL_FAILURE;
}

// Deferred: reads "[INSTALLFOLDER]<tab>[MODEL]<tab>[CLONES]<tab>[INTERFACE]<tab>[PORT]<tab>
// [ADDRESS]<tab>[CODEPAGE]<tab>[DEFAULT]<tab>[LOGFILE]" from CustomActionData. Each property
// that is set becomes its option; MODEL may name several models, separated by ';'. Checking
// the values is the program's: a wrong one ends it with exit code 1 and the reason in its log.
extern "C" UINT __stdcall RunQuietInstall(MSIHANDLE install)
{
    std::vector<std::string> fields = Split(Property(install, "CustomActionData"), kFieldSeparator);
    if (fields.size() != FieldCount) {
        Say(install, "zenthar.exe was not run: the package's action data has " + std::to_string(fields.size()) +
                         " fields, not " + std::to_string(FieldCount));
        return ERROR_INSTALL_FAILURE;
    }
    std::string arguments = " /quiet";
    for (const std::string& model : Split(fields[Model], ';'))
        if (!Trimmed(model).empty()) arguments += " /model " + Quoted(Trimmed(model));
    const struct {
        Field field;
        const char* option;
    } valued[] = {
        {Clones, "clones"}, {Interface, "interface"}, {Port, "port"}, {Address, "address"}, {CodePage, "codepage"}};
    for (const auto& each : valued)
        if (!fields[each.field].empty())
            arguments += std::string(" /") + each.option + " " + Quoted(fields[each.field]);
    if (fields[Default] == "1") arguments += " /default";
    const UINT result = RunProgram(install, fields[Folder], "zenthar.exe", arguments, fields[LogFile]);
    if (result == ERROR_SUCCESS) HideProgramsOwnEntry(install);
    return result;
}

// Deferred: reads "[INSTALLFOLDER]<tab>[LOGFILE]" from CustomActionData. A part the removal
// had to leave keeps the package installed, so that its removal can be run again.
extern "C" UINT __stdcall RunQuietUninstall(MSIHANDLE install)
{
    std::vector<std::string> fields = Split(Property(install, "CustomActionData"), kFieldSeparator);
    if (fields.size() != 2) {
        Say(install, "DriverOrbixUninstaller.exe was not run: the package's action data is not as written");
        return ERROR_INSTALL_FAILURE;
    }
    std::string logPath = fields[1];
    // The installation's log, if one was named, is not overwritten by the removal's.
    if (!logPath.empty()) logPath += ".removal.log";
    return RunProgram(install, fields[0], "DriverOrbixUninstaller.exe", " /quiet", logPath);
}
