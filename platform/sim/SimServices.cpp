// Service control, and the processes the program starts (the command interpreter with "net").
#include <algorithm>
#include <cstdlib>

#include "platform/sim/SimBackends.h"

namespace zenthar::sim::detail {

namespace {

constexpr Dword SERVICE_QUERY_STATUS = 0x0004;
constexpr Dword SERVICE_START = 0x0010;
constexpr Dword SERVICE_WIN32_OWN_PROCESS = 0x10;
constexpr Dword SERVICE_ACCEPT_STOP = 0x1;
constexpr Dword ERROR_DATABASE_DOES_NOT_EXIST = 1065;
constexpr std::size_t kMaxCommandLine = 32767;
// Enough status reads for any scripted start to settle.
constexpr unsigned kNetStartPolls = 100000;

const char* const kInterpreters[] = {"cmd.exe", "command.com"};
const char* const kNetNames[] = {"net", "net.exe"};
// The start of the list of program extensions (PATHEXT) every Windows has.
const char* const kCommandExtensions[] = {".COM", ".EXE", ".BAT", ".CMD"};
const char* const kServicesDatabase = "ServicesActive";

std::string BaseName(const std::string& path)
{
    const auto slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Words of a command line, quotes removed.
std::vector<std::string> Words(std::string_view text)
{
    std::vector<std::string> words;
    std::string current;
    bool quoted = false;
    bool any = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (any) words.push_back(current);
            current.clear();
            any = false;
        } else {
            current.push_back(c);
            any = true;
        }
    }
    if (any) words.push_back(current);
    return words;
}

bool OneOf(const std::string& text, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (SameText(text, name)) return true;
    return false;
}

// The hint of a pending service whose script names none.
constexpr Dword kDefaultWaitHint = 2000;

Dword FinalState(const ServiceStartScript& script)
{
    return script.outcome == ServiceStartScript::Outcome::Stopped ? SERVICE_STOPPED : SERVICE_RUNNING;
}

}  // namespace

// ---- The services' state -----------------------------------------------------------------------

Service* ServiceState::FindService(std::string_view name)
{
    for (auto& service : services)
        if (SameText(service.name, name)) return &service;
    return nullptr;
}

void ServiceState::AddService(std::string_view name, Dword state)
{
    if (Service* existing = FindService(name)) {
        existing->state = state;
        return;
    }
    Service service;
    service.name = std::string(name);
    service.state = state;
    services.push_back(service);
}

Dword ServiceState::StartService(Service& service)
{
    if (service.state != SERVICE_STOPPED) return ERROR_SERVICE_ALREADY_RUNNING;
    const auto& script = service.script;
    if (script.outcome == ServiceStartScript::Outcome::Fails) return script.error;
    service.readsSinceStart = 0;
    service.checkPoint = 0;
    if (script.pendingReads == 0 && script.outcome != ServiceStartScript::Outcome::StaysPending) {
        service.state = FinalState(script);
        service.waitHint = 0;
        ServiceReachedState(service);
    } else {
        service.state = SERVICE_START_PENDING;
        service.waitHint = script.waitHints.empty() ? kDefaultWaitHint : script.waitHints.front();
    }
    return 0;
}

void ServiceState::ReadServiceStatus(Service& service)
{
    if (service.state != SERVICE_START_PENDING) return;
    const auto& script = service.script;
    ++service.readsSinceStart;
    if (script.outcome != ServiceStartScript::Outcome::StaysPending && service.readsSinceStart > script.pendingReads) {
        service.state = FinalState(script);
        service.checkPoint = 0;
        service.waitHint = 0;
        ServiceReachedState(service);
        return;
    }
    service.checkPoint = script.checkPointGrows ? service.readsSinceStart : 1;
    if (script.waitHints.empty()) {
        service.waitHint = kDefaultWaitHint;
    } else {
        const std::size_t index = std::min<std::size_t>(service.readsSinceStart - 1, script.waitHints.size() - 1);
        service.waitHint = script.waitHints[index];
    }
}

void ServiceState::ServiceReachedState(Service& service)
{
    // A starting spooler loads its monitors, and the TCP/IP monitor reads its ports again.
    if (SameText(service.name, "Spooler") && service.state == SERVICE_RUNNING) core.LoadTcpIpPorts();
}

// ---- Services -----------------------------------------------------------------------------------

Call<Handle> SimServices::OpenSCManagerA(const char* machine, const char* database, Dword access)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("OpenSCManagerA")) return Failed(kNoHandle, *fault);
    if (core.profile.Is9x()) return Failed(kNoHandle, kErrorCallNotImplemented);
    if (machine && *machine) return Failed(kNoHandle, kRpcServerUnavailable);
    if (database && !SameText(database, kServicesDatabase)) return Failed(kNoHandle, ERROR_DATABASE_DOES_NOT_EXIST);
    HandleEntry entry;
    entry.kind = HandleKind::ServiceManager;
    entry.access = access;
    return Ok(core.NewHandle(std::move(entry)));
}

Call<Handle> SimServices::OpenServiceA(Handle manager, const char* serviceName, Dword access)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("OpenServiceA")) return Failed(kNoHandle, *fault);
    if (!core.FindHandle(manager, {HandleKind::ServiceManager})) return Failed(kNoHandle, ERROR_INVALID_HANDLE);
    if (!serviceName || !*serviceName) return Failed(kNoHandle, ERROR_INVALID_NAME);
    const Service* service = core.FindService(serviceName);
    if (!service) return Failed(kNoHandle, ERROR_SERVICE_DOES_NOT_EXIST);
    HandleEntry entry;
    entry.kind = HandleKind::Service;
    entry.name = service->name;
    entry.access = access;
    return Ok(core.NewHandle(std::move(entry)));
}

Call<bool> SimServices::QueryServiceStatus(Handle handle, ServiceStatus* status)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("QueryServiceStatus")) return Failed(false, *fault);
    HandleEntry* entry = core.FindHandle(handle, {HandleKind::Service});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    if (!(entry->access & SERVICE_QUERY_STATUS)) return Failed(false, ERROR_ACCESS_DENIED);
    if (!status) return Failed(false, kErrorNoAccess);
    Service* service = core.FindService(entry->name);
    if (!service) return Failed(false, ERROR_SERVICE_DOES_NOT_EXIST);
    core.ReadServiceStatus(*service);
    *status = ServiceStatus{};
    status->dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status->dwCurrentState = service->state;
    status->dwControlsAccepted = service->state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    status->dwCheckPoint = service->state == SERVICE_START_PENDING ? service->checkPoint : 0;
    status->dwWaitHint = service->state == SERVICE_START_PENDING ? service->waitHint : 0;
    return Ok(true);
}

Call<bool> SimServices::StartServiceA(Handle handle, Dword, const char**)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("StartServiceA")) return Failed(false, *fault);
    HandleEntry* entry = core.FindHandle(handle, {HandleKind::Service});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    if (!(entry->access & SERVICE_START)) return Failed(false, ERROR_ACCESS_DENIED);
    Service* service = core.FindService(entry->name);
    if (!service) return Failed(false, ERROR_SERVICE_DOES_NOT_EXIST);
    if (const Dword error = core.StartService(*service)) return Failed(false, error);
    return Ok(true);
}

Call<bool> SimServices::CloseServiceHandle(Handle handle)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("CloseServiceHandle")) return Failed(false, *fault);
    if (!core.FindHandle(handle, {HandleKind::ServiceManager, HandleKind::Service}))
        return Failed(false, ERROR_INVALID_HANDLE);
    core.CloseHandleEntry(handle);
    return Ok(true);
}

// ---- Processes ----------------------------------------------------------------------------------

namespace {

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The file at `path` (relative to the current directory): its folder as the program sees it,
// its name as it lies on the disk.
std::optional<std::string> ExistingFile(Core& core, const std::string& path)
{
    const FsEntry* entry = core.FindEntry(core.Key(path, true));
    if (!entry || entry->directory) return std::nullopt;
    return FolderOf(core.Absolute(path)) + "\\" + BaseName(entry->path);
}

// Windows' own files, which only administrators can change: what they do is the machine's
// built-in behaviour. A file of the same name anywhere else is someone else's program.
bool SystemFile(Core& core, const std::string& path)
{
    const std::string folder = FolderOf(path);
    return SameText(folder, core.SystemDirectory()) || SameText(folder, core.WindowsDirectory());
}

// Where CreateProcessA finds the program its command line names: a bare name in the program's
// own folder first, then the current directory, the system directory and the Windows
// directory, with ".exe" added to a name without an extension.
std::optional<std::string> SearchProgram(Core& core, std::string name)
{
    if (BaseName(name).find('.') == std::string::npos) name += ".exe";
    if (name.find_first_of("\\/:") != std::string::npos) return ExistingFile(core, name);
    for (const std::string& folder :
         {FolderOf(core.profile.programPath), core.currentDirectory, core.SystemDirectory(), core.WindowsDirectory()})
        if (auto found = ExistingFile(core, folder + "\\" + name)) return found;
    return std::nullopt;
}

// Where the interpreter finds a command that is not one of its own: a bare name in its
// current directory first, then along the path (the system directory, the Windows directory),
// each with the extensions the path's list of programs names, in its order.
std::optional<std::string> FindCommandFile(Core& core, const std::string& name, const std::string& directory)
{
    std::vector<std::string> names;
    if (BaseName(name).find('.') != std::string::npos) names.push_back(name);
    for (const char* extension : kCommandExtensions) names.push_back(name + extension);
    std::vector<std::string> folders = {directory, core.SystemDirectory(), core.WindowsDirectory()};
    if (name.find_first_of("\\/:") != std::string::npos) folders = {std::string()};
    for (const auto& folder : folders)
        for (const auto& candidate : names)
            if (auto found = ExistingFile(core, folder.empty() ? candidate : folder + "\\" + candidate)) return found;
    return std::nullopt;
}

// What "net start/stop <service>" does to the machine, and the exit code it gives.
Dword RunNet(Core& core, const std::vector<std::string>& words)
{
    if (words.size() < 3) return 0;
    const std::string& verb = words[1];
    std::string name = words[2];
    for (std::size_t i = 3; i < words.size(); ++i) name += " " + words[i];
    Service* service = core.FindService(name);
    if (SameText(verb, "stop")) {
        if (!service || service->state == SERVICE_STOPPED) return kNetHelpExitFailure;
        service->state = SERVICE_STOPPED;
        return 0;
    }
    if (SameText(verb, "start")) {
        if (!service || core.StartService(*service) != 0) return kNetHelpExitFailure;
        for (unsigned i = 0; i < kNetStartPolls && service->state == SERVICE_START_PENDING; ++i) {
            if (service->script.outcome == ServiceStartScript::Outcome::StaysPending) break;
            core.ReadServiceStatus(*service);
        }
        return service->state == SERVICE_RUNNING ? 0 : kNetHelpExitFailure;
    }
    return 0;
}

// "exit [/b] [code]": the interpreter's own way to give an exit code.
Dword ExitCode(const std::vector<std::string>& words)
{
    std::size_t at = 1;
    if (at < words.size() && SameText(words[at], "/b")) ++at;
    return at < words.size() ? static_cast<Dword>(std::strtoul(words[at].c_str(), nullptr, 10)) : 0;
}

// A batch file the interpreter found runs its lines; of them the machine knows only "exit".
Dword RunBatch(Core& core, const std::string& path)
{
    const FsEntry* entry = core.FindEntry(core.Key(path, true));
    if (!entry) return 0;
    std::string line;
    for (std::size_t i = 0; i <= entry->bytes.size(); ++i) {
        const char c = i < entry->bytes.size() ? static_cast<char>(entry->bytes[i]) : '\n';
        if (c != '\r' && c != '\n') {
            line.push_back(c);
            continue;
        }
        const auto words = Words(line.empty() || line[0] != '@' ? line : line.substr(1));
        if (!words.empty() && SameText(words[0], "exit")) return ExitCode(words);
        line.clear();
    }
    return 0;
}

// What the interpreter's "/c" command does, run from `directory`; the file it ran for the
// command goes into the record.
Dword RunInterpreter(Core& core, const std::vector<std::string>& words, const std::string& directory,
                     ProcessRecord& record)
{
    std::size_t at = 1;
    while (at < words.size() && !SameText(words[at], "/c") && !SameText(words[at], "/k")) ++at;
    if (at + 1 >= words.size()) return 0;
    const std::vector<std::string> inner(words.begin() + static_cast<std::ptrdiff_t>(at + 1), words.end());
    if (SameText(inner[0], "exit")) return ExitCode(inner);
    const std::optional<std::string> file = FindCommandFile(core, inner[0], directory);
    if (!file) return kCommandNotFoundExitCode;
    record.commandFile = *file;
    // Only the system's own net.exe does what net does; anything else found first just ran.
    const bool net = OneOf(BaseName(inner[0]), {kNetNames[0], kNetNames[1]});
    if (net && SystemFile(core, *file) && SameText(BaseName(*file), kNetNames[1])) return RunNet(core, inner);
    const std::string extension = file->size() >= 4 ? file->substr(file->size() - 4) : std::string();
    if (SameText(extension, ".bat") || SameText(extension, ".cmd")) return RunBatch(core, *file);
    return 0;
}

// The program a command starts: the application name (a partial one completed from the
// current directory, never searched for), else the command line's first word.
std::optional<std::string> FindCommandProgram(Core& core, const char* applicationName, const std::string& line)
{
    if (applicationName) return ExistingFile(core, applicationName);
    if (!line.empty() && line.front() == '"') return SearchProgram(core, line.substr(1, line.find('"', 1) - 1));
    // An unquoted path with spaces: Windows tries each space as the end of the name.
    std::optional<std::string> program;
    for (std::size_t end = line.find(' '); !program; end = line.find(' ', end + 1)) {
        program = SearchProgram(core, line.substr(0, end));
        if (end == std::string::npos) break;
    }
    return program;
}

// The handles and ids of a process just created (its record is the last one), and of its thread.
ProcessInformation NewProcess(Core& core, Dword exitCode, bool neverEnds)
{
    HandleEntry process;
    process.kind = HandleKind::Process;
    process.exitCode = exitCode;
    process.running = neverEnds;
    process.processRecord = core.processes.size() - 1;
    HandleEntry thread;
    thread.kind = HandleKind::Thread;
    thread.thread = std::make_shared<ThreadObject>();
    thread.thread->ended = !neverEnds;
    thread.thread->exitCode = exitCode;
    ProcessInformation information{};
    information.hProcess = core.NewHandle(std::move(process));
    information.hThread = core.NewHandle(std::move(thread));
    information.dwProcessId = core.nextProcessId;
    information.dwThreadId = core.nextProcessId + 4;
    core.nextProcessId += 8;
    return information;
}

}  // namespace

Call<bool> SimProcesses::CreateProcessA(const char* applicationName, char* commandLine, const void*, const void*, bool,
                                        Dword creationFlags, const void*, const char* currentDirectory,
                                        const StartupInfoA* startupInfo, ProcessInformation* processInformation)
{
    auto lock = core.Lock();
    ProcessRecord record;
    record.applicationName = TextOf(applicationName);
    record.commandLine = TextOf(commandLine);
    record.currentDirectory = TextOf(currentDirectory);
    record.creationFlags = creationFlags;
    if (startupInfo) {
        record.startupInfoGiven = true;
        record.startupFlags = startupInfo->dwFlags;
        record.showWindow = startupInfo->wShowWindow;
    }
    auto fail = [&](Dword error) {
        record.error = error;
        core.processes.push_back(record);
        return Failed(false, error);
    };
    if (auto fault = core.Enter("CreateProcessA")) return fail(*fault);
    if ((!applicationName && !commandLine) || !startupInfo || !processInformation) return fail(ERROR_INVALID_PARAMETER);
    const std::string line = commandLine ? std::string(commandLine) : std::string(applicationName);
    if (line.size() > kMaxCommandLine) return fail(ERROR_FILENAME_EXCED_RANGE);
    if (currentDirectory && !core.IsDirectory(core.Key(currentDirectory, true))) return fail(kErrorDirectory);

    Dword exitCode = 0;
    const CommandRule* rule = nullptr;
    for (auto it = core.commandRules.rbegin(); it != core.commandRules.rend() && !rule; ++it)
        if (ContainsText(line, it->pattern)) rule = &*it;
    if (rule && rule->failCreation) return fail(rule->value);
    if (rule) {
        exitCode = rule->value;
    } else {
        const std::optional<std::string> program = FindCommandProgram(core, applicationName, line);
        if (!program) return fail(ERROR_FILE_NOT_FOUND);
        record.program = *program;
        const std::string directory = currentDirectory ? core.Absolute(currentDirectory) : core.currentDirectory;
        if (OneOf(BaseName(*program), {kInterpreters[0], kInterpreters[1]}) && SystemFile(core, *program))
            exitCode = RunInterpreter(core, Words(line), directory, record);
    }

    const bool neverEnds = rule && rule->neverEnds;
    if (neverEnds) exitCode = STILL_ACTIVE;
    record.created = true;
    record.exitCode = exitCode;
    core.processes.push_back(record);
    *processInformation = NewProcess(core, exitCode, neverEnds);
    return Ok(true);
}

Call<bool> SimProcesses::GetExitCodeProcess(Handle process, Dword* exitCode)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetExitCodeProcess")) return Failed(false, *fault);
    HandleEntry* entry = core.FindHandle(process, {HandleKind::Process});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    if (!exitCode) return Failed(false, kErrorNoAccess);
    *exitCode = entry->exitCode;
    return Ok(true);
}

Call<bool> SimProcesses::TerminateProcess(Handle process, Dword exitCode)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("TerminateProcess")) return Failed(false, *fault);
    HandleEntry* entry = core.FindHandle(process, {HandleKind::Process});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    // A process that has ended already cannot be terminated again: Windows says access denied.
    if (!entry->running) return Failed(false, kErrorNoAccess);
    entry->running = false;
    entry->exitCode = exitCode;
    ProcessRecord& record = core.processes[entry->processRecord];
    record.terminated = true;
    record.exitCode = exitCode;
    core.Changed();
    return Ok(true);
}

}  // namespace zenthar::sim::detail
