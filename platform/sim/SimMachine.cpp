// The machine as a whole, and what tests use to arrange and inspect it.
#include "platform/sim/SimMachine.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/sim/SimBackends.h"

namespace zenthar::sim {

using namespace detail;

namespace {

const char* const kDeviceClassesKey =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\";
const char* const kDeviceParametersSuffix = "\\#\\Device Parameters";
const char* const kPortNumberValue = "Port Number";
const char* const kTcpIpMonitorName = "Standard TCP/IP Port";
const char* const kTcpIpPortsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";
constexpr auto kThreadGrace = std::chrono::seconds(5);

}  // namespace

SimMachine::SimMachine(MachineProfile profile)
    : core(std::make_unique<Core>(std::move(profile))), backends(std::make_unique<Backends>(*core))
{
    Backends& b = *backends;
    platformRefs.reset(new platform::Platform{b.spooler, b.registry, b.services, b.processes, b.kernel, b.files, b.io,
                                              b.system, b.modules, b.setup, b.clock, b.debug, b.environment,
                                              b.security});
}

SimMachine::~SimMachine()
{
    {
        auto lock = core->Lock();
        core->shuttingDown = true;
        core->Changed();
    }
    const auto started = std::chrono::steady_clock::now();
    for (;;) {
        {
            auto lock = core->Lock();
            if (core->liveThreads == 0) break;
        }
        if (std::chrono::steady_clock::now() - started > kThreadGrace) {
            std::fprintf(stderr, "SimMachine: destroyed while a thread it started still runs\n");
            std::abort();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (auto& thread : core->threads)
        if (thread->thread.joinable()) thread->thread.join();
}

platform::Platform& SimMachine::platform()
{
    return *platformRefs;
}
const MachineProfile& SimMachine::profile() const
{
    return core->profile;
}

void SimMachine::SetWow64(bool wow64)
{
    auto lock = core->Lock();
    if (!core->profile.Is64BitSystem()) return;
    core->profile.wow64 = wow64;
    core->profile.systemInfoArchitecture = wow64 ? PROCESSOR_ARCHITECTURE_INTEL : core->profile.nativeArchitecture;
}

// ---- Faults and the call log --------------------------------------------------------------------

void SimMachine::FailNext(std::string_view function, Dword error, unsigned nth)
{
    auto lock = core->Lock();
    core->faults.push_back(Fault{std::string(function), error, nth == 0 ? 1 : nth, false});
}

void SimMachine::FailAlways(std::string_view function, Dword error)
{
    auto lock = core->Lock();
    core->faults.push_back(Fault{std::string(function), error, 0, true});
}

void SimMachine::FailCallNumber(std::size_t index, Dword error)
{
    auto lock = core->Lock();
    core->callNumberFaults[index] = error;
}

void SimMachine::ClearFaults()
{
    auto lock = core->Lock();
    core->faults.clear();
    core->callNumberFaults.clear();
}

std::vector<std::string> SimMachine::CallLog() const
{
    auto lock = core->Lock();
    return core->callLog;
}

std::size_t SimMachine::CallCount(std::string_view function) const
{
    auto lock = core->Lock();
    std::size_t count = 0;
    for (const auto& name : core->callLog) count += name == function;
    return count;
}

std::vector<std::string> SimMachine::Misuses() const
{
    auto lock = core->Lock();
    return core->misuses;
}

// ---- Spooler ------------------------------------------------------------------------------------

void SimMachine::AddDriver(SimDriver driver)
{
    auto lock = core->Lock();
    if (driver.environment.empty()) driver.environment = core->DefaultEnvironment();
    if (SimDriver* existing = core->FindDriver(driver.name, driver.environment)) *existing = std::move(driver);
    else core->drivers.push_back(std::move(driver));
}

void SimMachine::AddDriver(std::string_view name)
{
    SimDriver driver;
    driver.name = std::string(name);
    AddDriver(std::move(driver));
}

void SimMachine::AddPrinter(std::string_view name, std::string_view portName, std::string_view driverName)
{
    SimPrinter printer;
    printer.name = std::string(name);
    printer.portName = std::string(portName);
    printer.driverName = std::string(driverName);
    AddPrinter(std::move(printer));
}

void SimMachine::AddPrinter(SimPrinter printer)
{
    auto lock = core->Lock();
    core->MirrorPrinter(printer);
    if (SimPrinter* existing = core->FindPrinter(printer.name)) *existing = std::move(printer);
    else core->printers.push_back(std::move(printer));
}

void SimMachine::AddMonitor(SimMonitor monitor)
{
    auto lock = core->Lock();
    if (monitor.environment.empty()) monitor.environment = core->DefaultEnvironment();
    core->MirrorMonitor(monitor);
    if (SimMonitor* existing = core->FindMonitor(monitor.name)) *existing = std::move(monitor);
    else core->monitors.push_back(std::move(monitor));
}

void SimMachine::AddPort(std::string_view monitorName, std::string_view portName)
{
    auto lock = core->Lock();
    SimMonitor* monitor = core->FindMonitor(monitorName);
    if (!monitor) {
        core->monitors.push_back(SimMonitor{std::string(monitorName), core->DefaultEnvironment(), "", {}});
        monitor = &core->monitors.back();
    }
    if (SameText(monitorName, kTcpIpMonitorName))
        core->NativeKey(kHkeyLocalMachine, std::string(kTcpIpPortsKey) + "\\" + std::string(portName), true);
    monitor->ports.emplace_back(portName);
}

void SimMachine::RemovePort(std::string_view portName)
{
    auto lock = core->Lock();
    for (auto& monitor : core->monitors)
        std::erase_if(monitor.ports, [&](const std::string& port) { return SameText(port, portName); });
    if (auto key =
            core->NativeKey(kHkeyLocalMachine, std::string(kTcpIpPortsKey) + "\\" + std::string(portName), false))
        core->RemoveNode(key);
}

void SimMachine::SetPrinterJobs(std::string_view printerName, Dword jobs)
{
    auto lock = core->Lock();
    if (SimPrinter* printer = core->FindPrinter(printerName)) printer->jobs = jobs;
}

void SimMachine::RemoveMonitor(std::string_view monitorName)
{
    auto lock = core->Lock();
    std::erase_if(core->monitors, [&](const SimMonitor& monitor) { return SameText(monitor.name, monitorName); });
    if (auto key = core->NativeKey(kHkeyLocalMachine,
                                   "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\" + std::string(monitorName),
                                   false))
        core->RemoveNode(key);
}

void SimMachine::AddPrintProcessor(std::string_view environment, std::string_view name, std::string_view dllName)
{
    auto lock = core->Lock();
    core->printProcessors.emplace_back(std::string(environment), std::string(name));
    core->MirrorPrintProcessor(environment, name, dllName);
}

void SimMachine::SetMonitorLibrary(std::string_view dllName, std::vector<std::string> ports, bool isMonitor)
{
    auto lock = core->Lock();
    core->monitorLibraries[Upper(dllName)] = MonitorLibrary{std::move(ports), isMonitor};
}

void SimMachine::RequireSystemLibraryForDrivers(std::string_view fileName)
{
    auto lock = core->Lock();
    core->driverRequiredLibraries.emplace_back(fileName);
}

std::vector<SimDriver> SimMachine::Drivers() const
{
    auto lock = core->Lock();
    return core->drivers;
}

std::optional<SimDriver> SimMachine::FindDriver(std::string_view name, std::string_view environment) const
{
    auto lock = core->Lock();
    const std::string env = environment.empty() ? core->DefaultEnvironment() : std::string(environment);
    if (const SimDriver* driver = core->FindDriver(name, env)) return *driver;
    return std::nullopt;
}

std::vector<SimPrinter> SimMachine::Printers() const
{
    auto lock = core->Lock();
    return core->printers;
}

std::optional<SimPrinter> SimMachine::FindPrinter(std::string_view name) const
{
    auto lock = core->Lock();
    if (const SimPrinter* printer = core->FindPrinter(name)) return *printer;
    return std::nullopt;
}

std::vector<SimMonitor> SimMachine::Monitors() const
{
    auto lock = core->Lock();
    return core->monitors;
}

std::vector<std::string> SimMachine::Ports() const
{
    auto lock = core->Lock();
    std::vector<std::string> ports;
    for (const auto& monitor : core->monitors) ports.insert(ports.end(), monitor.ports.begin(), monitor.ports.end());
    return ports;
}

std::vector<std::string> SimMachine::PrintProcessors(std::string_view environment) const
{
    auto lock = core->Lock();
    std::vector<std::string> names;
    for (const auto& [env, name] : core->printProcessors)
        if (SameText(env, environment)) names.push_back(name);
    return names;
}

std::string SimMachine::DefaultPrinter() const
{
    auto lock = core->Lock();
    return core->defaultPrinter;
}

void SimMachine::SetDefaultPrinter(std::string_view printerName)
{
    auto lock = core->Lock();
    core->defaultPrinter = std::string(printerName);
}

std::string SimMachine::DefaultEnvironment() const
{
    auto lock = core->Lock();
    return core->DefaultEnvironment();
}

std::string SimMachine::DriverDirectory(std::string_view environment) const
{
    auto lock = core->Lock();
    return core->DriverDirectory(environment.empty() ? core->DefaultEnvironment() : std::string(environment));
}

void SimMachine::AnswerEmptyDriverDirectory(bool empty)
{
    auto lock = core->Lock();
    core->emptyDriverDirectoryAnswer = empty;
}

// ---- Registry -----------------------------------------------------------------------------------

void SimMachine::CreateRegistryKey(RegKey root, std::string_view path, std::string_view keyClass)
{
    auto lock = core->Lock();
    auto node = core->RootNode(root);
    if (!node) return;
    bool created = false;
    core->Walk(node, path, false, true, &created, keyClass);
}

void SimMachine::SetRegistryValue(RegKey root, std::string_view path, std::string_view valueName, Dword type,
                                  std::vector<std::uint8_t> bytes)
{
    auto lock = core->Lock();
    if (auto node = core->NativeKey(root, path, true)) core->SetValue(*node, valueName, type, std::move(bytes));
}

void SimMachine::SetRegistryString(RegKey root, std::string_view path, std::string_view valueName,
                                   std::string_view text)
{
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    SetRegistryValue(root, path, valueName, platform::REG_SZ, std::move(bytes));
}

void SimMachine::SetRegistryDword(RegKey root, std::string_view path, std::string_view valueName, Dword value)
{
    SetRegistryValue(root, path, valueName, platform::REG_DWORD, DwordBytes(value));
}

void SimMachine::DeleteRegistryKey(RegKey root, std::string_view path)
{
    auto lock = core->Lock();
    auto node = core->NativeKey(root, path, false);
    if (node && node->parent) core->RemoveNode(node);
    if (SameText(path, kTcpIpPortsKey) || StartsWithText(path, std::string(kTcpIpPortsKey) + "\\"))
        core->LoadTcpIpPorts();
}

bool SimMachine::RegistryKeyExists(RegKey root, std::string_view path) const
{
    auto lock = core->Lock();
    return core->NativeKey(root, path, false) != nullptr;
}

std::optional<SimMachine::RegistryValue> SimMachine::FindRegistryValue(RegKey root, std::string_view path,
                                                                       std::string_view valueName) const
{
    auto lock = core->Lock();
    auto node = core->NativeKey(root, path, false);
    if (!node) return std::nullopt;
    if (const RegistryValue* value = node->Value(valueName)) return *value;
    return std::nullopt;
}

std::vector<SimMachine::RegistryValue> SimMachine::RegistryValues(RegKey root, std::string_view path) const
{
    auto lock = core->Lock();
    auto node = core->NativeKey(root, path, false);
    return node ? node->values : std::vector<RegistryValue>{};
}

std::vector<std::string> SimMachine::RegistrySubkeys(RegKey root, std::string_view path) const
{
    auto lock = core->Lock();
    std::vector<std::string> names;
    if (auto node = core->NativeKey(root, path, false))
        for (const auto& child : node->children) names.push_back(child->name);
    return names;
}

std::optional<std::string> SimMachine::RegistryKeyClass(RegKey root, std::string_view path) const
{
    auto lock = core->Lock();
    auto node = core->NativeKey(root, path, false);
    if (!node) return std::nullopt;
    return node->keyClass;
}

void SimMachine::SetCurrentControlSet(int number)
{
    auto lock = core->Lock();
    core->currentControlSet = number;
}

// ---- Services and processes -----------------------------------------------------------------

void SimMachine::AddService(std::string_view name, Dword state)
{
    auto lock = core->Lock();
    core->AddService(name, state);
}

void SimMachine::RemoveService(std::string_view name)
{
    auto lock = core->Lock();
    std::erase_if(core->services, [&](const Service& service) { return SameText(service.name, name); });
}

void SimMachine::SetServiceState(std::string_view name, Dword state)
{
    auto lock = core->Lock();
    if (Service* service = core->FindService(name)) {
        service->state = state;
        core->ServiceReachedState(*service);
    }
}

std::optional<Dword> SimMachine::ServiceState(std::string_view name) const
{
    auto lock = core->Lock();
    if (const Service* service = core->FindService(name)) return service->state;
    return std::nullopt;
}

void SimMachine::ScriptServiceStart(std::string_view name, ServiceStartScript script)
{
    auto lock = core->Lock();
    if (Service* service = core->FindService(name)) service->script = std::move(script);
}

void SimMachine::ScriptCommand(std::string_view pattern, Dword exitCode)
{
    auto lock = core->Lock();
    core->commandRules.push_back(CommandRule{std::string(pattern), false, false, exitCode});
}

void SimMachine::FailCommand(std::string_view pattern, Dword error)
{
    auto lock = core->Lock();
    core->commandRules.push_back(CommandRule{std::string(pattern), true, false, error});
}

void SimMachine::HangCommand(std::string_view pattern)
{
    auto lock = core->Lock();
    core->commandRules.push_back(CommandRule{std::string(pattern), false, true, 0});
}

std::vector<ProcessRecord> SimMachine::Processes() const
{
    auto lock = core->Lock();
    return core->processes;
}

// ---- Files --------------------------------------------------------------------------------------

void SimMachine::AddFile(std::string_view path, std::string_view contents)
{
    AddFile(path, std::vector<std::uint8_t>(contents.begin(), contents.end()));
}

void SimMachine::AddFile(std::string_view path, std::vector<std::uint8_t> contents)
{
    auto lock = core->Lock();
    core->PutFile(core->Absolute(path), std::move(contents));
}

void SimMachine::AddDirectory(std::string_view path)
{
    auto lock = core->Lock();
    core->MakeDirectories(core->Absolute(path));
}

void SimMachine::AddReparsePoint(std::string_view path, std::string_view target)
{
    auto lock = core->Lock();
    const std::string absolute = core->Absolute(path);
    const std::string key = Upper(absolute);
    core->RemoveTree(key);
    core->MakeDirectories(absolute.substr(0, Core::ParentKey(key).size()));
    const std::string targetPath = core->Absolute(target);
    FsEntry entry{absolute, core->IsDirectory(Upper(targetPath)), {}};
    entry.reparseTarget = targetPath;
    core->files[key] = std::move(entry);
}

void SimMachine::AddHardLink(std::string_view path, std::string_view existingFile)
{
    auto lock = core->Lock();
    const std::string absolute = core->Absolute(path);
    const std::string dataKey = core->DataKey(core->Key(existingFile, false));
    core->RemoveTree(Upper(absolute));
    FsEntry entry{absolute, false, {}};
    entry.hardLinkOf = dataKey;
    core->files[Upper(absolute)] = std::move(entry);
}

void SimMachine::RemovePath(std::string_view path)
{
    auto lock = core->Lock();
    const std::string key = core->Key(path, false);
    if (!Core::ParentKey(key).empty()) core->RemoveTree(key);
}

bool SimMachine::FileExists(std::string_view path) const
{
    auto lock = core->Lock();
    const FsEntry* entry = core->FindEntry(core->Key(path, false));
    return entry && !entry->directory;
}

bool SimMachine::DirectoryExists(std::string_view path) const
{
    auto lock = core->Lock();
    return core->IsDirectory(core->Key(path, false));
}

std::optional<std::string> SimMachine::FileContents(std::string_view path) const
{
    auto lock = core->Lock();
    const FsEntry* entry = core->FindEntry(core->DataKey(core->Key(path, false)));
    if (!entry || entry->directory) return std::nullopt;
    return std::string(entry->bytes.begin(), entry->bytes.end());
}

std::vector<std::string> SimMachine::ListDirectory(std::string_view path) const
{
    auto lock = core->Lock();
    const std::string key = core->Key(path, false);
    std::vector<std::string> names;
    for (const auto& [other, entry] : core->files) {
        if (other != key && Core::ParentKey(other) == key) {
            const auto slash = entry.path.rfind('\\');
            names.push_back(entry.path.substr(slash + 1));
        }
    }
    return names;
}

void SimMachine::SetOwner(std::string_view path, std::string_view sid)
{
    auto lock = core->Lock();
    if (FsEntry* entry = core->FindEntry(core->Key(path, false))) entry->owner = sid;
}

void SimMachine::AddAce(std::string_view path, platform::security::Ace ace)
{
    auto lock = core->Lock();
    if (FsEntry* entry = core->FindEntry(core->Key(path, false)))
        entry->explicitAces.insert(entry->explicitAces.begin(), std::move(ace));
}

std::string SimMachine::Owner(std::string_view path) const
{
    auto lock = core->Lock();
    return OwnerOf(*core, core->Key(path, false));
}

std::vector<platform::security::Ace> SimMachine::Aces(std::string_view path) const
{
    auto lock = core->Lock();
    return DaclOf(*core, core->Key(path, false));
}

bool SimMachine::DaclProtected(std::string_view path) const
{
    auto lock = core->Lock();
    const FsEntry* entry = core->FindEntry(core->Key(path, false));
    return entry && entry->daclProtected;
}

std::string SimMachine::CurrentDirectory() const
{
    auto lock = core->Lock();
    return core->currentDirectory;
}

std::string SimMachine::SystemDirectory() const
{
    auto lock = core->Lock();
    return core->SystemDirectory();
}

void SimMachine::ResetFsRedirection()
{
    auto lock = core->Lock();
    core->redirectionOff.clear();
}

bool SimMachine::FsRedirectionActive() const
{
    auto lock = core->Lock();
    return core->RedirectionActiveForThisThread();
}

// ---- Modules ------------------------------------------------------------------------------------

void SimMachine::MakeLibraryMissing(std::string_view name)
{
    auto lock = core->Lock();
    std::string file(name);
    const auto slash = file.find_last_of("\\/");
    if (slash != std::string::npos) file = file.substr(slash + 1);
    if (file.find('.') == std::string::npos) file += ".dll";
    core->missingLibraries.insert(Upper(file));
}

void SimMachine::RemoveExport(std::string_view module, std::string_view function)
{
    auto lock = core->Lock();
    core->removedExports.insert({Upper(module), Upper(function)});
}

bool SimMachine::LibraryLoaded(std::string_view name) const
{
    auto lock = core->Lock();
    std::string file(name);
    if (file.find('.') == std::string::npos) file += ".dll";
    for (const auto& module : core->modules)
        if (SameText(module.name, file) && module.references > 0) return true;
    return false;
}

std::vector<std::string> SimMachine::LibraryFilesLoaded() const
{
    auto lock = core->Lock();
    return core->libraryFilesLoaded;
}

// ---- USB ----------------------------------------------------------------------------------------

std::string SimMachine::UsbDeviceParametersKey(std::string_view devicePath)
{
    std::string path(devicePath);
    for (char& c : path)
        if (c == '\\') c = '#';
    return kDeviceClassesKey + path + kDeviceParametersSuffix;
}

void SimMachine::AddUsbPrinter(std::string_view devicePath, std::optional<Dword> portNumber)
{
    {
        auto lock = core->Lock();
        if (!core->FindDevice(devicePath)) {
            auto device = std::make_shared<UsbDevice>();
            device->path = std::string(devicePath);
            core->devices.push_back(device);
        }
        core->NativeKey(kHkeyLocalMachine, UsbDeviceParametersKey(devicePath), true);
    }
    if (portNumber)
        SetUsbPortNumberValue(devicePath,
                              RegistryValue{kPortNumberValue, platform::REG_DWORD, DwordBytes(*portNumber)});
}

void SimMachine::SetUsbPortNumberValue(std::string_view devicePath, std::optional<RegistryValue> value)
{
    auto lock = core->Lock();
    auto node = core->NativeKey(kHkeyLocalMachine, UsbDeviceParametersKey(devicePath), true);
    std::erase_if(node->values, [](const RegistryValue& v) { return SameText(v.name, kPortNumberValue); });
    if (value) node->values.push_back(RegistryValue{kPortNumberValue, value->type, value->bytes});
}

namespace {
template <class Change>
void ChangeDevice(Core& core, std::string_view devicePath, Change change)
{
    auto lock = core.Lock();
    if (auto device = core.FindDevice(devicePath)) {
        change(*device);
        core.Changed();
    }
}

// Unplugging kills the open handles and ends their requests.
void Unplug(Core& core, UsbDevice& device, unsigned attempts)
{
    device.present = false;
    device.attemptsBeforeBack = attempts;
    ++device.generation;
    for (auto& [handle, entry] : core.handles) {
        if (entry.kind != HandleKind::Device || entry.device.get() != &device) continue;
        for (auto& io : entry.pending)
            if (!io->done) core.CompleteIo(entry, *io, platform::ERROR_DEVICE_NOT_CONNECTED);
        entry.pending.clear();
    }
}
}  // namespace

void SimMachine::SetUsbPresent(std::string_view devicePath, bool present)
{
    ChangeDevice(*core, devicePath, [&](UsbDevice& device) {
        if (present) {
            device.present = true;
            device.attemptsBeforeBack = 0;
        } else if (device.present) {
            Unplug(*core, device, kNeverBack);
        } else {
            device.attemptsBeforeBack = kNeverBack;
        }
    });
}

void SimMachine::UnplugUsb(std::string_view devicePath, unsigned attemptsBeforeBack)
{
    ChangeDevice(*core, devicePath, [&](UsbDevice& device) { Unplug(*core, device, attemptsBeforeBack); });
}

void SimMachine::SetUsbWriteBehaviour(std::string_view devicePath, UsbWriteBehaviour behaviour)
{
    ChangeDevice(*core, devicePath, [&](UsbDevice& device) { device.behaviour = behaviour; });
}

void SimMachine::QueueUsbWriteBehaviours(std::string_view devicePath, std::vector<UsbWriteBehaviour> behaviours)
{
    ChangeDevice(*core, devicePath, [&](UsbDevice& device) {
        device.queued.insert(device.queued.end(), behaviours.begin(), behaviours.end());
    });
}

void SimMachine::QueueUsbRead(std::string_view devicePath, std::vector<std::uint8_t> bytes)
{
    ChangeDevice(*core, devicePath, [&](UsbDevice& device) {
        device.readable.insert(device.readable.end(), bytes.begin(), bytes.end());
        core->SettleIo();
    });
}

void SimMachine::SetUsbCommFunctionsSupported(std::string_view devicePath, bool supported)
{
    ChangeDevice(*core, devicePath, [&](UsbDevice& device) { device.commSupported = supported; });
}

std::vector<std::vector<std::uint8_t>> SimMachine::UsbWrites(std::string_view devicePath) const
{
    auto lock = core->Lock();
    auto device = core->FindDevice(devicePath);
    return device ? device->writes : std::vector<std::vector<std::uint8_t>>{};
}

std::size_t SimMachine::UsbWriteAttempts(std::string_view devicePath) const
{
    auto lock = core->Lock();
    auto device = core->FindDevice(devicePath);
    return device ? device->writeAttempts : 0;
}

std::size_t SimMachine::UsbOpenHandles(std::string_view devicePath) const
{
    auto lock = core->Lock();
    auto device = core->FindDevice(devicePath);
    std::size_t count = 0;
    for (const auto& [handle, entry] : core->handles)
        count += entry.kind == HandleKind::Device && entry.device == device;
    return count;
}

// ---- Clock, debugger output, environment, kernel -------------------------------------------------

Dword SimMachine::TickCount() const
{
    auto lock = core->Lock();
    return core->Ticks();
}

void SimMachine::SetTickCount(Dword ticks)
{
    auto lock = core->Lock();
    core->tickBase = ticks - static_cast<Dword>(core->now);
}

std::vector<Dword> SimMachine::Pauses() const
{
    auto lock = core->Lock();
    std::vector<Dword> result;
    for (const auto& pause : core->pauses)
        if (!pause.fromCreatedThread) result.push_back(pause.milliseconds);
    return result;
}

std::vector<Pause> SimMachine::AllPauses() const
{
    auto lock = core->Lock();
    return core->pauses;
}

std::vector<std::string> SimMachine::DebugOutput() const
{
    auto lock = core->Lock();
    return core->debugLines;
}

void SimMachine::SetEnvironmentVariable(std::string_view name, std::string_view value)
{
    auto lock = core->Lock();
    for (auto& [key, existing] : core->environment) {
        if (SameText(key, name)) {
            existing = std::string(value);
            return;
        }
    }
    core->environment.emplace_back(std::string(name), std::string(value));
}

void SimMachine::RemoveEnvironmentVariable(std::string_view name)
{
    auto lock = core->Lock();
    std::erase_if(core->environment, [&](const auto& entry) { return SameText(entry.first, name); });
}

std::size_t SimMachine::OpenHandleCount() const
{
    auto lock = core->Lock();
    return core->handles.size();
}

std::size_t SimMachine::OpenRegistryKeyCount() const
{
    auto lock = core->Lock();
    return core->regHandles.size();
}

void SimMachine::HoldMutexElsewhere(std::string_view name, std::optional<Dword> releasedAfter, bool abandoned)
{
    auto lock = core->Lock();
    auto& mutex = core->namedMutexes[Upper(name)];
    if (!mutex) mutex = std::make_shared<detail::MutexObject>();
    mutex->heldElsewhere = true;
    mutex->releasedAt = releasedAfter ? core->Now() + *releasedAfter : detail::kNeverTime;
    mutex->abandonedElsewhere = abandoned;
}

bool SimMachine::ProgramOwnsMutex(std::string_view name) const
{
    auto lock = core->Lock();
    const auto found = core->namedMutexes.find(Upper(name));
    return found != core->namedMutexes.end() && found->second->ownedByProgram > 0;
}

}  // namespace zenthar::sim
