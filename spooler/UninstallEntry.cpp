#include "spooler/UninstallEntry.h"

#include <cstring>

#include "core/Owners.h"
#include "platform/Constants.h"

namespace zenthar {

namespace {

struct TextValue {
    const char* name;
    const char* data;
};

constexpr TextValue kValues[] = {
    {"DisplayName", "NORVA Orbix Printer 4.64"},
    {"UninstallString", "C:\\NORVA Orbix Printer 4.X\\DriverOrbixUninstaller.exe"},
};

}  // namespace

void RegisterUninstall(platform::Platform& platform)
{
    auto& registry = platform.registry;
    // There already: only closed again.
    if (OpenKey(registry, platform::kHkeyLocalMachine, kUninstallKey, platform::KEY_ALL_ACCESS)) return;
    platform::RegKey key = 0;
    platform::Dword disposition = 0;
    // "REG_BINARY" is the key's class text, as the entry has always been created.
    if (registry
            .RegCreateKeyExA(platform::kHkeyLocalMachine, kUninstallKey, 0, "REG_BINARY",
                             platform::REG_OPTION_NON_VOLATILE, platform::KEY_ALL_ACCESS, nullptr, &key, &disposition)
            .value != 0)
        return;
    const KeyOwner keyOwner(registry, key);
    for (const auto& value : kValues) {
        registry.RegSetValueExA(key, value.name, 0, platform::REG_SZ, reinterpret_cast<const std::uint8_t*>(value.data),
                                static_cast<platform::Dword>(std::strlen(value.data) + 1));
    }
}

}  // namespace zenthar
