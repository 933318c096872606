// The Windows Installer package's two deferred actions: the quiet installation after the files
// are in place, and the quiet removal before they go. Each runs the shipped program from the
// installed folder, waits for it within a bound, and copies the program's log into the
// installer's own log (msiexec /l*v), so that a failed deployment says why where the
// administrator looks. A program that fails fails the package, which then rolls its files back.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <cstdio>
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

// A log file of its own in the system's temporary folder, for a run that names none.
std::string TemporaryLog()
{
    char folder[MAX_PATH] = {};
    char path[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH || GetTempFileNameA(folder, "zen", 0, path) == 0) return {};
    return path;
}

void CopyLog(MSIHANDLE install, const char* program, const std::string& logPath)
{
    FILE* file = std::fopen(logPath.c_str(), "rb");
    if (!file) {
        Say(install, std::string(program) + ": its log " + logPath + " could not be read");
        return;
    }
    std::string text;
    char buffer[4096];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, read);
    std::fclose(file);
    for (std::string line : Split(text, '\n')) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) Say(install, std::string(program) + ": " + line);
    }
}

// Runs "<folder><program> <arguments> /log <log>" and gives ERROR_SUCCESS when it ended with
// exit code 0, ERROR_INSTALL_FAILURE otherwise, after copying its log into the package's.
UINT RunProgram(MSIHANDLE install, const std::string& folder, const char* program, std::string arguments,
                std::string logPath)
{
    const bool ownLog = logPath.empty();
    if (ownLog) logPath = TemporaryLog();
    if (!logPath.empty()) arguments += " /log " + Quoted(logPath);
    const std::string path = WithSlash(folder) + program;
    std::string line = Quoted(path) + arguments;
    Say(install, std::string("Running ") + line);

    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        Say(install, std::string(program) + " could not be started (error " + std::to_string(GetLastError()) + ")");
        return ERROR_INSTALL_FAILURE;
    }
    CloseHandle(process.hThread);
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
