// The simulated USB printer: its device interface, the handles opened on it with CreateFileA,
// their reads and writes (overlapped or not), and the device setup calls that find it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimText.h"

namespace zenthar::sim::detail {

class Core;
struct HandleEntry;

struct UsbDevice {
    std::string path;
    bool present = true;
    unsigned attemptsBeforeBack = 0;  // while unplugged
    unsigned generation = 0;          // handles of an older generation are dead
    UsbWriteBehaviour behaviour;
    std::deque<UsbWriteBehaviour> queued;
    std::vector<std::vector<std::uint8_t>> writes;
    std::size_t writeAttempts = 0;
    std::deque<std::uint8_t> readable;
    bool commSupported = false;
};

struct PendingIo {
    Overlapped* overlapped = nullptr;
    bool isWrite = true;
    std::vector<std::uint8_t> bytes;  // a write's data
    std::uint8_t* readBuffer = nullptr;
    Dword readSize = 0;
    std::uint64_t completesAt = 0;  // virtual ms; kNeverTime: not by time
    bool done = false;
    Dword result = 0;  // error, 0 on success
    Dword transferred = 0;
};
inline constexpr unsigned kNeverBack = ~0u;

// The devices and their outstanding requests, which live in the machine's handles and end on
// its clock.
class DeviceState {
public:
    explicit DeviceState(Core& core) : core(core) {}

    std::shared_ptr<UsbDevice> FindDevice(std::string_view path) const;
    bool CountAttempt(UsbDevice& device);  // an unplugged device one step closer to back
    void SettleIo();                       // completes pending requests whose time has come
    void CompleteIo(HandleEntry& entry, PendingIo& io, Dword result);

    std::vector<std::shared_ptr<UsbDevice>> devices;

private:
    Core& core;
};

class SimDeviceIo final : public DeviceIo {
public:
    explicit SimDeviceIo(Core& core) : core(core) {}
    Call<Handle> CreateFileA(const char* path, Dword access, Dword shareMode, const void* security,
                             Dword creationDisposition, Dword flags, Handle templateFile) override;
    Call<bool> WriteFile(Handle file, const void* buffer, Dword bytesToWrite, Dword* bytesWritten,
                         Overlapped* overlapped) override;
    Call<bool> ReadFile(Handle file, void* buffer, Dword bytesToRead, Dword* bytesRead,
                        Overlapped* overlapped) override;
    Call<bool> GetOverlappedResult(Handle file, Overlapped* overlapped, Dword* bytesTransferred, bool wait) override;
    Call<bool> CancelIo(Handle file) override;
    Call<bool> ClearCommError(Handle file, Dword* errors, ComStat* status) override;
    Call<bool> PurgeComm(Handle file, Dword flags) override;
    Call<bool> GetFileInformationByHandle(Handle file, ByHandleFileInformation* information) override;
    Call<bool> SetEndOfFile(Handle file) override;
    Call<Dword> InvokeGetFinalPathNameByHandleA(ProcAddress function, Handle file, char* buffer, Dword size,
                                                Dword flags) override;

private:
    Call<Handle> OpenDevice(const std::string& path, Dword access, Dword shareMode, Dword flags);
    Call<bool> DeviceWrite(HandleEntry& entry, const std::uint8_t* bytes, Dword count, Dword* written,
                           Overlapped* overlapped, std::unique_lock<std::mutex>& lock);
    Call<bool> DeviceRead(HandleEntry& entry, std::uint8_t* buffer, Dword count, Dword* read, Overlapped* overlapped,
                          std::unique_lock<std::mutex>& lock);
    Core& core;
};

class SimDeviceSetup final : public DeviceSetup {
public:
    explicit SimDeviceSetup(Core& core) : core(core) {}
    Call<Handle> InvokeSetupDiGetClassDevsA(ProcAddress function, const Guid* classGuid, const char* enumerator,
                                            Handle parentWindow, Dword flags) override;
    Call<bool> InvokeSetupDiEnumDeviceInterfaces(ProcAddress function, Handle deviceInfoSet, void* deviceInfoData,
                                                 const Guid* classGuid, Dword memberIndex,
                                                 SpDeviceInterfaceData* interfaceData) override;
    Call<bool> InvokeSetupDiGetDeviceInterfaceDetailA(ProcAddress function, Handle deviceInfoSet,
                                                      SpDeviceInterfaceData* interfaceData,
                                                      SpDeviceInterfaceDetailDataA* detail, Dword detailSize,
                                                      Dword* requiredSize, void* deviceInfoData) override;
    Call<bool> InvokeSetupDiDestroyDeviceInfoList(ProcAddress function, Handle deviceInfoSet) override;

private:
    Core& core;
};

}  // namespace zenthar::sim::detail
