// The direct channel to the USB printer: finding and opening its device through the setup
// library, the printer's system port number, paced overlapped writes, reads, and the
// shutdown that sends the printer its parting zero byte.
//
// One instance lives for the whole program. Its operations run on the user-interface thread,
// except ReconnectWorker, which a failed write starts on a thread of its own. The worker
// shares isOpen, linkUp, deviceHandle, workerDone and the setup function addresses with the
// user-interface thread; those are atomic, and workerDone is the only hand-over between the
// two (CloseChannel waits for it). Everything else, the read record included, the worker uses
// only while the user-interface thread leaves it alone: a probe and a close first stop a
// running worker. The device handle is the one handle both threads open and close, so it has
// no owner; every other handle has one, held by the thread that opened it.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/Notice.h"
#include "core/Owners.h"
#include "platform/Platform.h"

namespace zenthar {

// What a probe found.
struct UsbProbe {
    // Go on: the printer was found and opened, or the setup library is not there to ask.
    bool goOn = false;
    // The printer's port number could not be read; the user was told.
    bool portNumberUnread = false;
};

// Where any printer of the class is taken, whoever made it: the 9x platform, and NT 4 and older.
enum class LegacyPlatform { No, Windows9x, NtUpTo4 };

class UsbChannel {
public:
    // The buffer FindPrinterInterface fills: the device path and room for the open suffix.
    static constexpr std::size_t kInterfacePathSize = 256;

    explicit UsbChannel(platform::Platform& platform);
    // Ends a running reconnect and closes what the channel still holds (device, read event);
    // the setup library is left to the process end.
    ~UsbChannel();
    UsbChannel(const UsbChannel&) = delete;
    UsbChannel& operator=(const UsbChannel&) = delete;

    // true when every byte was written (also for length 0 or less), false otherwise and at
    // once on a channel that is not open. Writes go out in pieces of at most 64 bytes.
    bool WriteBytes(const void* buffer, int length);
    // The number of bytes read; 0 on a closed channel, when nothing is waiting, or when the
    // device cannot say how much is waiting.
    int ReadBytes(void* buffer, int length);
    // Sends the zero byte and, when it went out, unloads the setup library; the library
    // handle is forgotten either way.
    void ReleaseSetupLibrary();
    // Releases the setup library, ends a running reconnect and closes the device.
    void CloseChannel();

    // The port name is not used. A port number that cannot be read is told through `notices`;
    // without them, in a message box over the window in front.
    UsbProbe ProbeUsbPrinter(const char* portName);
    UsbProbe ProbeUsbPrinter(const char* portName, const NoticeSink& notices);
    // true when the setup library is loaded and its four functions are known.
    bool LoadSetupLibrary();
    // true when the printer was found and opened for overlapped I/O.
    bool OpenPrinterDevice();
    // true when an interface of the class matches the printer and could be opened (the trial
    // handle is closed again); `path` then holds its device path.
    bool FindPrinterInterface(const platform::Guid& interfaceClass, char (&path)[kInterfacePathSize]);
    // The interface's device opened; empty when it is not the printer or cannot be opened.
    HandleOwner ExamineInterface(platform::Handle deviceSet, platform::SpDeviceInterfaceData& interfaceData,
                                 char (&path)[kInterfacePathSize]);
    // No as well when the version cannot be read.
    LegacyPlatform IsLegacyPlatform();

    // What the rest of the program and the tests read.
    std::string_view UsbPortName() const;
    std::string_view DevicePath() const;
    bool IsOpen() const { return isOpen.load(); }
    bool LinkUp() const { return linkUp.load(); }
    platform::Handle DeviceHandle() const { return deviceHandle.load(); }
    platform::ModuleHandle SetupLibrary() const { return setupLibrary.IsOpen() ? setupLibrary.Get() : 0; }
    bool WorkerRunning() const { return worker.IsOpen(); }

private:
    enum SetupFunction {
        GetClassDevs,
        EnumDeviceInterfaces,
        GetDeviceInterfaceDetail,
        DestroyDeviceInfoList,
        kSetupFunctionCount
    };

    static platform::Dword ReconnectWorker(void* channel);
    void StartReconnect();
    // Makes a running worker stop, waits for it and lets go of its handles.
    void StopReconnectWorker();
    void ForgetSetupFunctions();
    bool SetupFunctionsKnown() const;
    platform::Call<platform::Handle> OpenDevicePath(const char* path, platform::Dword flags);
    // Closes the device a write failed on or a reopen replaces.
    void CloseDevice();
    // One burst of pieces: the bytes written, 0 when a write failed.
    int WriteBurst(const std::uint8_t* bytes, int remaining, platform::Handle event, platform::Dword pendingLimit);
    // One piece on the device: the bytes written, or nothing when the write failed or timed out.
    std::optional<platform::Dword> WritePiece(platform::Handle device, const std::uint8_t* bytes, platform::Dword size,
                                              platform::Overlapped& overlapped, platform::Dword pendingLimit);

    platform::Platform& platform;

    ModuleOwner setupLibrary;
    std::atomic<platform::ProcAddress> setupFunctions[kSetupFunctionCount] = {};
    // A library whose zero byte went out while a worker still ran: unloaded once it ended.
    ModuleOwner libraryAwaitingWorker;

    std::atomic<platform::Handle> deviceHandle{platform::kNoHandle};
    std::atomic<bool> isOpen{false};
    HandleOwner readEvent;
    platform::Overlapped readOverlapped{};
    std::atomic<bool> linkUp{false};
    // The worker signals the event through workerDone; the user-interface thread owns it.
    HandleOwner doneEvent;
    std::atomic<platform::Handle> workerDone{platform::kNoHandle};
    HandleOwner worker;

    char devicePath[1024] = {};
    char keyBuffer[1024] = {};
    char usbPortName[32] = {};
};

}  // namespace zenthar
