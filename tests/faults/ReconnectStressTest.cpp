// The USB channel's writer and its reconnect worker, many times over: writes that fail while
// the printer is away, a worker that brings it back after a varying number of attempts, and
// a channel closed under a running worker. Run under ThreadSanitizer by the threads label.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "connection/UsbChannel.h"
#include "platform/sim/SimMachine.h"
#include "ui/Ui.h"
#include "ui/headless/HeadlessBackend.h"

namespace zenthar::testing {
namespace {

constexpr const char* kPath = "\\\\?\\usb#vid_0525&pid_a700#5&1a2b3c&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
constexpr int kRounds = 40;
constexpr int kCyclesPerRound = 50;  // 2000 failed writes and reconnects in all

bool WaitForLink(const UsbChannel& channel)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (channel.LinkUp() == 0)
        if (std::chrono::steady_clock::now() > deadline) return false;
        else std::this_thread::yield();
    return true;
}

TEST(ReconnectStress, WritesFailAndThePrinterComesBackThousandsOfTimes)
{
    ui::headless::HeadlessBackend screen;
    ui::UseBackend(&screen);
    const std::vector<std::uint8_t> data(150, 0x5A);
    std::size_t reconnects = 0, closedUnderWorker = 0, writesAfterReturn = 0;

    for (int round = 0; round < kRounds; ++round) {
        sim::SimMachine machine;
        machine.AddUsbPrinter(kPath, 1);
        UsbChannel channel(machine.platform());
        // Closed once, so that its link counts as up and a failed write reconnects.
        ASSERT_TRUE(channel.ProbeUsbPrinter("USB:").goOn);
        channel.CloseChannel();

        for (int cycle = 0; cycle < kCyclesPerRound; ++cycle) {
            ASSERT_TRUE(channel.ProbeUsbPrinter("USB:").goOn) << "round " << round << " cycle " << cycle;
            machine.UnplugUsb(kPath, static_cast<unsigned>(cycle % 4));
            EXPECT_EQ(channel.WriteBytes(data.data(), static_cast<int>(data.size())), 0);
            if (cycle % 3 == 2) {
                // The user-interface thread goes on while the worker still looks for the printer.
                channel.CloseChannel();
                ++closedUnderWorker;
                EXPECT_FALSE(channel.WorkerRunning());
                machine.SetUsbPresent(kPath, true);
                continue;
            }
            ASSERT_TRUE(WaitForLink(channel)) << "the printer never came back, round " << round;
            ++reconnects;
            // Back: the worker reopened the printer before it raised the link, so the channel
            // is open and the whole buffer goes out on the handle it opened, in its pieces.
            machine.SetUsbPresent(kPath, true);
            EXPECT_EQ(channel.IsOpen(), 1) << "round " << round << " cycle " << cycle;
            const std::size_t before = machine.UsbWrites(kPath).size();
            if (channel.WriteBytes(data.data(), static_cast<int>(data.size())) == 1) ++writesAfterReturn;
            const auto writes = machine.UsbWrites(kPath);
            ASSERT_EQ(writes.size(), before + 3) << "round " << round << " cycle " << cycle;
            EXPECT_EQ(writes[before], std::vector<std::uint8_t>(64, 0x5A));
            EXPECT_EQ(writes[before + 1], std::vector<std::uint8_t>(64, 0x5A));
            EXPECT_EQ(writes[before + 2], std::vector<std::uint8_t>(22, 0x5A));
            channel.CloseChannel();
        }
        EXPECT_TRUE(machine.Misuses().empty()) << ::testing::PrintToString(machine.Misuses());
        EXPECT_EQ(machine.UsbOpenHandles(kPath), 0u);
    }
    ui::UseBackend(nullptr);
    std::cout << "[ stress   ] " << reconnects << " reconnects, " << closedUnderWorker
              << " channels closed under a running worker, " << writesAfterReturn << " writes after a return"
              << std::endl;
    // Every return of the printer, not just some: a write after it that fails is a fault.
    EXPECT_EQ(reconnects, static_cast<std::size_t>(kRounds * (kCyclesPerRound - kCyclesPerRound / 3)));
    EXPECT_EQ(writesAfterReturn, reconnects);
    EXPECT_TRUE(screen.Errors().empty());
}

}  // namespace
}  // namespace zenthar::testing
