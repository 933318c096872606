#include "core/InstallationRecord.h"

#include <cstring>
#include <string_view>

#include "core/Owners.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"

namespace zenthar {

namespace {

using platform::Dword;

struct KindWord {
    Made kind;
    const char* word;
};

constexpr KindWord kKindWords[] = {
    {Made::Printer, "Printer"}, {Made::Driver, "Driver"},   {Made::DriverCopy, "Driver copy"},
    {Made::Port, "Port"},       {Made::Monitor, "Monitor"}, {Made::MonitorLibrary, "Monitor library"},
};

constexpr std::string_view kSeparator = ": ";

std::string ValueName(const MadeThing& thing)
{
    for (const auto& each : kKindWords)
        if (each.kind == thing.kind) return std::string(each.word) + std::string(kSeparator) + thing.name;
    return thing.name;
}

std::optional<MadeThing> ThingOf(std::string_view valueName)
{
    const auto at = valueName.find(kSeparator);
    if (at == std::string_view::npos || at + kSeparator.size() >= valueName.size()) return std::nullopt;
    for (const auto& each : kKindWords)
        if (valueName.substr(0, at) == each.word)
            return MadeThing{each.kind, std::string(valueName.substr(at + kSeparator.size()))};
    return std::nullopt;
}

void Complain(platform::Platform& platform, const char* call, Dword error)
{
    platform.debug.OutputDebugStringA(resources::Say(resources::Words::RecordCallFailed, call, error).c_str());
}

}  // namespace

void Record(platform::Platform& platform, const std::vector<MadeThing>& things)
{
    if (things.empty()) return;
    auto& registry = platform.registry;
    platform::RegKey key = 0;
    Dword disposition = 0;
    const auto created = registry.RegCreateKeyExA(platform::kHkeyLocalMachine, kRecordKey, 0, nullptr,
                                                  platform::REG_OPTION_NON_VOLATILE, platform::KEY_WRITE, nullptr, &key,
                                                  &disposition);
    if (created.value != 0) {
        Complain(platform, "RegCreateKeyExA", static_cast<Dword>(created.value));
        return;
    }
    const KeyOwner owner(registry, key);
    for (const MadeThing& thing : things) {
        const std::string name = ValueName(thing);
        const auto written = registry.RegSetValueExA(key, name.c_str(), 0, platform::REG_SZ,
                                                     reinterpret_cast<const std::uint8_t*>(thing.name.c_str()),
                                                     static_cast<Dword>(thing.name.size() + 1));
        if (written.value != 0) Complain(platform, "RegSetValueExA", static_cast<Dword>(written.value));
    }
}

std::optional<std::vector<MadeThing>> ReadInstallationRecord(platform::Platform& platform, const std::string& keyPath)
{
    auto& registry = platform.registry;
    const auto opened = OpenKey(registry, platform::kHkeyLocalMachine, keyPath.c_str(), platform::KEY_READ);
    if (!opened) return std::nullopt;
    const platform::RegKey key = opened->Get();
    std::vector<MadeThing> things;
    for (Dword index = 0;; ++index) {
        char name[1024] = {};
        Dword length = sizeof name;
        const auto read = registry.RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        // A name too long for any thing the installer records is not one of its values.
        if (read.value == static_cast<platform::Long>(platform::ERROR_MORE_DATA)) continue;
        if (read.value != 0) break;
        if (auto thing = ThingOf(std::string_view(name, strnlen(name, sizeof name))))
            things.push_back(std::move(*thing));
    }
    return things;
}

Status Forget(platform::Platform& platform, const std::string& keyPath, const std::vector<MadeThing>& things)
{
    if (things.empty()) return Done{};
    auto& registry = platform.registry;
    const auto opened = OpenKey(registry, platform::kHkeyLocalMachine, keyPath.c_str(), platform::KEY_SET_VALUE);
    if (!opened) return opened.Failed().error == platform::ERROR_FILE_NOT_FOUND ? Status(Done{}) : opened.Failed();
    const platform::RegKey key = opened->Get();
    Dword first = 0;
    for (const MadeThing& thing : things) {
        const Dword status = static_cast<Dword>(registry.RegDeleteValueA(key, ValueName(thing).c_str()).value);
        if (status != 0 && status != platform::ERROR_FILE_NOT_FOUND && first == 0) first = status;
    }
    return first == 0 ? Status(Done{}) : Failure{"RegDeleteValueA", first};
}

Status DeleteRecord(platform::Platform& platform, const std::string& keyPath)
{
    auto& registry = platform.registry;
    const Dword status = static_cast<Dword>(registry.RegDeleteKeyA(platform::kHkeyLocalMachine, keyPath.c_str()).value);
    if (status != 0 && status != platform::ERROR_FILE_NOT_FOUND) return Failure{"RegDeleteKeyA", status};
    // The maker's key goes too when the record was all it held.
    const auto cut = keyPath.rfind('\\');
    if (cut == std::string::npos) return Done{};
    const std::string parent = keyPath.substr(0, cut);
    auto opened = OpenKey(registry, platform::kHkeyLocalMachine, parent.c_str(), platform::KEY_READ);
    if (!opened) return Done{};
    Dword subKeys = 1;
    Dword values = 1;
    const bool empty = registry.RegQueryInfoKeyA(opened->Get(), nullptr, nullptr, &subKeys, &values).value == 0 &&
                       subKeys == 0 && values == 0;
    // A key still open cannot be deleted.
    opened->Close();
    if (empty) registry.RegDeleteKeyA(platform::kHkeyLocalMachine, parent.c_str());
    return Done{};
}

}  // namespace zenthar
