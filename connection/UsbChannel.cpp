#include "connection/UsbChannel.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "core/FixedText.h"
#include "core/Owners.h"
#include "core/Pause.h"
#include "platform/Constants.h"

namespace zenthar {

namespace {

using platform::Dword;
using platform::Handle;
using platform::kInvalidHandle;
using platform::kNoHandle;

constexpr const char* kSetupLibraryName = "SETUPAPI.DLL";
// In the order of UsbChannel::SetupFunction.
constexpr const char* kSetupFunctionNames[] = {
    "SetupDiGetClassDevsA",
    "SetupDiEnumDeviceInterfaces",
    "SetupDiGetDeviceInterfaceDetailA",
    "SetupDiDestroyDeviceInfoList",
};

// GUID_DEVINTERFACE_USBPRINT.
constexpr platform::Guid kUsbPrintInterfaceClass = {
    0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};

// The printer's vendor and product, as the start of its interface's device path. Compared
// exactly: another spelling is another device as far as the installer knows.
constexpr std::string_view kPrinterPathPrefix = "\\\\?\\usb#vid_0525&pid_a700";
// What the printer's device path needs behind it to be opened for printing.
constexpr std::string_view kOpenSuffix = "\\USB0/4";

constexpr const char* kDeviceKeyPrefix =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\";
constexpr const char* kDeviceKeySuffix = "\\#\\Device Parameters";
constexpr const char* kPortNumberValue = "Port Number";
constexpr const char* kPortNameFormat = "USB%03u";

constexpr const char* kPortNumberFailure = "Fail to Read USB Port Number";
constexpr const char* kPortNumberFailureCaption = "RegQueryValueEx";
constexpr const char* kKeyOpenFailure = "RegOpenKeyEx() Fail : GetLastError() =%d";
constexpr const char* kConnectedPortLine = "Connected USB Port Name";

constexpr Dword kPresentInterfaces = platform::DIGCF_PRESENT | platform::DIGCF_DEVICEINTERFACE;
// Enumeration errors other than "no more items" skip one index; a set that never stops
// failing must not keep the search going for ever.
constexpr Dword kMaxInterfaceIndex = 1024;
// No real detail record comes near this; a larger request is not believed.
constexpr Dword kMaxDetailSize = 65536;

// Write pacing.
constexpr int kPieceSize = 64;
constexpr Dword kPendingWriteTimeout = 500;
constexpr Dword kPendingWritePerByte = 0;
constexpr Dword kBurstTime = 500;
constexpr Dword kPollPause = 10;
constexpr Dword kReconnectPause = 500;
constexpr std::size_t kReconnectReadSize = 256;

}  // namespace

UsbChannel::UsbChannel(platform::Platform& platform) : platform(platform) {}

UsbChannel::~UsbChannel()
{
    StopReconnectWorker();
    if (const Handle device = deviceHandle.exchange(kNoHandle); device != kNoHandle)
        platform.kernel.CloseHandle(device);
    if (readOverlapped.hEvent != kNoHandle) platform.kernel.CloseHandle(readOverlapped.hEvent);
}

std::string_view UsbChannel::UsbPortName() const
{
    return TextOf(usbPortName);
}

std::string_view UsbChannel::DevicePath() const
{
    return TextOf(devicePath);
}

// ---- Finding and opening the printer ----------------------------------------------------------

int UsbChannel::ProbeUsbPrinter(const char* portName)
{
    return ProbeUsbPrinter(portName, MessageBoxNotices(nullptr));
}

int UsbChannel::ProbeUsbPrinter(const char*, const NoticeSink& notices)
{
    // A path from an earlier probe would name a device that may be gone; without the setup
    // library the key lookup below then finds nothing, as it should.
    ClearText(devicePath);
    if (LoadSetupLibrary() && !OpenPrinterDevice()) {
        ReleaseSetupLibrary();
        return 0;
    }

    isOpen.store(1);
    if (readOverlapped.hEvent != kNoHandle) platform.kernel.CloseHandle(readOverlapped.hEvent);
    readOverlapped = {};
    readOverlapped.hEvent = platform.kernel.CreateEventA(nullptr, true, false, nullptr).value;

    // The registry names the device's key after its path with every backslash made "#".
    for (char& c : devicePath)
        if (c == '\\') c = '#';

    if (!FormatWhole(keyBuffer, "%s%s%s", kDeviceKeyPrefix, devicePath, kDeviceKeySuffix)) {
        char line[128];
        FormatText(line, kKeyOpenFailure, static_cast<int>(platform::ERROR_FILENAME_EXCED_RANGE));
        platform.debug.OutputDebugStringA(line);
        return 1;
    }
    platform::RegKey key = 0;
    const auto opened = platform.registry.RegOpenKeyExA(platform::kHkeyLocalMachine, keyBuffer, 0,
                                                        platform::KEY_READ, &key);
    if (opened.value != static_cast<platform::Long>(platform::ERROR_SUCCESS)) {
        char line[128];
        FormatText(line, kKeyOpenFailure, static_cast<int>(opened.error));
        platform.debug.OutputDebugStringA(line);
        return 1;
    }
    const KeyOwner keyOwner(platform.registry, key);

    Dword type = 0;
    Dword number = 0;
    Dword size = sizeof(number);
    const auto read = platform.registry.RegQueryValueExA(key, kPortNumberValue, nullptr, &type,
                                                         reinterpret_cast<std::uint8_t*>(&number), &size);
    // Only a four-byte number is a port number; anything else would give a made-up port.
    if (read.value != static_cast<platform::Long>(platform::ERROR_SUCCESS) || type != platform::REG_DWORD ||
        size != sizeof(number)) {
        notices.Show(Notice{kPortNumberFailure, kPortNumberFailureCaption, NoticeOwner::InFront, NoticeIcon::None});
    } else {
        FormatText(usbPortName, kPortNameFormat, static_cast<unsigned>(number));
        platform.debug.OutputDebugStringA(kConnectedPortLine);
        platform.debug.OutputDebugStringA(usbPortName);
    }
    return 1;
}

int UsbChannel::LoadSetupLibrary()
{
    if (setupLibrary != 0) return SetupFunctionsKnown() ? 1 : 0;
    const auto library = platform.modules.LoadLibraryA(kSetupLibraryName);
    if (library.value == 0) return 0;
    setupLibrary = library.value;
    bool all = true;
    for (int i = 0; i < kSetupFunctionCount; ++i) {
        const auto address = platform.modules.GetProcAddress(setupLibrary, kSetupFunctionNames[i]).value;
        setupFunctions[i].store(address);
        all = all && address != 0;
    }
    return all ? 1 : 0;
}

bool UsbChannel::SetupFunctionsKnown() const
{
    for (const auto& function : setupFunctions)
        if (function.load() == 0) return false;
    return true;
}

void UsbChannel::ForgetSetupFunctions()
{
    for (auto& function : setupFunctions) function.store(0);
}

int UsbChannel::OpenPrinterDevice()
{
    char path[kInterfacePathSize] = {};
    if (!FindPrinterInterface(kUsbPrintInterfaceClass, path)) return 0;
    char openPath[kInterfacePathSize];
    if (!FormatWhole(openPath, "%s%.*s", path, static_cast<int>(kOpenSuffix.size()), kOpenSuffix.data())) return 0;

    if (const Handle old = deviceHandle.exchange(kNoHandle); old != kNoHandle) platform.kernel.CloseHandle(old);
    const Handle device = OpenDevicePath(openPath, platform::FILE_FLAG_OVERLAPPED);
    deviceHandle.store(device);
    return device != kNoHandle ? 1 : 0;
}

int UsbChannel::FindPrinterInterface(const platform::Guid& interfaceClass, char (&path)[kInterfacePathSize])
{
    // Without all four functions there is nothing that could be called safely.
    if (!SetupFunctionsKnown()) return 0;
    const auto set = platform.setup.InvokeSetupDiGetClassDevsA(setupFunctions[GetClassDevs].load(), &interfaceClass,
                                                               nullptr, kNoHandle, kPresentInterfaces);
    if (set.value == kInvalidHandle || set.value == kNoHandle) return 0;

    Handle found = kNoHandle;
    for (Dword index = 0; index < kMaxInterfaceIndex; ++index) {
        platform::SpDeviceInterfaceData interfaceData{};
        interfaceData.cbSize = sizeof(interfaceData);
        const auto listed = platform.setup.InvokeSetupDiEnumDeviceInterfaces(
            setupFunctions[EnumDeviceInterfaces].load(), set.value, nullptr, &interfaceClass, index, &interfaceData);
        if (!listed.value) {
            if (listed.error == platform::ERROR_NO_MORE_ITEMS) break;
            continue;
        }
        found = ExamineInterface(set.value, interfaceData, path);
        if (found != kNoHandle) break;
    }
    platform.setup.InvokeSetupDiDestroyDeviceInfoList(setupFunctions[DestroyDeviceInfoList].load(), set.value);

    if (found == kNoHandle) return 0;
    platform.kernel.CloseHandle(found);
    return 1;
}

Handle UsbChannel::ExamineInterface(Handle deviceSet, platform::SpDeviceInterfaceData& interfaceData,
                                    char (&path)[kInterfacePathSize])
{
    const platform::ProcAddress getDetail = setupFunctions[GetDeviceInterfaceDetail].load();
    Dword required = 0;
    platform.setup.InvokeSetupDiGetDeviceInterfaceDetailA(getDetail, deviceSet, &interfaceData, nullptr, 0, &required,
                                                          nullptr);
    constexpr Dword pathOffset = offsetof(platform::SpDeviceInterfaceDetailDataA, DevicePath);
    if (required <= pathOffset || required > kMaxDetailSize) return kNoHandle;

    // Dwords keep the record's size field aligned.
    std::vector<Dword> storage((required + sizeof(Dword) - 1) / sizeof(Dword));
    auto* detail = reinterpret_cast<platform::SpDeviceInterfaceDetailDataA*>(storage.data());
    detail->cbSize = platform::kDeviceInterfaceDetailFixedSize;
    if (!platform.setup
             .InvokeSetupDiGetDeviceInterfaceDetailA(getDetail, deviceSet, &interfaceData, detail, required, nullptr,
                                                     nullptr)
             .value)
        return kNoHandle;

    const char* text = reinterpret_cast<const char*>(storage.data()) + pathOffset;
    const std::string_view found(text, strnlen(text, required - pathOffset));
    // The path must still fit once the open suffix is behind it; one that cannot be opened
    // is as good as absent.
    if (found.size() + kOpenSuffix.size() >= kInterfacePathSize) return kNoHandle;
    CopyText(path, found);

    if (IsLegacyPlatform() != 0) return OpenDevicePath(path, 0);
    if (found.substr(0, kPrinterPathPrefix.size()) != kPrinterPathPrefix) return kNoHandle;
    const Handle device = OpenDevicePath(path, 0);
    CopyText(devicePath, found);
    return device;
}

int UsbChannel::IsLegacyPlatform()
{
    platform::OsVersionInfoExA version{};
    version.dwOSVersionInfoSize = platform::kOsVersionInfoSize;
    if (!platform.system.GetVersionExA(&version).value) return 0;
    if (version.dwPlatformId == platform::VER_PLATFORM_WIN32_WINDOWS) return 1;
    if (version.dwPlatformId == platform::VER_PLATFORM_WIN32_NT && version.dwMajorVersion <= 4) return 2;
    return 0;
}

Handle UsbChannel::OpenDevicePath(const char* path, Dword flags)
{
    const auto opened = platform.io.CreateFileA(path, platform::GENERIC_READ | platform::GENERIC_WRITE, 0, nullptr,
                                                platform::OPEN_EXISTING, flags, kNoHandle);
    return opened.value == kInvalidHandle ? kNoHandle : opened.value;
}

// ---- Talking to the printer -----------------------------------------------------------------

int UsbChannel::WriteBytes(const void* buffer, int length)
{
    if (isOpen.load() == 0) return 0;
    if (length <= 0) return 1;
    if (buffer == nullptr) return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    const Dword pendingLimit = kPendingWriteTimeout + kPendingWritePerByte * static_cast<Dword>(length);

    int total = 0;
    while (total < length) {
        int piece = length - total < kPieceSize ? length - total : kPieceSize;
        const Handle event = platform.kernel.CreateEventA(nullptr, false, false, nullptr).value;
        if (event == kNoHandle) return 0;
        const HandleOwner eventOwner(platform.kernel, event);
        platform::Overlapped overlapped{};
        overlapped.hEvent = event;
        const Dword burstStart = platform.clock.GetTickCount();
        int result = 1;
        int done = 0;

        for (;;) {
            platform.kernel.ResetEvent(event);
            if (piece >= length - total - done) piece = length - total - done;
            const Handle device = deviceHandle.load();
            Dword written = 0;
            const auto write = platform.io.WriteFile(device, bytes + total + done, static_cast<Dword>(piece), &written,
                                                     &overlapped);
            bool failed = !write.value;
            if (failed && write.error == platform::ERROR_IO_PENDING) {
                failed = false;
                const Dword waitStart = platform.clock.GetTickCount();
                auto state = platform.io.GetOverlappedResult(device, &overlapped, &written, false);
                while (!state.value && state.error == platform::ERROR_IO_INCOMPLETE) {
                    if (platform.clock.GetTickCount() - waitStart > pendingLimit) {
                        platform.io.CancelIo(device);
                        // The device may still write into the record until the cancelled
                        // request is finished; it is reused for the next piece.
                        platform.io.GetOverlappedResult(device, &overlapped, &written, true);
                        break;
                    }
                    Pause(platform, kPollPause);
                    state = platform.io.GetOverlappedResult(device, &overlapped, &written, false);
                }
                failed = !state.value;
            }
            if (failed) {
                written = 0;
                result = 0;
                // Only the device that failed is given up: a write on the handle a
                // reconnect already let go fails too, and the worker may have brought the
                // printer back since; blaming the new link would start a needless worker.
                if (isOpen.load() == 1 && linkUp.load() == 1 && deviceHandle.load() == device) StartReconnect();
            }

            done += static_cast<int>(written);
            if (!failed && total + done >= length) break;
            Pause(platform, kPollPause);
            if (platform.clock.GetTickCount() - burstStart >= kBurstTime) break;
        }

        // A device that takes every request but writes nothing would otherwise be given
        // burst after burst for ever, with the user-interface thread blocked.
        if (done == 0) result = 0;
        if (result == 0) return 0;
        total += done;
    }
    return 1;
}

int UsbChannel::ReadBytes(void* buffer, int length)
{
    if (isOpen.load() == 0) return 0;
    if (buffer == nullptr || length <= 0) return 0;
    const Handle device = deviceHandle.load();

    Dword errors = 0;
    platform::ComStat status{};
    // A printer is no serial device and may not say what is waiting; then nothing is read.
    if (!platform.io.ClearCommError(device, &errors, &status).value || status.cbInQue == 0) return 0;

    Dword count = 0;
    const auto read = platform.io.ReadFile(device, buffer, static_cast<Dword>(length), &count, &readOverlapped);
    if (read.value) return static_cast<int>(count);
    if (read.error == platform::ERROR_IO_PENDING) {
        for (;;) {
            const auto state = platform.io.GetOverlappedResult(device, &readOverlapped, &count, true);
            if (state.value) return static_cast<int>(count);
            if (state.error != platform::ERROR_IO_INCOMPLETE) break;
        }
    } else {
        count = 0;
    }
    platform.io.ClearCommError(device, &errors, &status);
    return static_cast<int>(count < static_cast<Dword>(length) ? count : static_cast<Dword>(length));
}

// ---- Shutdown and reconnect ---------------------------------------------------------------

int UsbChannel::ReleaseSetupLibrary()
{
    if (setupLibrary != 0) {
        const std::uint8_t zero = 0;
        if (WriteBytes(&zero, 1) == 1) {
            if (WorkerRunning()) {
                // The worker may be inside the library; it goes once the worker ended.
                libraryAwaitingWorker = setupLibrary;
            } else {
                ForgetSetupFunctions();
                platform.modules.FreeLibrary(setupLibrary);
            }
        }
        setupLibrary = 0;
    }
    return 1;
}

void UsbChannel::CloseChannel()
{
    ReleaseSetupLibrary();
    // A worker may reopen the device at any moment; it has to be gone before the device is.
    StopReconnectWorker();
    if (isOpen.load() == 0) return;
    isOpen.store(0);
    if (const Handle device = deviceHandle.exchange(kNoHandle); device != kNoHandle) {
        linkUp.store(1);
        // Fails on a printer, which is not a serial port; nothing to do about it.
        platform.io.PurgeComm(device, platform::PURGE_ALL);
        platform.kernel.CloseHandle(device);
    }
}

void UsbChannel::StartReconnect()
{
    // A worker that reconnected by itself has ended but not been collected yet.
    StopReconnectWorker();
    if (const Handle device = deviceHandle.exchange(kNoHandle); device != kNoHandle)
        platform.kernel.CloseHandle(device);
    linkUp.store(0);
    const Handle done = platform.kernel.CreateEventA(nullptr, true, false, nullptr).value;
    if (done == kNoHandle) {
        // No way to know when a worker ends: do without one, and let a later write try again.
        linkUp.store(1);
        return;
    }
    workerDone.store(done);
    const auto started = platform.kernel.CreateThread(nullptr, 0, &UsbChannel::ReconnectWorker, this, 0, nullptr);
    if (started.value == kNoHandle) {
        workerDone.store(kNoHandle);
        platform.kernel.CloseHandle(done);
        linkUp.store(1);
        return;
    }
    worker = started.value;
}

void UsbChannel::StopReconnectWorker()
{
    if (worker == kNoHandle) return;
    linkUp.store(1);
    const Handle done = workerDone.load();
    if (platform.kernel.WaitForSingleObject(done, platform::INFINITE).value != platform::WAIT_OBJECT_0)
        platform.kernel.WaitForSingleObject(worker, platform::INFINITE);
    workerDone.store(kNoHandle);
    platform.kernel.CloseHandle(done);
    platform.kernel.CloseHandle(worker);
    worker = kNoHandle;
    if (libraryAwaitingWorker != 0) {
        ForgetSetupFunctions();
        platform.modules.FreeLibrary(libraryAwaitingWorker);
        libraryAwaitingWorker = 0;
    }
}

Dword UsbChannel::ReconnectWorker(void* parameter)
{
    auto& channel = *static_cast<UsbChannel*>(parameter);
    while (channel.linkUp.load() == 0) {
        char drained[kReconnectReadSize] = {};
        channel.ReadBytes(drained, static_cast<int>(sizeof(drained)));
        // Not Pause: its hook keeps the user interface painted, which is the other thread's.
        channel.platform.clock.Sleep(kReconnectPause);
        const int reopened = channel.OpenPrinterDevice();
        channel.isOpen.store(reopened);
        if (reopened == 1) channel.linkUp.store(1);
    }
    channel.platform.kernel.SetEvent(channel.workerDone.load());
    return 0;
}

}  // namespace zenthar
