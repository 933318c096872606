// The shared machine and screen with the USB channel, and the printer's paths.
#pragma once

#include <string>
#include <vector>

#include "connection/UsbChannel.h"
#include "tests/common/MachineFixture.h"

namespace zenthar::testing {

// The printer as the USB stack names it, and the registry key name made from that.
inline const std::string kPrinterPath =
    "\\\\?\\usb#vid_0525&pid_a700#5&2d1e7a6&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
inline const std::string kPrinterKeyName =
    "##?#usb#vid_0525&pid_a700#5&2d1e7a6&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
inline const std::string kOtherVendorPath =
    "\\\\?\\usb#vid_04b8&pid_0202#7&11aa22bb&0&2#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

class UsbTest : public MachineTest {
protected:
    explicit UsbTest(sim::MachineProfile profile = sim::Profiles::Windows10x64()) : MachineTest(std::move(profile)) {}

    std::vector<std::string> Transcript() const { return screen.TranscriptLines(); }
    std::vector<std::vector<std::uint8_t>> Writes() const { return machine.UsbWrites(kPrinterPath); }
    bool SetupLibraryLoaded() const { return machine.LibraryLoaded("SETUPAPI.DLL"); }

    // Declared after the machine (in the base): the channel, destroyed first, still talks to it.
    UsbChannel channel{machine.platform()};
};

}  // namespace zenthar::testing
