#include "platform/sim/SimCore.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace zenthar::sim::detail {

// ---- Data of a stock Windows machine --------------------------------------------------------

const std::vector<ExportEntry> kExports = {
    {"kernel32.dll", "GetNativeSystemInfo", 0, Export::GetNativeSystemInfo},
    {"kernel32.dll", "GetProductInfo", 0, Export::GetProductInfo},
    {"kernel32.dll", "Wow64DisableWow64FsRedirection", 0, Export::Wow64DisableWow64FsRedirection},
    {"kernel32.dll", "IsWow64Process", 0, Export::IsWow64Process},
    {"kernel32.dll", "GetVersionExA", 0, Export::GetVersionExA},
    {"winspool.drv", "SetDefaultPrinterA", 202, Export::SetDefaultPrinterA},
    {"setupapi.dll", "SetupDiGetClassDevsA", 0, Export::SetupDiGetClassDevsA},
    {"setupapi.dll", "SetupDiEnumDeviceInterfaces", 0, Export::SetupDiEnumDeviceInterfaces},
    {"setupapi.dll", "SetupDiGetDeviceInterfaceDetailA", 0, Export::SetupDiGetDeviceInterfaceDetailA},
    {"setupapi.dll", "SetupDiDestroyDeviceInfoList", 0, Export::SetupDiDestroyDeviceInfoList},
};

namespace {

// Libraries every Windows has, loadable without a file of ours on the simulated disk.
const char* const kKnownLibraries[] = {"kernel32.dll", "winspool.drv", "setupapi.dll", "advapi32.dll",
                                       "user32.dll",   "gdi32.dll",    "ws2_32.dll",   "ntdll.dll",
                                       "shell32.dll",  "comctl32.dll", "ole32.dll",    "msvcrt.dll"};
// Loaded with the program itself: it imports from them.
const char* const kPinnedLibraries[] = {"kernel32.dll", "winspool.drv", "ntdll.dll"};

const char* const kLocalPorts[] = {"COM1:", "COM2:", "COM3:", "COM4:", "LPT1:", "LPT2:", "LPT3:", "FILE:"};

// Relative to the system directory.
const char* const kSystemFiles[] = {"cmd.exe", "net.exe", "kernel32.dll", "winspool.drv", "setupapi.dll",
                                    "localspl.dll", "tcpmon.dll"};
const char* const kWbemFiles[] = {"WBEM\\FRAMEDYN.dll"};
// The universal printer driver that Windows 2000 and later install in each version directory.
// The standard names file is left to the first driver that brings one.
const char* const kUniversalDriverFiles[] = {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "UNIDRV.HLP"};

// Folders below System32 that WOW64 leaves alone.
const char* const kRedirectionExemptions[] = {"catroot", "catroot2", "driverstore", "drivers\\etc", "logfiles",
                                              "spool"};

struct EnvironmentEntry {
    const char* name;
    const char* directory;  // below spool\drivers
};
const EnvironmentEntry kEnvironments[] = {
    {"Windows NT x86", "w32x86"}, {"Windows x64", "x64"}, {"Windows IA64", "ia64"}, {"Windows 4.0", "win40"}};

const char* const kPrintRoot = "SYSTEM\\CurrentControlSet\\Control\\Print";
const char* const kTcpIpPortsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";
const char* const kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char* const kLocalMonitor = "Local Port";
const char* const kTcpIpMonitor = "Standard TCP/IP Port";

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> SzBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

std::vector<std::uint8_t> DwordBytes(Dword value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

}  // namespace

// ---- Text ---------------------------------------------------------------------------------------

std::string Upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && Upper(a) == Upper(b);
}

bool StartsWithText(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

bool ContainsText(std::string_view text, std::string_view part) {
    return Upper(text).find(Upper(part)) != std::string::npos;
}

std::string TextOf(const char* text) { return text ? std::string(text) : std::string(); }

std::vector<std::string> SplitPath(std::string_view path) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : path) {
        if (c == '\\') {
            if (!current.empty()) parts.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) parts.push_back(current);
    return parts;
}

// ---- Registry nodes -----------------------------------------------------------------------------

std::shared_ptr<RegNode> RegNode::Child(std::string_view childName) const {
    for (const auto& child : children)
        if (SameText(child->name, childName)) return child;
    return nullptr;
}

SimMachine::RegistryValue* RegNode::Value(std::string_view valueName) {
    for (auto& value : values)
        if (SameText(value.name, valueName)) return &value;
    return nullptr;
}

// ---- Construction: a freshly installed machine of the profile -------------------------------

Core::Core(MachineProfile machineProfile) : profile(std::move(machineProfile)) {
    const std::string system = SystemDirectory();
    const std::string windows = WindowsDirectory();

    files["C:\\"] = FsEntry{"C:\\", true, {}};
    MakeDirectories(system);
    MakeDirectories("C:\\Program Files");
    if (profile.Is9x()) {
        PutFile(windows + "\\COMMAND.COM", Bytes("sim:COMMAND.COM"));
    } else {
        for (const char* name : kSystemFiles) PutFile(system + "\\" + name, Bytes(std::string("sim:") + name));
        if (profile.majorVersion >= 5)
            for (const char* name : kWbemFiles) PutFile(system + "\\" + name, Bytes(std::string("sim:") + name));
        if (profile.Is64BitSystem()) {
            const std::string wow = windows + "\\SysWOW64";
            MakeDirectories(wow);
            for (const char* name : kSystemFiles) PutFile(wow + "\\" + name, Bytes(std::string("sim:wow64:") + name));
            for (const char* name : kWbemFiles) PutFile(wow + "\\" + name, Bytes(std::string("sim:wow64:") + name));
        }
    }

    // Registry skeleton.
    hklm = std::make_shared<RegNode>();
    hklm->name = "HKEY_LOCAL_MACHINE";
    hkcu = std::make_shared<RegNode>();
    hkcu->name = "HKEY_CURRENT_USER";
    for (const char* name : {"HARDWARE", "SOFTWARE", "SYSTEM"}) NativeKey(kHkeyLocalMachine, name, true);
    hklm->Child("SOFTWARE")->isHklmSoftware = true;
    NativeKey(kHkeyLocalMachine, "SYSTEM\\ControlSet001\\Control", true);
    auto systemKey = hklm->Child("SYSTEM");
    auto link = std::make_shared<RegNode>();
    link->name = "CurrentControlSet";
    link->isControlSetLink = true;
    link->parent = systemKey.get();
    systemKey->children.push_back(link);
    NativeKey(kHkeyCurrentUser, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", true);
    NativeKey(kHkeyLocalMachine, std::string(kPrintRoot) + "\\Printers", true);
    NativeKey(kHkeyLocalMachine, kUninstallKey, true);
    if (profile.Is64BitSystem())
        NativeKey(kHkeyLocalMachine, "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall", true);

    // Services.
    if (profile.hasSpoolerService) AddService("Spooler", SERVICE_RUNNING);
    if (profile.hasLpdService) AddService("LPDSVC", SERVICE_RUNNING);

    // Spooler: environments, driver directories, monitors, ports, print processors.
    if (!profile.Is9x()) {
        std::vector<std::string> environments = {"Windows NT x86"};
        if (profile.nativeArchitecture == PROCESSOR_ARCHITECTURE_AMD64) environments.push_back("Windows x64");
        if (profile.nativeArchitecture == PROCESSOR_ARCHITECTURE_IA64) environments.push_back("Windows IA64");
        for (const auto& environment : environments) {
            const std::string directory = DriverDirectory(environment);
            MakeDirectories(directory);
            if (profile.majorVersion >= 5) {
                for (const char* name : kUniversalDriverFiles)
                    PutFile(directory + "\\3\\" + name, Bytes("sim:" + environment + ":" + name));
            }
            std::string prtprocs = directory;
            prtprocs.replace(prtprocs.find("\\drivers\\"), 9, "\\prtprocs\\");
            PutFile(prtprocs + "\\winprint.dll", Bytes("sim:winprint.dll"));
            printProcessors.emplace_back(environment, "winprint");
            MirrorPrintProcessor(environment, "winprint", "winprint.dll");
        }
    }
    if (profile.Is9x()) printProcessors.emplace_back(DefaultEnvironment(), "WinPrint");
    SimMonitor local{kLocalMonitor, DefaultEnvironment(), "localspl.dll", {}};
    for (const char* port : kLocalPorts) local.ports.push_back(port);
    monitors.push_back(local);
    MirrorMonitor(local);
    if (!profile.Is9x()) {
        SimMonitor tcpip{kTcpIpMonitor, DefaultEnvironment(), "tcpmon.dll", {}};
        monitors.push_back(tcpip);
        MirrorMonitor(tcpip);
        auto ports = NativeKey(kHkeyLocalMachine, kTcpIpPortsKey, true);
        SetValue(*ports, "StatusUpdateEnabled", REG_DWORD, DwordBytes(1));
        SetValue(*ports, "StatusUpdateInterval", REG_DWORD, DwordBytes(10));
        LoadTcpIpPorts();
    }
    monitorLibraries["KVUSBMON.DLL"] = MonitorLibrary{{"USBPOS0"}, true};

    for (const char* name : kPinnedLibraries) modules.push_back(LoadedModule{name, 1, true});

    environment.emplace_back("COMSPEC", profile.Is9x() ? windows + "\\COMMAND.COM" : windows + "\\system32\\cmd.exe");
    environment.emplace_back("windir", windows);
    if (!profile.Is9x()) environment.emplace_back("SystemRoot", windows);
}

// ---- Calls, faults, misuse ------------------------------------------------------------------------

std::optional<Dword> Core::Enter(std::string_view function) {
    const std::size_t index = callLog.size();
    callLog.emplace_back(function);
    if (auto it = callNumberFaults.find(index); it != callNumberFaults.end()) {
        const Dword error = it->second;
        callNumberFaults.erase(it);
        return error;
    }
    // Every armed fault counts this call, whichever of them fires.
    std::optional<Dword> error;
    for (auto it = faults.begin(); it != faults.end();) {
        if (it->function != function) {
            ++it;
            continue;
        }
        if (it->always) {
            if (!error) error = it->error;
            ++it;
        } else if (it->countdown <= 1) {
            if (!error) error = it->error;
            it = faults.erase(it);
        } else {
            --it->countdown;
            ++it;
        }
    }
    return error;
}

void Core::Misuse(std::string text) {
    std::fprintf(stderr, "SimMachine: %s\n", text.c_str());
    misuses.push_back(std::move(text));
}

// ---- Handles ------------------------------------------------------------------------------------

Handle Core::NewHandle(HandleEntry entry) {
    const Handle handle = nextHandle;
    nextHandle += 4;
    handles.emplace(handle, std::move(entry));
    return handle;
}

HandleEntry* Core::FindHandle(Handle handle, std::initializer_list<HandleKind> kinds) {
    auto it = handles.find(handle);
    if (it == handles.end()) return nullptr;
    for (HandleKind kind : kinds)
        if (it->second.kind == kind) return &it->second;
    return nullptr;
}

void Core::CloseHandleEntry(Handle handle) {
    auto it = handles.find(handle);
    if (it == handles.end()) return;
    HandleEntry& entry = it->second;
    // Closing a handle ends its outstanding requests, as Windows cancels them.
    for (auto& io : entry.pending)
        if (!io->done) CompleteIo(entry, *io, ERROR_OPERATION_ABORTED);
    entry.pending.clear();
    handles.erase(it);
    Changed();
}

void Core::AdvanceClock(std::uint64_t milliseconds) {
    now += milliseconds;
    SettleIo();
    Changed();
}

// ---- Files --------------------------------------------------------------------------------------

std::string Core::Absolute(std::string_view given) const {
    std::string path(given);
    std::replace(path.begin(), path.end(), '/', '\\');
    if (path.rfind("\\\\?\\", 0) == 0 && path.size() >= 6 && path[5] == ':') path.erase(0, 4);

    const std::string cwdDrive = currentDirectory.substr(0, 2);
    const std::string cwdRest = currentDirectory.substr(2);
    std::string drive;
    std::string rest;
    if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
        drive = Upper(path.substr(0, 2));
        rest = path.substr(2);
        if (rest.empty() || rest[0] != '\\') rest = (drive == Upper(cwdDrive) ? cwdRest + "\\" : "\\") + rest;
    } else if (!path.empty() && path[0] == '\\') {
        drive = cwdDrive;
        rest = path;
    } else {
        drive = cwdDrive;
        rest = cwdRest + "\\" + path;
    }

    std::vector<std::string> parts;
    for (std::string part : SplitPath(rest)) {
        // Windows drops trailing dots and spaces of every name.
        while (!part.empty() && (part.back() == '.' || part.back() == ' ') && part != "." && part != "..")
            part.pop_back();
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string result = drive + "\\";
    for (std::size_t i = 0; i < parts.size(); ++i) result += (i ? "\\" : "") + parts[i];
    return result;
}

std::string Core::SystemDirectory() const {
    return WindowsDirectory() + (profile.Is9x() ? "\\SYSTEM" : "\\System32");
}

bool Core::RedirectionActiveForThisThread() const {
    return profile.wow64 && profile.Is64BitSystem() && !redirectionOff.count(std::this_thread::get_id());
}

std::string Core::Redirected(const std::string& absolute) const {
    if (!profile.wow64 || !profile.Is64BitSystem()) return absolute;
    const std::string windows = WindowsDirectory();
    const std::string sysnative = windows + "\\Sysnative";
    if (SameText(absolute, sysnative) || StartsWithText(absolute, sysnative + "\\"))
        return windows + "\\System32" + absolute.substr(sysnative.size());
    if (!RedirectionActiveForThisThread()) return absolute;
    const std::string system = windows + "\\System32";
    if (!SameText(absolute, system) && !StartsWithText(absolute, system + "\\")) return absolute;
    const std::string rest = absolute.substr(system.size());
    for (const char* exempt : kRedirectionExemptions) {
        const std::string folder = std::string("\\") + exempt;
        if (SameText(rest, folder) || StartsWithText(rest, folder + "\\")) return absolute;
    }
    return windows + "\\SysWOW64" + rest;
}

FsEntry* Core::FindEntry(const std::string& key) {
    auto it = files.find(key);
    return it == files.end() ? nullptr : &it->second;
}

const FsEntry* Core::FindEntry(const std::string& key) const {
    auto it = files.find(key);
    return it == files.end() ? nullptr : &it->second;
}

std::string Core::ParentKey(const std::string& key) {
    if (key.size() <= 3) return {};
    const auto slash = key.rfind('\\');
    return slash <= 2 ? key.substr(0, 3) : key.substr(0, slash);
}

bool Core::IsDirectory(const std::string& key) const {
    const FsEntry* entry = FindEntry(key);
    return entry && entry->directory;
}

void Core::MakeDirectories(const std::string& absolute) {
    const std::string normal = Absolute(absolute);
    std::string path = normal.substr(0, 3);
    if (!FindEntry(Upper(path))) files[Upper(path)] = FsEntry{path, true, {}};
    for (const auto& part : SplitPath(normal.substr(3))) {
        path += (path.size() > 3 ? "\\" : "") + part;
        if (!FindEntry(Upper(path))) files[Upper(path)] = FsEntry{path, true, {}};
    }
}

void Core::PutFile(const std::string& absolute, std::vector<std::uint8_t> bytes) {
    const std::string normal = Absolute(absolute);
    const std::string key = Upper(normal);
    const std::string parentKey = ParentKey(key);
    if (!parentKey.empty()) MakeDirectories(normal.substr(0, parentKey.size()));
    if (FsEntry* entry = FindEntry(key)) {
        if (entry->directory) RemoveTree(key);
    }
    FsEntry* entry = FindEntry(key);
    if (entry) {
        entry->bytes = std::move(bytes);
    } else {
        files[key] = FsEntry{normal, false, std::move(bytes)};
    }
}

void Core::RemoveTree(const std::string& key) {
    const std::string prefix = key + "\\";
    for (auto it = files.begin(); it != files.end();) {
        if (it->first == key || it->first.rfind(prefix, 0) == 0)
            it = files.erase(it);
        else
            ++it;
    }
}

bool Core::FileOpenBlocking(const std::string& key) const {
    constexpr Dword kShareDelete = 0x4;
    for (const auto& [handle, entry] : handles)
        if (entry.kind == HandleKind::File && entry.fileKey == key && !(entry.share & kShareDelete)) return true;
    return false;
}

// ---- Registry -----------------------------------------------------------------------------------

std::shared_ptr<RegNode> Core::RootNode(RegKey root) const {
    if (root == kHkeyLocalMachine) return hklm;
    if (root == kHkeyCurrentUser) return hkcu;
    return nullptr;
}

std::shared_ptr<RegNode> Core::Walk(std::shared_ptr<RegNode> node, std::string_view path, bool view32, bool create,
                                    bool* created, std::string_view newClass) {
    if (created) *created = false;
    const auto parts = SplitPath(path);
    for (std::size_t i = 0; i < parts.size() && node; ++i) {
        const std::string& part = parts[i];
        if (view32 && node->isHklmSoftware && !SameText(part, "Wow6432Node")) {
            auto wow = node->Child("Wow6432Node");
            if (!wow) {
                if (!create) return nullptr;
                wow = std::make_shared<RegNode>();
                wow->name = "Wow6432Node";
                wow->parent = node.get();
                node->children.push_back(wow);
            }
            node = wow;
        }
        auto child = node->Child(part);
        if (!child) {
            if (!create) return nullptr;
            child = std::make_shared<RegNode>();
            child->name = part;
            child->parent = node.get();
            if (i + 1 == parts.size()) child->keyClass = std::string(newClass);
            node->children.push_back(child);
            if (created && i + 1 == parts.size()) *created = true;
        }
        if (child->isControlSetLink) {
            char name[32];
            std::snprintf(name, sizeof name, "ControlSet%03d", currentControlSet);
            auto target = node->Child(name);
            if (!target) {
                target = std::make_shared<RegNode>();
                target->name = name;
                target->parent = node.get();
                node->children.push_back(target);
            }
            child = target;
        }
        node = child;
    }
    return node;
}

std::shared_ptr<RegNode> Core::NativeKey(RegKey root, std::string_view path, bool create) {
    auto node = RootNode(root);
    return node ? Walk(node, path, false, create) : nullptr;
}

void Core::SetValue(RegNode& node, std::string_view name, Dword type, std::vector<std::uint8_t> bytes) {
    if (auto* value = node.Value(name)) {
        value->type = type;
        value->bytes = std::move(bytes);
    } else {
        node.values.push_back({std::string(name), type, std::move(bytes)});
    }
}

void Core::RemoveNode(const std::shared_ptr<RegNode>& node) {
    std::vector<RegNode*> stack = {node.get()};
    while (!stack.empty()) {
        RegNode* current = stack.back();
        stack.pop_back();
        current->deleted = true;
        for (auto& child : current->children) stack.push_back(child.get());
    }
    if (RegNode* parent = node->parent) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
    }
}

// ---- Spooler ------------------------------------------------------------------------------------

bool Core::SpoolerAvailable() const {
    if (profile.Is9x()) return true;
    for (const auto& service : services)
        if (SameText(service.name, "Spooler")) return service.state == SERVICE_RUNNING;
    return false;
}

std::string Core::DefaultEnvironment() const {
    if (profile.Is9x()) return "Windows 4.0";
    if (profile.Is32BitProgram()) return "Windows NT x86";
    return profile.nativeArchitecture == PROCESSOR_ARCHITECTURE_IA64 ? "Windows IA64" : "Windows x64";
}

bool Core::KnownEnvironment(std::string_view environment) const {
    for (const auto& entry : kEnvironments)
        if (SameText(entry.name, environment)) return true;
    return false;
}

std::string Core::DriverDirectory(std::string_view environment) const {
    if (profile.Is9x()) return SystemDirectory();
    for (const auto& entry : kEnvironments)
        if (SameText(entry.name, environment)) return SystemDirectory() + "\\spool\\drivers\\" + entry.directory;
    return {};
}

SimDriver* Core::FindDriver(std::string_view name, std::string_view environment) {
    for (auto& driver : drivers)
        if (SameText(driver.name, name) && SameText(driver.environment, environment)) return &driver;
    return nullptr;
}

SimPrinter* Core::FindPrinter(std::string_view name) {
    for (auto& printer : printers)
        if (SameText(printer.name, name)) return &printer;
    return nullptr;
}

SimMonitor* Core::FindMonitor(std::string_view name) {
    for (auto& monitor : monitors)
        if (SameText(monitor.name, name)) return &monitor;
    return nullptr;
}

bool Core::PortExists(std::string_view port) const {
    for (const auto& monitor : monitors)
        for (const auto& name : monitor.ports)
            if (SameText(name, port)) return true;
    return false;
}

void Core::LoadTcpIpPorts() {
    SimMonitor* monitor = FindMonitor(kTcpIpMonitor);
    if (!monitor) return;
    monitor->ports.clear();
    if (auto key = NativeKey(kHkeyLocalMachine, kTcpIpPortsKey, false))
        for (const auto& child : key->children) monitor->ports.push_back(child->name);
}

namespace {
std::string PrinterKeyName(std::string_view printer) {
    std::string name(printer);
    std::replace(name.begin(), name.end(), '\\', ',');
    return name;
}
}  // namespace

void Core::MirrorPrinter(const SimPrinter& printer) {
    auto key = NativeKey(kHkeyLocalMachine, std::string(kPrintRoot) + "\\Printers\\" + PrinterKeyName(printer.name), true);
    SetValue(*key, "Name", REG_SZ, SzBytes(printer.name));
    SetValue(*key, "Port", REG_SZ, SzBytes(printer.portName));
    SetValue(*key, "Printer Driver", REG_SZ, SzBytes(printer.driverName));
    SetValue(*key, "Print Processor", REG_SZ, SzBytes(printer.printProcessor));
    SetValue(*key, "Attributes", REG_DWORD, DwordBytes(printer.attributes));
    for (const auto& data : printer.data) MirrorPrinterData(printer, data);
}

void Core::MirrorPrinterData(const SimPrinter& printer, const SimPrinterData& data) {
    auto key = NativeKey(kHkeyLocalMachine,
                         std::string(kPrintRoot) + "\\Printers\\" + PrinterKeyName(printer.name) + "\\PrinterDriverData",
                         true);
    SetValue(*key, data.name, data.type, data.bytes);
}

void Core::MirrorPrintProcessor(std::string_view environment, std::string_view name, std::string_view dll) {
    auto key = NativeKey(kHkeyLocalMachine,
                         std::string(kPrintRoot) + "\\Environments\\" + std::string(environment) + "\\Print Processors\\" +
                             std::string(name),
                         true);
    SetValue(*key, "Driver", REG_SZ, SzBytes(dll));
}

void Core::MirrorMonitor(const SimMonitor& monitor) {
    auto key = NativeKey(kHkeyLocalMachine, std::string(kPrintRoot) + "\\Monitors\\" + monitor.name, true);
    SetValue(*key, "Driver", REG_SZ, SzBytes(monitor.dllName));
}

void Core::ForgetPrinter(const std::string& name) {
    if (auto key = NativeKey(kHkeyLocalMachine, std::string(kPrintRoot) + "\\Printers\\" + PrinterKeyName(name), false))
        RemoveNode(key);
    const bool wasDefault = SameText(name, defaultPrinter);
    std::erase_if(printers, [&](const SimPrinter& printer) { return SameText(printer.name, name); });
    if (wasDefault) SetDefault(printers.empty() ? nullptr : &printers.front());
}

void Core::ForgetMonitor(const std::string& name) {
    if (auto key = NativeKey(kHkeyLocalMachine, std::string(kPrintRoot) + "\\Monitors\\" + name, false)) RemoveNode(key);
    std::erase_if(monitors, [&](const SimMonitor& monitor) { return SameText(monitor.name, name); });
}

void Core::SetDefault(const SimPrinter* printer) {
    const char* const windowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
    if (!printer) {
        defaultPrinter.clear();
        if (auto key = NativeKey(kHkeyCurrentUser, windowsKey, false))
            std::erase_if(key->values, [](const SimMachine::RegistryValue& value) { return SameText(value.name, "Device"); });
        return;
    }
    defaultPrinter = printer->name;
    auto key = NativeKey(kHkeyCurrentUser, windowsKey, true);
    SetValue(*key, "Device", REG_SZ, SzBytes(printer->name + ",winspool," + printer->portName));
}

// ---- Services -----------------------------------------------------------------------------------

Service* Core::FindService(std::string_view name) {
    for (auto& service : services)
        if (SameText(service.name, name)) return &service;
    return nullptr;
}

void Core::AddService(std::string_view name, Dword state) {
    if (Service* existing = FindService(name)) {
        existing->state = state;
        return;
    }
    Service service;
    service.name = std::string(name);
    service.state = state;
    services.push_back(service);
}

namespace {
// The hint of a pending service whose script names none.
constexpr Dword kDefaultWaitHint = 2000;

Dword FinalState(const ServiceStartScript& script) {
    return script.outcome == ServiceStartScript::Outcome::Stopped ? SERVICE_STOPPED : SERVICE_RUNNING;
}
}  // namespace

Dword Core::StartService(Service& service) {
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

void Core::ReadServiceStatus(Service& service) {
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

void Core::ServiceReachedState(Service& service) {
    // A starting spooler loads its monitors, and the TCP/IP monitor reads its ports again.
    if (SameText(service.name, "Spooler") && service.state == SERVICE_RUNNING) LoadTcpIpPorts();
}

// ---- Modules ------------------------------------------------------------------------------------

bool Core::ExportAvailable(std::size_t exportIndex) const {
    const ExportEntry& entry = kExports[exportIndex];
    if (removedExports.count({Upper(entry.module), Upper(entry.function)})) return false;
    switch (entry.id) {
    case Export::GetNativeSystemInfo:
        return profile.hasGetNativeSystemInfo;
    case Export::GetProductInfo:
        return profile.hasGetProductInfo;
    case Export::Wow64DisableWow64FsRedirection:
        return profile.hasWow64FsRedirectionExport;
    case Export::SetDefaultPrinterA:
        return profile.hasSetDefaultPrinterExport;
    case Export::IsWow64Process:
        return profile.hasIsWow64ProcessExport;
    default:
        return true;
    }
}

bool Core::CheckProc(ProcAddress address, Export expected, const char* caller) {
    const std::size_t index = (address - kProcBase) / 16;
    if (address < kProcBase || (address - kProcBase) % 16 != 0 || index >= kExports.size()) {
        Misuse(std::string(caller) + " called through an address that is no function");
        return false;
    }
    const ExportEntry& entry = kExports[index];
    if (entry.id != expected) {
        Misuse(std::string(caller) + " called through the address of " + entry.function);
        return false;
    }
    for (const auto& module : modules)
        if (module.references > 0 && SameText(module.name, entry.module)) return true;
    Misuse(std::string(caller) + " called after its library " + entry.module + " was unloaded");
    return false;
}

bool Core::LibraryKnown(std::string_view fileName) {
    for (const char* name : kKnownLibraries)
        if (SameText(name, fileName)) return true;
    return false;
}

// ---- USB ----------------------------------------------------------------------------------------

std::shared_ptr<UsbDevice> Core::FindDevice(std::string_view path) const {
    for (const auto& device : devices)
        if (SameText(device->path, path)) return device;
    return nullptr;
}

bool Core::CountAttempt(UsbDevice& device) {
    if (device.present) return true;
    if (device.attemptsBeforeBack == kNeverBack) return false;
    if (device.attemptsBeforeBack == 0) {
        device.present = true;
        return true;
    }
    --device.attemptsBeforeBack;
    return false;
}

void Core::CompleteIo(HandleEntry& entry, PendingIo& io, Dword result) {
    io.done = true;
    io.result = result;
    if (result == 0) {
        if (io.isWrite) {
            io.transferred = static_cast<Dword>(io.bytes.size());
            entry.device->writes.push_back(io.bytes);
        } else {
            auto& readable = entry.device->readable;
            const std::size_t count = std::min<std::size_t>(io.readSize, readable.size());
            for (std::size_t i = 0; i < count; ++i) {
                io.readBuffer[i] = readable.front();
                readable.pop_front();
            }
            io.transferred = static_cast<Dword>(count);
        }
    }
    if (io.overlapped) {
        io.overlapped->Internal = result;
        io.overlapped->InternalHigh = io.transferred;
        if (HandleEntry* event = FindHandle(io.overlapped->hEvent, {HandleKind::Event})) event->event->signalled = true;
    }
    Changed();
}

void Core::SettleIo() {
    for (auto& [handle, entry] : handles) {
        if (entry.kind != HandleKind::Device) continue;
        for (auto& io : entry.pending) {
            if (io->done) continue;
            if (io->isWrite && io->completesAt != kNeverTime && io->completesAt <= now) CompleteIo(entry, *io, 0);
            if (!io->isWrite && !entry.device->readable.empty()) CompleteIo(entry, *io, 0);
        }
        std::erase_if(entry.pending, [](const std::shared_ptr<PendingIo>& io) { return io->done; });
    }
}

}  // namespace zenthar::sim::detail
