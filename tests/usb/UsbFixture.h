// A simulated machine, a headless screen and the USB channel, with the printer's paths.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "connection/UsbChannel.h"
#include "platform/sim/SimMachine.h"
#include "ui/headless/HeadlessBackend.h"

namespace zenthar::testing {

// The printer as the USB stack names it, and the registry key name made from that.
inline const std::string kPrinterPath =
    "\\\\?\\usb#vid_0525&pid_a700#5&2d1e7a6&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
inline const std::string kPrinterKeyName =
    "##?#usb#vid_0525&pid_a700#5&2d1e7a6&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
inline const std::string kOtherVendorPath =
    "\\\\?\\usb#vid_04b8&pid_0202#7&11aa22bb&0&2#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

class UsbTest : public ::testing::Test {
protected:
    explicit UsbTest(sim::MachineProfile profile = sim::Profiles::Windows10x64()) : machine(std::move(profile)) {}
    void SetUp() override { ui::UseBackend(&screen); }
    void TearDown() override
    {
        ui::UseBackend(nullptr);
        EXPECT_TRUE(machine.Misuses().empty()) << ::testing::PrintToString(machine.Misuses());
        EXPECT_TRUE(screen.Errors().empty()) << ::testing::PrintToString(screen.Errors());
    }

    std::vector<std::string> Transcript() const { return screen.TranscriptLines(); }
    std::vector<std::vector<std::uint8_t>> Writes() const { return machine.UsbWrites(kPrinterPath); }
    bool SetupLibraryLoaded() const { return machine.LibraryLoaded("SETUPAPI.DLL"); }

    // Declared first: the channel, destroyed before it, still talks to the machine.
    sim::SimMachine machine;
    ui::headless::HeadlessBackend screen;
    UsbChannel channel{machine.platform()};
};

}  // namespace zenthar::testing
