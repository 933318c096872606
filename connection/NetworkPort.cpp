#include "connection/NetworkPort.h"

#include <cstdint>
#include <cstring>

#include "core/FixedText.h"
#include "core/InstallationRecord.h"
#include "core/Owners.h"
#include "core/ServiceControl.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"

namespace zenthar {
namespace {

using platform::Dword;

// What the monitor reads from a port key: raw TCP on 9100, no SNMP queries.
struct PortValue {
    enum class Data { Number, Text, Address };
    const char* name;
    Data data;
    Dword number;
    const char* text;
    resources::Words failure;
};

constexpr PortValue kPortValues[] = {
    {"PortNumber", PortValue::Data::Number, 9100, nullptr, resources::Words::PortNumberWriteFailed},
    {"Protocol", PortValue::Data::Number, 1, nullptr, resources::Words::ProtocolWriteFailed},
    {"SNMP Enabled", PortValue::Data::Number, 0, nullptr, resources::Words::SnmpEnabledReadFailed},
    {"SNMP Index", PortValue::Data::Number, 1, nullptr, resources::Words::SnmpIndexWriteFailed},
    {"Version", PortValue::Data::Number, 1, nullptr, resources::Words::VersionWriteFailed},
    {"HostName", PortValue::Data::Text, 0, "", resources::Words::HostNameWriteFailed},
    {"HWAddress", PortValue::Data::Text, 0, "", resources::Words::HwAddressWriteFailed},
    {"IPAddress", PortValue::Data::Address, 0, nullptr, resources::Words::IpAddressWriteFailed},
    {"SNMP Community", PortValue::Data::Text, 0, "cmtyro", resources::Words::CommunityWriteFailed},
};

// The first value's failure is the program's own warning; the others are shown over
// the main dialog under their own caption. Each names the error the registry call returned: a
// registry call returns its error and need not set the last error, which would be stale.

struct ServiceStep {
    const char* command;
    const char* service;
};

// The LPD service holds the spooler, so it stops first and starts last.
constexpr ServiceStep kServiceRestart[] = {
    {"net stop", "LPDSVC"},
    {"net stop", "spooler"},
    {"net start", "spooler"},
    {"net start", "LPDSVC"},
};

constexpr Dword kPortKeyAccess = platform::KEY_WRITE | platform::KEY_QUERY_VALUE;

// The write as its registry status tells it.
Status Written(platform::Long status)
{
    if (status == static_cast<platform::Long>(platform::ERROR_SUCCESS)) return Done{};
    return Failure{"RegSetValueExA", static_cast<Dword>(status)};
}

Status WriteValue(platform::Platform& platform, platform::RegKey key, const PortValue& value,
                  const NetworkPortFields& fields)
{
    if (value.data == PortValue::Data::Number) {
        std::uint8_t bytes[4];
        for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value.number >> (8 * i));
        return Written(
            platform.registry.RegSetValueExA(key, value.name, 0, platform::REG_DWORD, bytes, sizeof bytes).value);
    }
    const std::string_view text = value.data == PortValue::Data::Address ? TextOf(fields.networkAddress)
                                                                         : std::string_view(value.text);
    // Text values count their terminating zero; an empty text is that zero alone.
    char stored[sizeof fields.networkAddress] = {};
    CopyText(stored, text);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(stored);
    return Written(
        platform.registry
            .RegSetValueExA(key, value.name, 0, platform::REG_SZ, bytes, static_cast<Dword>(TextOf(stored).size() + 1))
            .value);
}

void ReportFailure(const PortValue& value, Dword error, const NoticeSink& notices)
{
    char message[128];
    FormatText(message, resources::Text(value.failure), static_cast<int>(error));
    if (&value == &kPortValues[0]) {
        notices.Show(AppNotice(TextOf(message)));
    } else {
        notices.Show(MainWindowNotice(TextOf(message), resources::Text(resources::Words::ValueFailureCaption)));
    }
}

// Makes the port's key and closes it again: the values are written through a key opened for
// them. A key made now is recorded as ours; one that was there is the administrator's.
bool MakePortKey(platform::Platform& platform, const char* keyPath, const char* portName)
{
    platform::RegKey key = 0;
    Dword disposition = 0;
    const auto created = platform.registry.RegCreateKeyExA(platform::kHkeyLocalMachine, keyPath, 0, nullptr,
                                                           platform::REG_OPTION_NON_VOLATILE, platform::KEY_WRITE,
                                                           nullptr, &key, &disposition);
    if (created.value != static_cast<platform::Long>(platform::ERROR_SUCCESS)) return false;
    KeyOwner createdKey(platform.registry, key);
    createdKey.Close();
    if (disposition == platform::REG_CREATED_NEW_KEY) Record(platform, {{Made::Port, portName}});
    return true;
}

}  // namespace

NetworkPortWritten CreateNetworkPort(platform::Platform& platform, NetworkPortFields& fields,
                                     const char (&addressText)[kAddressTextSize], const NoticeSink& notices)
{
    const std::string_view address = TextOf(addressText);
    FormatText(fields.networkPortName, "%s%.*s", kNetworkPortPrefix, static_cast<int>(address.size()), address.data());
    CopyText(fields.networkAddress, address);
    // A key path that did not fit would name another key; never write there.
    if (!FormatWhole(fields.networkPortKey, "%s\\%s", kTcpIpPortsKey, fields.networkPortName)) {
        platform.debug.OutputDebugStringA(resources::Text(resources::Words::NetworkKeyTooLong));
        return {};
    }

    if (!MakePortKey(platform, fields.networkPortKey, fields.networkPortName)) {
        platform.debug.OutputDebugStringA(resources::Text(resources::Words::RegCreateKeyFailed));
        return {};
    }
    return WriteTcpIpPortValues(platform, fields, notices);
}

NetworkPortWritten WriteTcpIpPortValues(platform::Platform& platform, const NetworkPortFields& fields,
                                        const NoticeSink& notices)
{
    bool written = false;
    if (const auto opened =
            OpenKey(platform.registry, platform::kHkeyLocalMachine, fields.networkPortKey, kPortKeyAccess)) {
        written = true;
        for (const PortValue& value : kPortValues) {
            if (const Status set = WriteValue(platform, opened->Get(), value, fields); !set) {
                ReportFailure(value, set.Failed().error, notices);
                written = false;
            }
        }
    } else {
        platform.debug.OutputDebugStringA(resources::Text(resources::Words::RegOpenKeyFailed));
    }

    const auto notEnded = RestartPortServices(platform);
    if (notEnded) notices.Show(AppNotice(*notEnded));
    return {written, !notEnded};
}

bool TcpIpMonitorPresent(platform::Platform& platform)
{
    // Looked for only: closed again at once.
    return static_cast<bool>(OpenKey(platform.registry, platform::kHkeyLocalMachine, kTcpIpPortsKey,
                                     platform::KEY_WRITE | platform::KEY_QUERY_VALUE));
}

std::optional<std::string> RestartPortServices(platform::Platform& platform)
{
    std::optional<std::string> notEnded;
    for (const ServiceStep& step : kServiceRestart) {
        // One that could not be started has not kept the run waiting either.
        const auto ran = RunCommand(platform, step.command, step.service);
        if (ran && !ran->ended && !notEnded) notEnded = CommandNotEndedText(step.command, step.service);
    }
    return notEnded;
}

}  // namespace zenthar
