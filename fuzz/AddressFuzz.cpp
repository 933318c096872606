// IP address fields: what the user types into the four fields of the address dialog, and
// the address text the network port is named after (any 32 bytes, even without an end).
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "connection/IpAddressDialog.h"
#include "connection/MessageBoxNotices.h"
#include "connection/NetworkPort.h"
#include "core/Notice.h"
#include "resources/IpAddressDialogIds.h"
#include "resources/ResourceIds.h"

namespace {

using namespace zenthar;

using resources::address_ids::kAddressField;

// What an address field holds after the user typed `typed` into it: the control takes
// digits only and holds a field to 255; a field left without digits reads as 0. Worked out
// from the keys alone, never from what the dialog made of them.
unsigned FieldValue(const std::string& typed)
{
    std::string digits;
    for (char c : typed)
        if (c >= '0' && c <= '9') digits += c;
    if (digits.empty()) return 0;
    // A field takes at most six keys here, so the number fits.
    const unsigned long number = std::strtoul(digits.c_str(), nullptr, 10);
    return number > 255 ? 255u : static_cast<unsigned>(number);
}

void FuzzDialog(FuzzedDataProvider& input)
{
    fuzz::World world;
    std::int32_t addressEntered = input.ConsumeBool() ? 1 : 0;
    IpAddressDialog dialog(world.machine.platform(), addressEntered, nullptr);
    // A preloaded text, as an earlier confirmation may have left it (or not).
    const std::string earlier = input.ConsumeBytesAsString(sizeof dialog.ipText - 1);
    std::memcpy(dialog.ipText, earlier.data(), earlier.size());
    std::array<std::string, 4> fields;
    for (auto& field : fields) field = fuzz::AsText(input.ConsumeRandomLengthString(6));
    world.screen.Script(resources::kIpAddressDialog)
        .SetIpFields(kAddressField, fields)
        .Click(resources::address_ids::kOk);
    FUZZ_CHECK(dialog.DoModal() == ui::kIdOk, "OK confirms the address");

    std::string expected;
    std::uint32_t expectedAddress = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const unsigned value = FieldValue(fields[i]);
        expected += (i ? "." : "") + std::to_string(value);
        expectedAddress = expectedAddress << 8 | value;
        FUZZ_CHECK(dialog.octets[i] == value, "each octet is the number typed into its field");
    }
    FUZZ_CHECK(fuzz::Bounded(dialog.ipText), "the address text ends inside its field");
    FUZZ_CHECK(std::string(dialog.ipText) == expected, "the text is the four numbers typed, joined by points");
    FUZZ_CHECK(ParseDottedAddress(dialog.ipText) == expectedAddress,
               "the text reads back as the address typed, for the next opening");
}

void FuzzPort(FuzzedDataProvider& input)
{
    fuzz::World world;
    char addressText[kAddressTextSize];
    const std::string bytes = input.ConsumeBytesAsString(sizeof addressText);
    std::memset(addressText, 0, sizeof addressText);
    std::memcpy(addressText, bytes.data(), bytes.size());
    NetworkPortFields fields;
    CreateNetworkPort(world.machine.platform(), fields, addressText, MessageBoxNotices(nullptr));
    FUZZ_CHECK(fuzz::Bounded(fields.networkPortName), "the port name ends inside its field");
    FUZZ_CHECK(fuzz::Bounded(fields.networkAddress), "the address ends inside its field");
    FUZZ_CHECK(fuzz::Bounded(fields.networkPortKey), "the key path ends inside its field");
    const std::string address(addressText, strnlen(addressText, sizeof addressText));
    FUZZ_CHECK(std::string(fields.networkAddress) == address.substr(0, sizeof fields.networkAddress - 1),
               "the address is the dialog's, cut to the field");
    FUZZ_CHECK(std::string(fields.networkPortName) == ("IP_" + address).substr(0, sizeof fields.networkPortName - 1),
               "the port is named IP_ and the address, cut to the field");
    FUZZ_CHECK(world.machine.Misuses().empty(), "no misuse of the platform");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) {
        FuzzDialog(input);
    } else {
        FuzzPort(input);
    }
    return 0;
}
