// The reconnect worker: started by a failed write on a channel that was up, ended by the
// printer coming back or by CloseChannel. These start threads.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "UsbFixture.h"

namespace zenthar::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

class UsbReconnectTest : public UsbTest {
protected:
    // A channel that was closed once (so its link counts as up) and is open again.
    void ReopenedChannel()
    {
        machine.AddUsbPrinter(kPrinterPath, 1);
        ASSERT_TRUE(channel.ProbeUsbPrinter("USB:").goOn);
        channel.CloseChannel();
        ASSERT_EQ(channel.LinkUp(), 1);
        ASSERT_TRUE(channel.ProbeUsbPrinter("USB:").goOn);
    }

    // Waits in real time for the worker to say the link is back.
    bool LinkComesUp()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (channel.LinkUp() == 0) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    std::size_t WorkerPauses() const
    {
        std::size_t count = 0;
        for (const auto& pause : machine.AllPauses())
            if (pause.fromCreatedThread) {
                EXPECT_EQ(pause.milliseconds, 500u);
                ++count;
            }
        return count;
    }
};

TEST_F(UsbReconnectTest, AFailedWriteStartsTheWorkerAndClosingEndsIt)
{
    ReopenedChannel();
    machine.SetUsbPresent(kPrinterPath, false);
    const Bytes data = {1, 2, 3};

    EXPECT_EQ(channel.WriteBytes(data.data(), 3), 0);
    EXPECT_EQ(machine.CallCount("CreateThread"), 1u);
    EXPECT_TRUE(channel.WorkerRunning());
    EXPECT_EQ(channel.LinkUp(), 0);
    // The worker needs the setup functions: the library stays while it runs.
    EXPECT_NE(channel.SetupLibrary(), 0u);
    EXPECT_TRUE(SetupLibraryLoaded());

    // Let the worker try a few times before the channel is closed under it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (WorkerPauses() < 3 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    channel.CloseChannel();
    EXPECT_FALSE(channel.WorkerRunning());
    EXPECT_EQ(channel.IsOpen(), 0);
    EXPECT_EQ(channel.DeviceHandle(), platform::kNoHandle);
    EXPECT_EQ(channel.LinkUp(), 1);
    EXPECT_GE(WorkerPauses(), 3u);
    // Worker thread, its event, the device: all let go.
    EXPECT_EQ(machine.OpenHandleCount(), 1u);  // the read event the probe made
    EXPECT_EQ(machine.UsbOpenHandles(kPrinterPath), 0u);
    // Only the bytes before the unplugging arrived: the probe's first close.
    EXPECT_EQ(Writes(), std::vector<Bytes>{Bytes{0}});

    // Once closed, the next write neither goes out nor starts another worker.
    EXPECT_EQ(channel.WriteBytes(data.data(), 3), 0);
    EXPECT_EQ(machine.CallCount("CreateThread"), 1u);
}

TEST_F(UsbReconnectTest, ThePrinterComingBackIsReopenedByTheWorker)
{
    ReopenedChannel();
    // Three looks that miss it, then it is there again.
    machine.UnplugUsb(kPrinterPath, 3);
    const Bytes data = {4, 5};

    EXPECT_EQ(channel.WriteBytes(data.data(), 2), 0);
    ASSERT_TRUE(LinkComesUp());
    EXPECT_EQ(channel.IsOpen(), 1);
    EXPECT_NE(channel.DeviceHandle(), platform::kNoHandle);
    EXPECT_EQ(machine.UsbOpenHandles(kPrinterPath), 1u);

    // The worker has ended; the next write goes out on the reopened device.
    const Bytes more = {6, 7, 8};
    EXPECT_EQ(channel.WriteBytes(more.data(), 3), 1);
    EXPECT_EQ(WorkerPauses(), 4u);
    EXPECT_EQ(machine.CallCount("CreateThread"), 1u);

    channel.CloseChannel();
    EXPECT_FALSE(channel.WorkerRunning());
    EXPECT_EQ(Writes().back(), Bytes{0});
    EXPECT_FALSE(SetupLibraryLoaded());
    EXPECT_EQ(machine.UsbOpenHandles(kPrinterPath), 0u);
}

TEST_F(UsbReconnectTest, AWriteFailingAgainAfterAReconnectStartsANewWorker)
{
    ReopenedChannel();
    machine.QueueUsbWriteBehaviours(kPrinterPath, {sim::UsbWriteBehaviour::Fail(platform::ERROR_GEN_FAILURE)});
    const Bytes data = {1};

    EXPECT_EQ(channel.WriteBytes(data.data(), 1), 0);
    ASSERT_TRUE(LinkComesUp());
    machine.QueueUsbWriteBehaviours(kPrinterPath, {sim::UsbWriteBehaviour::Fail(platform::ERROR_GEN_FAILURE)});
    EXPECT_EQ(channel.WriteBytes(data.data(), 1), 0);
    ASSERT_TRUE(LinkComesUp());
    EXPECT_EQ(machine.CallCount("CreateThread"), 2u);

    channel.CloseChannel();
    EXPECT_FALSE(channel.WorkerRunning());
    EXPECT_EQ(machine.UsbOpenHandles(kPrinterPath), 0u);
}

TEST_F(UsbReconnectTest, AWorkerThatCannotStartLeavesTheChannelUsable)
{
    ReopenedChannel();
    machine.FailAlways("CreateThread", platform::ERROR_NOT_ENOUGH_MEMORY);
    machine.QueueUsbWriteBehaviours(kPrinterPath, {sim::UsbWriteBehaviour::Fail(platform::ERROR_GEN_FAILURE)});
    const Bytes data = {1};

    EXPECT_EQ(channel.WriteBytes(data.data(), 1), 0);
    EXPECT_FALSE(channel.WorkerRunning());
    EXPECT_EQ(channel.LinkUp(), 1);
    machine.ClearFaults();

    // The next failing write gets its worker, which finds the printer again.
    EXPECT_EQ(channel.WriteBytes(data.data(), 1), 0);
    EXPECT_TRUE(channel.WorkerRunning());
    ASSERT_TRUE(LinkComesUp());
    channel.CloseChannel();
    EXPECT_EQ(machine.OpenHandleCount(), 1u);  // the read event the probe made
}

}  // namespace
}  // namespace zenthar::testing
