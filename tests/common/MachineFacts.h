// A simulated machine as facts that two machines can be compared by: "printer:NAME" -> its
// port, driver and attributes, "file:PATH" -> its size and a digest of its bytes,
// "key:PATH" -> its class, "value:KEY\NAME" -> its type and bytes, the default printer, the
// spooler's ports, monitors and drivers, the services.
#pragma once

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"

namespace zenthar::testing {

using MachineFacts = std::map<std::string, std::string>;

inline std::string UpperText(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

inline std::string Digest(const std::vector<std::uint8_t>& bytes)
{
    // FNV-1a, 64 bits.
    constexpr std::uint64_t kOffsetBasis = 1469598103934665603ull;
    constexpr std::uint64_t kPrime = 1099511628211ull;
    std::uint64_t hash = kOffsetBasis;
    for (const std::uint8_t byte : bytes) hash = (hash ^ byte) * kPrime;
    char text[64];
    std::snprintf(text, sizeof text, "%zu bytes %016llx", bytes.size(), static_cast<unsigned long long>(hash));
    return text;
}

// The key at `path` below `root` with its values and every key below it.
inline void AddKeys(const sim::SimMachine& machine, platform::RegKey root, const std::string& path, MachineFacts& facts)
{
    if (!machine.RegistryKeyExists(root, path)) return;
    const std::string prefix = root == platform::kHkeyCurrentUser ? "HKCU\\" : "";
    facts["key:" + prefix + UpperText(path)] = machine.RegistryKeyClass(root, path).value_or("");
    for (const auto& value : machine.RegistryValues(root, path))
        facts["value:" + prefix + UpperText(path) + "\\" + value.name] = "type " + std::to_string(value.type) + " " +
                                                                         Digest(value.bytes);
    for (const auto& child : machine.RegistrySubkeys(root, path))
        AddKeys(machine, root, path.empty() ? child : path + "\\" + child, facts);
}

// A file, or every file below a folder.
inline void AddFiles(const sim::SimMachine& machine, const std::string& folder, MachineFacts& facts, bool recursive)
{
    for (const auto& name : machine.ListDirectory(folder)) {
        const std::string path = folder + (folder.back() == '\\' ? "" : "\\") + name;
        if (machine.DirectoryExists(path)) {
            if (recursive) {
                facts["folder:" + UpperText(path)] = "";
                AddFiles(machine, path, facts, true);
            }
            continue;
        }
        const std::string contents = machine.FileContents(path).value_or("");
        facts["file:" + UpperText(path)] = Digest(std::vector<std::uint8_t>(contents.begin(), contents.end()));
    }
}

// The spooler's drivers, printers with their data, monitors, ports and default printer.
inline void AddSpooler(const sim::SimMachine& machine, MachineFacts& facts)
{
    for (const auto& driver : machine.Drivers()) {
        std::string files;
        for (const auto& file : driver.dependentFiles) files += file + ",";
        facts["driver:" + driver.name] = "version " + std::to_string(driver.version) + " " + driver.environment + " " +
                                         driver.driverPath + " " + driver.dataFile + " " + driver.configFile + " " +
                                         driver.helpFile + " " + files + " " + driver.defaultDataType;
    }
    for (const auto& printer : machine.Printers()) {
        facts["printer:" + printer.name] = "port " + printer.portName + " driver " + printer.driverName +
                                           " processor " + printer.printProcessor + " attributes " +
                                           std::to_string(printer.attributes);
        for (const auto& data : printer.data)
            facts["data:" + printer.name + "/" + data.name] = "type " + std::to_string(data.type) + " " +
                                                              Digest(data.bytes);
    }
    for (const auto& monitor : machine.Monitors()) facts["monitor:" + monitor.name] = monitor.dllName;
    for (const auto& port : machine.Ports()) facts["port:" + port] = "";
    facts["default printer"] = machine.DefaultPrinter();
}

// Everything that outlasts a program run: the spooler, the services, every file and folder,
// both registry hives.
inline MachineFacts WholeMachine(const sim::SimMachine& machine)
{
    MachineFacts facts;
    AddSpooler(machine, facts);
    for (const char* service : {"spooler", "LPDSVC"})
        if (const auto state = machine.ServiceState(service))
            facts[std::string("service:") + service] = std::to_string(*state);
    AddFiles(machine, "C:\\", facts, true);
    AddKeys(machine, platform::kHkeyLocalMachine, "", facts);
    AddKeys(machine, platform::kHkeyCurrentUser, "", facts);
    return facts;
}

// The facts that differ, one line each: "- fact = value" only in `before`, "+ fact = value"
// only in `after`, "~ fact = before -> after" changed.
inline std::vector<std::string> Differences(const MachineFacts& before, const MachineFacts& after)
{
    std::vector<std::string> lines;
    for (const auto& [fact, value] : before) {
        const auto it = after.find(fact);
        if (it == after.end()) lines.push_back("- " + fact + " = " + value);
        else if (it->second != value) lines.push_back("~ " + fact + " = " + value + " -> " + it->second);
    }
    for (const auto& [fact, value] : after)
        if (!before.count(fact)) lines.push_back("+ " + fact + " = " + value);
    return lines;
}

}  // namespace zenthar::testing
