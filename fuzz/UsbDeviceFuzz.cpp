// USB device paths and "Port Number" values of every registry type and size, through the
// probe that finds the printer and names its port.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

#include "FuzzSupport.h"
#include "connection/UsbChannel.h"
#include "platform/Constants.h"

namespace {

using namespace zenthar;

constexpr const char* kPrinterPrefix = "\\\\?\\usb#vid_0525&pid_a700";
constexpr const char* kSamplePath = "\\\\?\\usb#vid_0525&pid_a700#5&1a2b3c&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
constexpr std::size_t kOpenSuffixLength = 7;  // "\USB0/4"
constexpr const char* kUnreadable = "Fail to Read USB Port Number";
// A path's tail that can take it past the interface path's 256 bytes; the "Port Number" values
// tried, from 0 up.
constexpr std::size_t kLongestPathTail = 400;
constexpr platform::Dword kLargestPortNumber = 11;

std::string SomePath(FuzzedDataProvider& input)
{
    std::string path = input.ConsumeBool() ? std::string(kSamplePath) : std::string();
    if (input.ConsumeBool()) path.resize(input.ConsumeIntegralInRange<std::size_t>(0, path.size()));
    path += input.ConsumeRandomLengthString(kLongestPathTail);
    return fuzz::AsText(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    fuzz::World world;
    const std::string path = SomePath(input);
    if (path.empty()) return 0;
    world.machine.AddUsbPrinter(path, std::nullopt);
    std::optional<sim::SimMachine::RegistryValue> value;
    if (input.ConsumeBool()) {
        value = sim::SimMachine::RegistryValue{
            "Port Number", input.ConsumeIntegralInRange<platform::Dword>(0, kLargestPortNumber), {}};
        const std::string bytes = input.ConsumeRandomLengthString(16);
        value->bytes.assign(bytes.begin(), bytes.end());
        world.machine.SetUsbPortNumberValue(path, value);
    }

    std::string portName;
    bool found = false;
    {
        UsbChannel channel(world.machine.platform());
        found = channel.ProbeUsbPrinter("USB:").goOn;
        portName = std::string(channel.UsbPortName());
        FUZZ_CHECK(portName.size() < 32, "the port name fits its field");
        if (found) channel.CloseChannel();
    }

    const bool isPrinter = path.rfind(kPrinterPrefix, 0) == 0 && path.size() + kOpenSuffixLength < 256;
    FUZZ_CHECK(found == isPrinter, "only the printer's own path is found");
    if (!isPrinter) {
        FUZZ_CHECK(portName.empty(), "no port without the printer");
        return 0;
    }
    const bool number = value && value->type == platform::REG_DWORD && value->bytes.size() == 4;
    if (number) {
        const std::uint32_t n = std::uint32_t{value->bytes[0]} | std::uint32_t{value->bytes[1]} << 8 |
                                std::uint32_t{value->bytes[2]} << 16 | std::uint32_t{value->bytes[3]} << 24;
        char expected[32];
        std::snprintf(expected, sizeof expected, "USB%03u", n);
        FUZZ_CHECK(portName == expected, "a four-byte number names the port USB%03u");
        FUZZ_CHECK(world.MessageCount(kUnreadable) == 0, "a readable number is not reported");
    } else {
        FUZZ_CHECK(portName.empty(), "anything but a four-byte number names no port");
        FUZZ_CHECK(world.MessageCount(kUnreadable) == 1, "an unreadable number is reported once");
    }
    FUZZ_CHECK(world.machine.UsbWrites(path) == (std::vector<std::vector<std::uint8_t>>{{0}}),
               "closing the channel sends the one zero byte");
    FUZZ_CHECK(world.machine.Misuses().empty(), "no misuse of the platform");
    return 0;
}
