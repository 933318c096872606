// The channel's byte traffic and its shutdown, on one thread.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "UsbFixture.h"

namespace zenthar::testing {
namespace {

using platform::Dword;
using Bytes = std::vector<std::uint8_t>;

class UsbChannelTest : public UsbTest {
protected:
    void OpenPrinter()
    {
        machine.AddUsbPrinter(kPrinterPath, 1);
        ASSERT_TRUE(channel.ProbeUsbPrinter("USB:").goOn);
        ASSERT_NE(channel.DeviceHandle(), platform::kNoHandle);
    }
};

TEST_F(UsbChannelTest, NothingIsWrittenOnAClosedChannelOrForNoBytes)
{
    const std::uint8_t byte = 7;
    EXPECT_EQ(channel.WriteBytes(&byte, 1), 0);
    OpenPrinter();
    EXPECT_EQ(channel.WriteBytes(&byte, 0), 1);
    EXPECT_EQ(channel.WriteBytes(&byte, -5), 1);
    EXPECT_EQ(machine.UsbWriteAttempts(kPrinterPath), 0u);
}

TEST_F(UsbChannelTest, LongDataGoesOutInPiecesOfAtMost64BytesTenMillisecondsApart)
{
    OpenPrinter();
    Bytes data(150);
    std::iota(data.begin(), data.end(), std::uint8_t{1});

    EXPECT_EQ(channel.WriteBytes(data.data(), static_cast<int>(data.size())), 1);
    const auto writes = Writes();
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0], Bytes(data.begin(), data.begin() + 64));
    EXPECT_EQ(writes[1], Bytes(data.begin() + 64, data.begin() + 128));
    EXPECT_EQ(writes[2], Bytes(data.begin() + 128, data.end()));
    EXPECT_EQ(machine.Pauses(), (std::vector<Dword>{10, 10}));
    // Each request's completion event is let go again.
    EXPECT_EQ(machine.OpenHandleCount(), 2u);  // the device and the read event
}

TEST_F(UsbChannelTest, APendingWriteThatCompletesInTimeCounts)
{
    OpenPrinter();
    machine.QueueUsbWriteBehaviours(kPrinterPath, {sim::UsbWriteBehaviour::Pending(200)});
    const Bytes data = {1, 2, 3};
    EXPECT_EQ(channel.WriteBytes(data.data(), 3), 1);
    EXPECT_EQ(Writes(), std::vector<Bytes>{data});
    EXPECT_EQ(machine.CallCount("CancelIo"), 0u);
}

TEST_F(UsbChannelTest, APendingWriteIsCancelledAfterHalfASecond)
{
    OpenPrinter();
    machine.SetUsbWriteBehaviour(kPrinterPath, sim::UsbWriteBehaviour::Pending());
    const Bytes data(10, 0x55);
    const Dword start = machine.TickCount();

    EXPECT_EQ(channel.WriteBytes(data.data(), 10), 0);
    EXPECT_EQ(machine.CallCount("CancelIo"), 1u);
    EXPECT_EQ(machine.UsbWriteAttempts(kPrinterPath), 1u);
    EXPECT_TRUE(Writes().empty());

    // Polled every 10 ms until more than 500 ms passed, then one more pause ends the burst.
    const auto log = machine.CallLog();
    Dword beforeCancel = 0;
    for (const auto& call : log) {
        if (call == "CancelIo") break;
        beforeCancel += call == "Sleep" ? 10 : 0;
    }
    EXPECT_GT(beforeCancel, 500u);
    EXPECT_LE(beforeCancel, 510u);
    const Dword elapsed = machine.TickCount() - start;
    EXPECT_GE(elapsed, 500u);
    EXPECT_LE(elapsed, 530u);
    // A channel that was never closed has no reconnect to start.
    EXPECT_EQ(machine.CallCount("CreateThread"), 0u);
    EXPECT_NE(channel.DeviceHandle(), platform::kNoHandle);
}

TEST_F(UsbChannelTest, AFailedWriteKeepsTryingForItsBurstAndReportsFailure)
{
    OpenPrinter();
    machine.QueueUsbWriteBehaviours(kPrinterPath, {sim::UsbWriteBehaviour::Fail(platform::ERROR_GEN_FAILURE)});
    const Bytes data = {9, 8, 7};
    const Dword start = machine.TickCount();

    EXPECT_EQ(channel.WriteBytes(data.data(), 3), 0);
    EXPECT_EQ(machine.UsbWriteAttempts(kPrinterPath), 2u);
    EXPECT_EQ(Writes(), std::vector<Bytes>{data});
    EXPECT_LT(machine.TickCount() - start, 500u);
    EXPECT_EQ(machine.CallCount("CreateThread"), 0u);
}

TEST_F(UsbChannelTest, ClosingAfterAProbeSendsOneZeroByteAndUnloadsTheSetupLibrary)
{
    OpenPrinter();
    ASSERT_TRUE(SetupLibraryLoaded());

    channel.CloseChannel();
    EXPECT_EQ(Writes(), std::vector<Bytes>{Bytes{0}});
    EXPECT_FALSE(SetupLibraryLoaded());
    EXPECT_EQ(channel.SetupLibrary(), 0u);
    EXPECT_EQ(channel.IsOpen(), 0);
    EXPECT_EQ(channel.DeviceHandle(), platform::kNoHandle);
    EXPECT_EQ(channel.LinkUp(), 1);
    EXPECT_EQ(machine.UsbOpenHandles(kPrinterPath), 0u);
    EXPECT_EQ(machine.CallCount("PurgeComm"), 1u);

    // Closed twice: the second finds nothing to do.
    channel.CloseChannel();
    EXPECT_EQ(Writes().size(), 1u);

    // The next probe finds the printer again, with a fresh library.
    EXPECT_TRUE(channel.ProbeUsbPrinter("USB:").goOn);
    EXPECT_TRUE(SetupLibraryLoaded());
    channel.CloseChannel();
    EXPECT_EQ(Writes().size(), 2u);
    EXPECT_FALSE(SetupLibraryLoaded());
}

TEST_F(UsbChannelTest, ClosingAnIdleChannelSendsNothingAndOnlyForgetsTheLibrary)
{
    machine.AddUsbPrinter(kPrinterPath, 1);
    ASSERT_EQ(channel.LoadSetupLibrary(), 1);

    channel.CloseChannel();
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(machine.UsbWriteAttempts(kPrinterPath), 0u);
    EXPECT_EQ(channel.SetupLibrary(), 0u);
    EXPECT_TRUE(SetupLibraryLoaded());
    EXPECT_EQ(machine.CallCount("FreeLibrary"), 0u);
    EXPECT_EQ(channel.LinkUp(), 0);

    EXPECT_TRUE(channel.ProbeUsbPrinter("USB:").goOn);
    EXPECT_EQ(machine.CallCount("LoadLibraryExA"), 2u);
}

TEST_F(UsbChannelTest, ReadsNeedADeviceThatSaysWhatIsWaiting)
{
    Bytes buffer(8, 0xEE);
    EXPECT_EQ(channel.ReadBytes(buffer.data(), 8), 0);

    OpenPrinter();
    machine.QueueUsbRead(kPrinterPath, {1, 2, 3});
    // A printer is no serial port: it cannot say how much is waiting, so nothing is read.
    EXPECT_EQ(channel.ReadBytes(buffer.data(), 8), 0);
    EXPECT_EQ(machine.CallCount("ReadFile"), 0u);

    machine.SetUsbCommFunctionsSupported(kPrinterPath, true);
    EXPECT_EQ(channel.ReadBytes(buffer.data(), 2), 2);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[1], 2);
    EXPECT_EQ(buffer[2], 0xEE);
    EXPECT_EQ(channel.ReadBytes(buffer.data(), 8), 1);
    EXPECT_EQ(buffer[0], 3);
    EXPECT_EQ(channel.ReadBytes(buffer.data(), 8), 0);

    machine.QueueUsbRead(kPrinterPath, {4});
    machine.FailNext("ReadFile", platform::ERROR_GEN_FAILURE);
    EXPECT_EQ(channel.ReadBytes(buffer.data(), 8), 0);
    EXPECT_EQ(channel.ReadBytes(buffer.data(), 8), 1);
    EXPECT_EQ(buffer[0], 4);
}

}  // namespace
}  // namespace zenthar::testing
