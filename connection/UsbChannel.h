// The direct channel to the USB printer: finding and opening its device through the setup
// library, the printer's system port number, paced overlapped writes, reads, and the
// shutdown that sends the printer its parting zero byte.
//
// One instance lives for the whole program. Its operations run on the user-interface thread,
// except ReconnectWorker, which a failed write starts on a thread of its own. The worker
// shares isOpen, linkUp, deviceHandle, workerDone and the setup function addresses with the
// user-interface thread; those are atomic, and workerDone is the only hand-over between the
// two (CloseChannel waits for it).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/Notice.h"
#include "platform/Platform.h"

namespace zenthar {

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

    // 1 when every byte was written (also for length 0 or less), 0 otherwise and at once on
    // a channel that is not open. Writes go out in pieces of at most 64 bytes.
    int WriteBytes(const void* buffer, int length);
    // The number of bytes read; 0 on a closed channel, when nothing is waiting, or when the
    // device cannot say how much is waiting.
    int ReadBytes(void* buffer, int length);
    // Sends the zero byte and, when it went out, unloads the setup library; the library
    // handle is forgotten either way. Always 1.
    int ReleaseSetupLibrary();
    // Releases the setup library, ends a running reconnect and closes the device.
    void CloseChannel();

    // 1: go on (the printer was found and opened, or the setup library is not there to ask);
    // 0: the printer is not there. The port name is not used. A port number that cannot be
    // read is told through `notices`; without them, in a message box over the window in front.
    int ProbeUsbPrinter(const char* portName);
    int ProbeUsbPrinter(const char* portName, const NoticeSink& notices);
    // 1 when the setup library is loaded and its four functions are known.
    int LoadSetupLibrary();
    // 1 when the printer was found and opened for overlapped I/O.
    int OpenPrinterDevice();
    // 1 when an interface of the class matches the printer and could be opened (the trial
    // handle is closed again); `path` then holds its device path.
    int FindPrinterInterface(const platform::Guid& interfaceClass, char (&path)[kInterfacePathSize]);
    // The interface's device opened, or kNoHandle when it is not the printer or cannot be
    // opened.
    platform::Handle ExamineInterface(platform::Handle deviceSet, platform::SpDeviceInterfaceData& interfaceData,
                                      char (&path)[kInterfacePathSize]);
    // 1 on the 9x platform, 2 on NT 4 and older, 0 otherwise and when the version is unknown.
    int IsLegacyPlatform();

    // What the rest of the program and the tests read.
    std::string_view UsbPortName() const;
    std::string_view DevicePath() const;
    int IsOpen() const { return isOpen.load(); }
    int LinkUp() const { return linkUp.load(); }
    platform::Handle DeviceHandle() const { return deviceHandle.load(); }
    platform::ModuleHandle SetupLibrary() const { return setupLibrary; }
    bool WorkerRunning() const { return worker != platform::kNoHandle; }

private:
    enum SetupFunction { GetClassDevs, EnumDeviceInterfaces, GetDeviceInterfaceDetail, DestroyDeviceInfoList,
                         kSetupFunctionCount };

    static platform::Dword ReconnectWorker(void* channel);
    void StartReconnect();
    // Makes a running worker stop, waits for it and lets go of its handles.
    void StopReconnectWorker();
    void ForgetSetupFunctions();
    bool SetupFunctionsKnown() const;
    platform::Handle OpenDevicePath(const char* path, platform::Dword flags);

    platform::Platform& platform;

    platform::ModuleHandle setupLibrary = 0;
    std::atomic<platform::ProcAddress> setupFunctions[kSetupFunctionCount] = {};
    // A library whose zero byte went out while a worker still ran: unloaded once it ended.
    platform::ModuleHandle libraryAwaitingWorker = 0;

    std::atomic<platform::Handle> deviceHandle{platform::kNoHandle};
    std::atomic<std::int32_t> isOpen{0};
    platform::Overlapped readOverlapped{};
    std::atomic<std::int32_t> linkUp{0};
    std::atomic<platform::Handle> workerDone{platform::kNoHandle};
    platform::Handle worker = platform::kNoHandle;

    char devicePath[1024] = {};
    char keyBuffer[1024] = {};
    char usbPortName[32] = {};
};

}  // namespace zenthar
