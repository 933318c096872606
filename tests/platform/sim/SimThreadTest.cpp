// Waits and threads: these start real threads and also run under ThreadSanitizer.
#include <atomic>
#include <thread>

#include "SimSupport.h"

namespace zenthar::sim::test {
namespace {

const std::string kPrinter = "\\\\?\\usb#vid_0525&pid_a700#5&1a2b3c&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

struct Shared {
    Platform* platform = nullptr;
    Handle event = kNoHandle;
    std::atomic<int> reopened{0};
};

Dword SetAfterPause(void* parameter)
{
    auto* shared = static_cast<Shared*>(parameter);
    shared->platform->clock.Sleep(500);
    shared->platform->kernel.SetEvent(shared->event);
    return 0;
}

// Reopens the printer every 500 ms until it is back, then signals, as a reconnect worker does.
Dword Reconnect(void* parameter)
{
    auto* shared = static_cast<Shared*>(parameter);
    Platform& p = *shared->platform;
    for (;;) {
        p.clock.Sleep(500);
        auto device = p.io.CreateFileA((kPrinter + "\\USB0/4").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_OVERLAPPED, kNoHandle);
        if (device.value != kInvalidHandle) {
            shared->reopened = 1;
            p.kernel.CloseHandle(device.value);
            break;
        }
    }
    p.kernel.SetEvent(shared->event);
    return 0;
}

TEST(SimThreadTest, InfiniteWaitEndsWhenACreatedThreadSetsTheEvent)
{
    SimMachine machine;
    Platform& p = machine.platform();
    Shared shared;
    shared.platform = &p;
    shared.event = p.kernel.CreateEventA(nullptr, true, false, nullptr).value;
    auto thread = p.kernel.CreateThread(nullptr, 0, SetAfterPause, &shared, 0, nullptr);
    ASSERT_NE(thread.value, kNoHandle);
    EXPECT_EQ(p.kernel.WaitForSingleObject(shared.event, INFINITE).value, WAIT_OBJECT_0);
    EXPECT_EQ(p.kernel.WaitForSingleObject(thread.value, INFINITE).value, WAIT_OBJECT_0);
    EXPECT_EQ(p.kernel.WaitForSingleObject(shared.event, 0).value, WAIT_OBJECT_0) << "manual reset stays set";
    EXPECT_TRUE(machine.Pauses().empty()) << "the worker's pause is not the UI thread's";
    ASSERT_EQ(machine.AllPauses().size(), 1u);
    EXPECT_TRUE(machine.AllPauses()[0].fromCreatedThread);
    p.kernel.CloseHandle(thread.value);
    p.kernel.CloseHandle(shared.event);
}

TEST(SimThreadTest, TimedWaitsRunOnTheVirtualClock)
{
    SimMachine machine;
    Platform& p = machine.platform();
    auto autoReset = p.kernel.CreateEventA(nullptr, false, true, nullptr);
    EXPECT_EQ(p.kernel.WaitForSingleObject(autoReset.value, 0).value, WAIT_OBJECT_0);
    const Dword before = p.clock.GetTickCount();
    EXPECT_EQ(p.kernel.WaitForSingleObject(autoReset.value, 5000).value, WAIT_TIMEOUT) << "auto reset cleared it";
    EXPECT_EQ(p.clock.GetTickCount() - before, 5000u) << "nobody could set it, so the time passed at once";

    // A created thread that sets the event after a virtual pause beats a longer time-out.
    Shared shared;
    shared.platform = &p;
    shared.event = autoReset.value;
    auto thread = p.kernel.CreateThread(nullptr, 0, SetAfterPause, &shared, 0, nullptr);
    EXPECT_EQ(p.kernel.WaitForSingleObject(autoReset.value, 10000).value, WAIT_OBJECT_0);
    EXPECT_EQ(p.kernel.WaitForSingleObject(thread.value, INFINITE).value, WAIT_OBJECT_0);
    p.kernel.CloseHandle(thread.value);
}

TEST(SimThreadTest, AnyOtherThreadMaySetTheEvent)
{
    SimMachine machine;
    Platform& p = machine.platform();
    auto event = p.kernel.CreateEventA(nullptr, true, false, nullptr);
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        p.kernel.SetEvent(event.value);
    });
    EXPECT_EQ(p.kernel.WaitForSingleObject(event.value, INFINITE).value, WAIT_OBJECT_0);
    other.join();
}

TEST(SimThreadTest, WorkerReopensAnUnpluggedPrinterWhileTheUiThreadKeepsCalling)
{
    SimMachine machine;
    Platform& p = machine.platform();
    machine.AddUsbPrinter(kPrinter);
    Shared shared;
    shared.platform = &p;
    shared.event = p.kernel.CreateEventA(nullptr, true, false, nullptr).value;
    machine.UnplugUsb(kPrinter, 20);

    auto worker = p.kernel.CreateThread(nullptr, 0, Reconnect, &shared, 0, nullptr);
    for (int i = 0; i < 50; ++i) {
        p.debug.OutputDebugStringA("UI still busy");
        p.clock.GetTickCount();
    }
    EXPECT_EQ(p.kernel.WaitForSingleObject(shared.event, INFINITE).value, WAIT_OBJECT_0);
    EXPECT_EQ(shared.reopened.load(), 1);
    EXPECT_EQ(p.kernel.WaitForSingleObject(worker.value, INFINITE).value, WAIT_OBJECT_0);
    p.kernel.CloseHandle(worker.value);
    EXPECT_TRUE(machine.Misuses().empty());
    EXPECT_EQ(machine.UsbOpenHandles(kPrinter), 0u);
    EXPECT_EQ(machine.DebugOutput().size(), 50u);
    EXPECT_EQ(machine.AllPauses().size(), 21u) << "back on the 21st attempt";
}

}  // namespace
}  // namespace zenthar::sim::test
