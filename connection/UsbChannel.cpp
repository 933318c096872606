#include "connection/UsbChannel.h"

#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "connection/MessageBoxNotices.h"
#include "core/FixedText.h"
#include "core/Owners.h"
#include "core/Pause.h"
#include "core/SystemFiles.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"

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
    CloseDevice();
    // Only a parting zero byte that went out unloads the setup library; otherwise it stays
    // loaded until the process ends.
    setupLibrary.Release();
}

void UsbChannel::CloseDevice()
{
    // By hand, not by an owner: the worker opens and closes the device too, and the atomic
    // exchange is what makes one thread's close the only one.
    if (const Handle device = deviceHandle.exchange(kNoHandle); device != kNoHandle)
        platform.kernel.CloseHandle(device);
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

UsbProbe UsbChannel::ProbeUsbPrinter(const char* portName)
{
    return ProbeUsbPrinter(portName, MessageBoxNotices(nullptr));
}

UsbProbe UsbChannel::ProbeUsbPrinter(const char* /*portName*/, const NoticeSink& notices)
{
    // The worker reopens the device and reads through the read record; neither may change
    // under it.
    StopReconnectWorker();
    // A path from an earlier probe would name a device that may be gone; without the setup
    // library the key lookup below then finds nothing, as it should.
    ClearText(devicePath);
    if (LoadSetupLibrary() && !OpenPrinterDevice()) {
        ReleaseSetupLibrary();
        return {};
    }

    isOpen.store(true);
    readEvent.Close();
    readOverlapped = {};
    readEvent = OwnerOrNone(
        OwnHandle(platform.kernel, "CreateEventA", platform.kernel.CreateEventA(nullptr, true, false, nullptr)));
    readOverlapped.hEvent = readEvent.IsOpen() ? readEvent.Get() : kNoHandle;

    // The registry names the device's key after its path with every backslash made "#".
    for (char& c : devicePath)
        if (c == '\\') c = '#';

    if (!FormatWhole(keyBuffer, "%s%s%s", kDeviceKeyPrefix, devicePath, kDeviceKeySuffix)) {
        char line[128];
        FormatText(line, resources::Text(resources::Words::UsbKeyOpenFailed),
                   static_cast<int>(platform::ERROR_FILENAME_EXCED_RANGE));
        platform.debug.OutputDebugStringA(line);
        return {true};
    }
    platform::RegKey key = 0;
    const auto opened =
        platform.registry.RegOpenKeyExA(platform::kHkeyLocalMachine, keyBuffer, 0, platform::KEY_READ, &key);
    if (opened.value != static_cast<platform::Long>(platform::ERROR_SUCCESS)) {
        char line[128];
        FormatText(line, resources::Text(resources::Words::UsbKeyOpenFailed), static_cast<int>(opened.error));
        platform.debug.OutputDebugStringA(line);
        return {true};
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
        notices.Show(Notice{resources::Text(resources::Words::UsbPortNumberUnreadable),
                            resources::Text(resources::Words::ValueFailureCaption), NoticeOwner::InFront,
                            NoticeIcon::None});
        return {true, true};
    }
    FormatText(usbPortName, kPortNameFormat, static_cast<unsigned>(number));
    platform.debug.OutputDebugStringA(resources::Text(resources::Words::UsbConnectedPort));
    platform.debug.OutputDebugStringA(usbPortName);
    return {true};
}

bool UsbChannel::LoadSetupLibrary()
{
    if (setupLibrary.IsOpen()) return SetupFunctionsKnown();
    auto library = LoadSystemLibrary(platform, kSetupLibraryName);
    if (!library) return false;
    setupLibrary = std::move(*library);
    bool all = true;
    for (int i = 0; i < kSetupFunctionCount; ++i) {
        const auto address = platform.modules.GetProcAddress(setupLibrary.Get(), kSetupFunctionNames[i]).value;
        setupFunctions[i].store(address);
        all = all && address != 0;
    }
    return all;
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

bool UsbChannel::OpenPrinterDevice()
{
    char path[kInterfacePathSize] = {};
    if (!FindPrinterInterface(kUsbPrintInterfaceClass, path)) return false;
    char openPath[kInterfacePathSize];
    if (!FormatWhole(openPath, "%s%.*s", path, static_cast<int>(kOpenSuffix.size()), kOpenSuffix.data())) return false;

    CloseDevice();
    const auto opened = OpenDevicePath(openPath, platform::FILE_FLAG_OVERLAPPED);
    const Handle device = opened.value == kInvalidHandle ? kNoHandle : opened.value;
    deviceHandle.store(device);
    return device != kNoHandle;
}

bool UsbChannel::FindPrinterInterface(const platform::Guid& interfaceClass, char (&path)[kInterfacePathSize])
{
    // Without all four functions there is nothing that could be called safely.
    if (!SetupFunctionsKnown()) return false;
    const auto set = platform.setup.InvokeSetupDiGetClassDevsA(setupFunctions[GetClassDevs].load(), &interfaceClass,
                                                               nullptr, kNoHandle, kPresentInterfaces);
    if (set.value == kInvalidHandle || set.value == kNoHandle) return false;

    HandleOwner found;
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
        if (found.IsOpen()) break;
    }
    platform.setup.InvokeSetupDiDestroyDeviceInfoList(setupFunctions[DestroyDeviceInfoList].load(), set.value);
    // Only a trial: the device is opened again, for overlapped I/O, by the caller.
    if (!found.IsOpen()) return false;
    found.Close();
    return true;
}

HandleOwner UsbChannel::ExamineInterface(Handle deviceSet, platform::SpDeviceInterfaceData& interfaceData,
                                         char (&path)[kInterfacePathSize])
{
    const platform::ProcAddress getDetail = setupFunctions[GetDeviceInterfaceDetail].load();
    Dword required = 0;
    platform.setup.InvokeSetupDiGetDeviceInterfaceDetailA(getDetail, deviceSet, &interfaceData, nullptr, 0, &required,
                                                          nullptr);
    constexpr Dword pathOffset = offsetof(platform::SpDeviceInterfaceDetailDataA, DevicePath);
    if (required <= pathOffset || required > kMaxDetailSize) return {};

    // Dwords keep the record's size field aligned.
    std::vector<Dword> storage((required + sizeof(Dword) - 1) / sizeof(Dword));
    auto* detail = reinterpret_cast<platform::SpDeviceInterfaceDetailDataA*>(storage.data());
    detail->cbSize = platform::kDeviceInterfaceDetailFixedSize;
    if (!platform.setup
             .InvokeSetupDiGetDeviceInterfaceDetailA(getDetail, deviceSet, &interfaceData, detail, required, nullptr,
                                                     nullptr)
             .value)
        return {};

    const char* text = reinterpret_cast<const char*>(storage.data()) + pathOffset;
    const std::string_view found(text, strnlen(text, required - pathOffset));
    // The path must still fit once the open suffix is behind it; one that cannot be opened
    // is as good as absent.
    if (found.size() + kOpenSuffix.size() >= kInterfacePathSize) return {};
    CopyText(path, found);

    if (IsLegacyPlatform() != LegacyPlatform::No)
        return OwnerOrNone(OwnHandle(platform.kernel, "CreateFileA", OpenDevicePath(path, 0)));
    if (found.substr(0, kPrinterPathPrefix.size()) != kPrinterPathPrefix) return {};
    HandleOwner device = OwnerOrNone(OwnHandle(platform.kernel, "CreateFileA", OpenDevicePath(path, 0)));
    CopyText(devicePath, found);
    return device;
}

LegacyPlatform UsbChannel::IsLegacyPlatform()
{
    platform::OsVersionInfoExA version{};
    version.dwOSVersionInfoSize = platform::kOsVersionInfoSize;
    if (!platform.system.GetVersionExA(&version).value) return LegacyPlatform::No;
    if (version.dwPlatformId == platform::VER_PLATFORM_WIN32_WINDOWS) return LegacyPlatform::Windows9x;
    if (version.dwPlatformId == platform::VER_PLATFORM_WIN32_NT && version.dwMajorVersion <= 4)
        return LegacyPlatform::NtUpTo4;
    return LegacyPlatform::No;
}

platform::Call<Handle> UsbChannel::OpenDevicePath(const char* path, Dword flags)
{
    return platform.io.CreateFileA(path, platform::GENERIC_READ | platform::GENERIC_WRITE, 0, nullptr,
                                   platform::OPEN_EXISTING, flags, kNoHandle);
}

// ---- Talking to the printer -----------------------------------------------------------------

bool UsbChannel::WriteBytes(const void* buffer, int length)
{
    if (!isOpen.load()) return false;
    if (length <= 0) return true;
    if (buffer == nullptr) return false;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    const Dword pendingLimit = kPendingWriteTimeout + kPendingWritePerByte * static_cast<Dword>(length);

    int total = 0;
    while (total < length) {
        const auto event =
            OwnHandle(platform.kernel, "CreateEventA", platform.kernel.CreateEventA(nullptr, false, false, nullptr));
        if (!event) return false;
        // A device that takes every request but writes nothing would otherwise be given
        // burst after burst for ever, with the user-interface thread blocked.
        const int done = WriteBurst(bytes + total, length - total, event->Get(), pendingLimit);
        if (done == 0) return false;
        total += done;
    }
    return true;
}

int UsbChannel::WriteBurst(const std::uint8_t* bytes, int remaining, Handle event, Dword pendingLimit)
{
    int piece = remaining < kPieceSize ? remaining : kPieceSize;
    platform::Overlapped overlapped{};
    overlapped.hEvent = event;
    const Dword burstStart = platform.clock.GetTickCount();
    bool failed = false;
    int done = 0;
    for (;;) {
        platform.kernel.ResetEvent(event);
        if (piece >= remaining - done) piece = remaining - done;
        const Handle device = deviceHandle.load();
        const auto written = WritePiece(device, bytes + done, static_cast<Dword>(piece), overlapped, pendingLimit);
        if (!written) {
            failed = true;
            // Only the device that failed is given up: a write on the handle a reconnect
            // already let go fails too, and the worker may have brought the printer back
            // since; blaming the new link would start a needless worker.
            if (isOpen.load() && linkUp.load() && deviceHandle.load() == device) StartReconnect();
        }
        done += static_cast<int>(written.value_or(0));
        if (written && done >= remaining) break;
        Pause(platform, kPollPause);
        if (platform.clock.GetTickCount() - burstStart >= kBurstTime) break;
    }
    return failed ? 0 : done;
}

std::optional<Dword> UsbChannel::WritePiece(Handle device, const std::uint8_t* bytes, Dword size,
                                            platform::Overlapped& overlapped, Dword pendingLimit)
{
    Dword written = 0;
    const auto write = platform.io.WriteFile(device, bytes, size, &written, &overlapped);
    if (write.value) return written;
    if (write.error != platform::ERROR_IO_PENDING) return std::nullopt;
    const Dword waitStart = platform.clock.GetTickCount();
    auto state = platform.io.GetOverlappedResult(device, &overlapped, &written, false);
    while (!state.value && state.error == platform::ERROR_IO_INCOMPLETE) {
        if (platform.clock.GetTickCount() - waitStart > pendingLimit) {
            platform.io.CancelIo(device);
            // The device may still write into the record until the cancelled request is
            // finished; it is reused for the next piece.
            platform.io.GetOverlappedResult(device, &overlapped, &written, true);
            return std::nullopt;
        }
        Pause(platform, kPollPause);
        state = platform.io.GetOverlappedResult(device, &overlapped, &written, false);
    }
    if (!state.value) return std::nullopt;
    return written;
}

int UsbChannel::ReadBytes(void* buffer, int length)
{
    if (!isOpen.load()) return 0;
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

void UsbChannel::ReleaseSetupLibrary()
{
    if (!setupLibrary.IsOpen()) return;
    const std::uint8_t zero = 0;
    if (!WriteBytes(&zero, 1)) {
        // Forgotten, not unloaded: the printer did not take its parting byte.
        setupLibrary.Release();
    } else if (WorkerRunning()) {
        // The worker may be inside the library; it goes once the worker ended.
        libraryAwaitingWorker = std::move(setupLibrary);
    } else {
        ForgetSetupFunctions();
        setupLibrary.Close();
    }
}

void UsbChannel::CloseChannel()
{
    ReleaseSetupLibrary();
    // A worker may reopen the device at any moment; it has to be gone before the device is.
    StopReconnectWorker();
    if (!isOpen.load()) return;
    isOpen.store(false);
    if (const Handle device = deviceHandle.exchange(kNoHandle); device != kNoHandle) {
        linkUp.store(true);
        // Fails on a printer, which is not a serial port; nothing to do about it.
        platform.io.PurgeComm(device, platform::PURGE_ALL);
        // By hand: the device handle is shared with the worker (see CloseDevice).
        platform.kernel.CloseHandle(device);
    }
}

void UsbChannel::StartReconnect()
{
    // A worker that reconnected by itself has ended but not been collected yet.
    StopReconnectWorker();
    CloseDevice();
    linkUp.store(false);
    auto done = OwnHandle(platform.kernel, "CreateEventA", platform.kernel.CreateEventA(nullptr, true, false, nullptr));
    if (!done) {
        // No way to know when a worker ends: do without one, and let a later write try again.
        linkUp.store(true);
        return;
    }
    workerDone.store(done->Get());
    auto started = OwnHandle(platform.kernel, "CreateThread",
                             platform.kernel.CreateThread(nullptr, 0, &UsbChannel::ReconnectWorker, this, 0, nullptr));
    if (!started) {
        workerDone.store(kNoHandle);
        linkUp.store(true);
        return;
    }
    doneEvent = std::move(*done);
    worker = std::move(*started);
}

void UsbChannel::StopReconnectWorker()
{
    if (!worker.IsOpen()) return;
    linkUp.store(true);
    if (platform.kernel.WaitForSingleObject(doneEvent.Get(), platform::INFINITE).value != platform::WAIT_OBJECT_0)
        platform.kernel.WaitForSingleObject(worker.Get(), platform::INFINITE);
    workerDone.store(kNoHandle);
    doneEvent.Close();
    worker.Close();
    if (libraryAwaitingWorker.IsOpen()) {
        ForgetSetupFunctions();
        libraryAwaitingWorker.Close();
    }
}

Dword UsbChannel::ReconnectWorker(void* parameter)
{
    auto& channel = *static_cast<UsbChannel*>(parameter);
    while (!channel.linkUp.load()) {
        char drained[kReconnectReadSize] = {};
        channel.ReadBytes(drained, static_cast<int>(sizeof(drained)));
        // Not Pause: its hook keeps the user interface painted, which is the other thread's.
        channel.platform.clock.Sleep(kReconnectPause);
        const bool reopened = channel.OpenPrinterDevice();
        channel.isOpen.store(reopened);
        if (reopened) channel.linkUp.store(true);
    }
    channel.platform.kernel.SetEvent(channel.workerDone.load());
    return 0;
}

}  // namespace zenthar
