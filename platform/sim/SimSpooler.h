// The simulated print spooler: drivers, printers, monitors and their ports, print processors
// and the default printer, with the registry keys the spooler keeps of them, and the spooler
// calls.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimText.h"

namespace zenthar::sim::detail {

class Core;

struct MonitorLibrary {
    std::vector<std::string> ports;
    bool isMonitor = true;
};

// The spooler's state and the operations on it. The spooler runs as a service, keeps its
// configuration in the registry and its drivers on the disk: it reaches those through the
// machine.
class SpoolerState {
public:
    explicit SpoolerState(Core& core) : core(core) {}

    // The environments, driver folders, print processors and monitors of a fresh Windows.
    void InstallPrintEnvironments();
    void InstallMonitors();

    bool SpoolerAvailable() const;
    std::string DefaultEnvironment() const;
    bool KnownEnvironment(std::string_view environment) const;
    std::string DriverDirectory(std::string_view environment) const;
    SimDriver* FindDriver(std::string_view name, std::string_view environment);
    SimPrinter* FindPrinter(std::string_view name);
    SimMonitor* FindMonitor(std::string_view name);
    bool PortExists(std::string_view port) const;
    void LoadTcpIpPorts();  // what the Standard TCP/IP Port monitor reads when the spooler starts
    void MirrorPrinter(const SimPrinter& printer);
    void MirrorPrinterData(const SimPrinter& printer, const SimPrinterData& data);
    void MirrorPrintProcessor(std::string_view environment, std::string_view name, std::string_view dll);
    void MirrorMonitor(const SimMonitor& monitor);
    // What the spooler forgets when a printer or a monitor goes: its registry key, and for the
    // default printer the default itself, which passes to the first printer left (or none).
    void ForgetPrinter(const std::string& name);
    void ForgetMonitor(const std::string& name);
    void SetDefault(const SimPrinter* printer);

    std::vector<SimDriver> drivers;
    std::vector<SimPrinter> printers;
    std::vector<SimMonitor> monitors;
    std::vector<std::pair<std::string, std::string>> printProcessors;  // environment, name
    std::string defaultPrinter;
    bool emptyDriverDirectoryAnswer = false;
    std::map<std::string, MonitorLibrary> monitorLibraries;  // by upper-case file name
    std::vector<std::string> driverRequiredLibraries;

private:
    Core& core;
};

class SimSpooler final : public Spooler {
public:
    explicit SimSpooler(Core& core) : core(core) {}
    Call<bool> EnumPrintersA(Dword flags, const char* name, Dword level, std::uint8_t* buffer, Dword bufferSize,
                             Dword* needed, Dword* returned) override;
    Call<bool> GetPrinterDriverDirectoryA(const char* server, const char* environment, Dword level,
                                          std::uint8_t* buffer, Dword bufferSize, Dword* needed) override;
    Call<bool> AddPrinterDriverA(const char* server, Dword level, const void* info) override;
    Call<Handle> AddPrinterA(const char* server, Dword level, const void* info) override;
    Call<bool> OpenPrinterA(const char* printerName, Handle* printer, const PrinterDefaultsA* defaults) override;
    Call<bool> ClosePrinter(Handle printer) override;
    Call<Dword> SetPrinterDataA(Handle printer, const char* valueName, Dword type, const std::uint8_t* data,
                                Dword size) override;
    Call<Dword> GetPrinterDataA(Handle printer, const char* valueName, Dword* type, std::uint8_t* data, Dword size,
                                Dword* needed) override;
    Call<bool> EnumMonitorsA(const char* server, Dword level, std::uint8_t* buffer, Dword bufferSize, Dword* needed,
                             Dword* returned) override;
    Call<bool> AddMonitorA(const char* server, Dword level, const void* info) override;
    Call<bool> DeletePrintProcessorA(const char* server, const char* environment,
                                     const char* printProcessorName) override;
    Call<bool> EnumPortsA(const char* server, Dword level, std::uint8_t* buffer, Dword bufferSize, Dword* needed,
                          Dword* returned) override;
    Call<bool> InvokeSetDefaultPrinter(ProcAddress function, const char* printerName) override;
    Call<bool> InvokeGetDefaultPrinter(ProcAddress function, char* buffer, Dword* size) override;
    Call<bool> SetPrinterA(Handle printer, Dword level, const void* info, Dword command) override;
    Call<bool> GetPrinterA(Handle printer, Dword level, std::uint8_t* buffer, Dword bufferSize, Dword* needed) override;
    Call<bool> DeletePrinter(Handle printer) override;
    Call<bool> EnumPrinterDriversA(const char* server, const char* environment, Dword level, std::uint8_t* buffer,
                                   Dword bufferSize, Dword* needed, Dword* returned) override;
    Call<bool> DeletePrinterDriverExA(const char* server, const char* environment, const char* driverName,
                                      Dword deleteFlag, Dword versionFlag) override;
    Call<bool> DeleteMonitorA(const char* server, const char* environment, const char* monitorName) override;

private:
    Core& core;
};

}  // namespace zenthar::sim::detail
