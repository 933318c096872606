// IP address fields: what the user types into the four fields of the address dialog, and
// the address text the network port is named after (any 32 bytes, even without an end).
#include <cstdint>
#include <cstdio>
#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "connection/IpAddressDialog.h"
#include "connection/NetworkPort.h"
#include "resources/ResourceIds.h"

namespace {

using namespace zenthar;

constexpr int kAddressField = 1044;

bool IsDottedQuad(const char* text)
{
    unsigned parts[4];
    char end = 0;
    if (std::sscanf(text, "%u.%u.%u.%u%c", &parts[0], &parts[1], &parts[2], &parts[3], &end) != 4) return false;
    for (unsigned part : parts)
        if (part > 255) return false;
    return true;
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
    world.screen.Script(resources::kIpAddressDialog).SetIpFields(kAddressField, fields).Click(1);
    dialog.DoModal();
    FUZZ_CHECK(fuzz::Bounded(dialog.ipText), "the address text ends inside its field");
    FUZZ_CHECK(IsDottedQuad(dialog.ipText), "a confirmed address is four numbers of 0..255");
    char again[32];
    std::snprintf(again, sizeof again, "%u.%u.%u.%u", dialog.octets[0], dialog.octets[1], dialog.octets[2],
                  dialog.octets[3]);
    FUZZ_CHECK(std::string(again) == dialog.ipText, "the text is the octets read");
    FUZZ_CHECK(ParseDottedAddress(dialog.ipText) ==
                   (std::uint32_t{dialog.octets[0]} << 24 | std::uint32_t{dialog.octets[1]} << 16 |
                    std::uint32_t{dialog.octets[2]} << 8 | dialog.octets[3]),
               "the text reads back as the same address");
}

void FuzzPort(FuzzedDataProvider& input)
{
    fuzz::World world;
    char addressText[kAddressTextSize];
    const std::string bytes = input.ConsumeBytesAsString(sizeof addressText);
    std::memset(addressText, 0, sizeof addressText);
    std::memcpy(addressText, bytes.data(), bytes.size());
    NetworkPortFields fields;
    CreateNetworkPort(world.machine.platform(), fields, addressText, nullptr);
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
