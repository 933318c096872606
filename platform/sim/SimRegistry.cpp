#include <cstring>

#include "platform/sim/SimBackends.h"

namespace zenthar::sim::detail {

namespace {

constexpr Dword KEY_CREATE_SUB_KEY = 0x0004;
constexpr Dword KEY_WOW64_32KEY = 0x0200;
constexpr Dword ERROR_KEY_DELETED = 1018;

bool IsPredefined(RegKey key) { return key == kHkeyLocalMachine || key == kHkeyCurrentUser; }

// A 32-bit program on a 64-bit system sees the 32-bit view unless it asks otherwise.
bool View32(const MachineProfile& profile, Dword access) {
    if (!profile.Is64BitSystem()) return false;
    if (access & KEY_WOW64_64KEY) return false;
    if (access & KEY_WOW64_32KEY) return true;
    return profile.wow64;
}

}  // namespace

RegHandle* SimRegistry::Find(RegKey key, Long* status) {
    static thread_local RegHandle root;
    if (IsPredefined(key)) {
        root = RegHandle{core.RootNode(key), View32(core.profile, 0), KEY_ALL_ACCESS};
        return &root;
    }
    auto it = core.regHandles.find(key);
    if (it == core.regHandles.end()) {
        *status = static_cast<Long>(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (it->second.node->deleted) {
        *status = static_cast<Long>(ERROR_KEY_DELETED);
        return nullptr;
    }
    return &it->second;
}

Call<Long> SimRegistry::RegOpenKeyExA(RegKey key, const char* subKey, Dword, Dword access, RegKey* result) {
    auto lock = core.Lock();
    if (auto fault = core.Enter("RegOpenKeyExA")) return Status(*fault);
    if (!result) return Status(ERROR_INVALID_PARAMETER);
    *result = 0;
    Long status = 0;
    RegHandle* base = Find(key, &status);
    if (!base) return Status(static_cast<Dword>(status));
    if (subKey && subKey[0] == '\\') return Status(kErrorBadPathname);
    const bool view32 = View32(core.profile, access);
    auto node = core.Walk(base->node, TextOf(subKey), view32, false);
    if (!node) return Status(ERROR_FILE_NOT_FOUND);
    const RegKey handle = core.nextRegKey;
    core.nextRegKey += 4;
    core.regHandles[handle] = RegHandle{node, view32, access};
    *result = handle;
    return Status(0);
}

Call<Long> SimRegistry::RegCreateKeyExA(RegKey key, const char* subKey, Dword, const char* keyClass, Dword,
                                        Dword access, const void*, RegKey* result, Dword* disposition) {
    auto lock = core.Lock();
    if (auto fault = core.Enter("RegCreateKeyExA")) return Status(*fault);
    if (!result || !subKey) return Status(ERROR_INVALID_PARAMETER);
    *result = 0;
    Long status = 0;
    RegHandle* base = Find(key, &status);
    if (!base) return Status(static_cast<Dword>(status));
    if (subKey[0] == '\\') return Status(kErrorBadPathname);
    const bool view32 = View32(core.profile, access);
    auto existing = core.Walk(base->node, subKey, view32, false);
    if (!existing) {
        // The roots of the machine's hives take no new keys, and creating needs the right.
        const auto parts = SplitPath(subKey);
        if (IsPredefined(key) && key == kHkeyLocalMachine && !parts.empty() && !base->node->Child(parts.front()))
            return Status(ERROR_ACCESS_DENIED);
        if (!(base->access & KEY_CREATE_SUB_KEY)) return Status(ERROR_ACCESS_DENIED);
    }
    bool created = false;
    auto node = existing ? existing : core.Walk(base->node, subKey, view32, true, &created, TextOf(keyClass));
    const RegKey handle = core.nextRegKey;
    core.nextRegKey += 4;
    core.regHandles[handle] = RegHandle{node, view32, access};
    *result = handle;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return Status(0);
}

Call<Long> SimRegistry::RegSetValueExA(RegKey key, const char* valueName, Dword, Dword type,
                                       const std::uint8_t* data, Dword size) {
    auto lock = core.Lock();
    if (auto fault = core.Enter("RegSetValueExA")) return Status(*fault);
    Long status = 0;
    RegHandle* handle = Find(key, &status);
    if (!handle) return Status(static_cast<Dword>(status));
    if (!(handle->access & KEY_SET_VALUE)) return Status(ERROR_ACCESS_DENIED);
    if (!data && size > 0) return Status(kErrorNoAccess);
    core.SetValue(*handle->node, TextOf(valueName), type,
                  data ? std::vector<std::uint8_t>(data, data + size) : std::vector<std::uint8_t>());
    return Status(0);
}

Call<Long> SimRegistry::RegQueryValueExA(RegKey key, const char* valueName, Dword*, Dword* type, std::uint8_t* data,
                                         Dword* size) {
    auto lock = core.Lock();
    if (auto fault = core.Enter("RegQueryValueExA")) return Status(*fault);
    Long status = 0;
    RegHandle* handle = Find(key, &status);
    if (!handle) return Status(static_cast<Dword>(status));
    if (!(handle->access & KEY_QUERY_VALUE)) return Status(ERROR_ACCESS_DENIED);
    if (data && !size) return Status(ERROR_INVALID_PARAMETER);
    const auto* value = handle->node->Value(TextOf(valueName));
    if (!value) return Status(ERROR_FILE_NOT_FOUND);
    if (type) *type = value->type;
    if (!size) return Status(0);
    const Dword needed = static_cast<Dword>(value->bytes.size());
    if (data) {
        if (*size < needed) {
            *size = needed;
            return Status(ERROR_MORE_DATA);
        }
        if (needed) std::memcpy(data, value->bytes.data(), needed);
    }
    *size = needed;
    return Status(0);
}

Call<Long> SimRegistry::RegEnumValueA(RegKey key, Dword index, char* valueName, Dword* valueNameLength, Dword*,
                                      Dword* type, std::uint8_t* data, Dword* size) {
    auto lock = core.Lock();
    if (auto fault = core.Enter("RegEnumValueA")) return Status(*fault);
    Long status = 0;
    RegHandle* handle = Find(key, &status);
    if (!handle) return Status(static_cast<Dword>(status));
    if (!(handle->access & KEY_QUERY_VALUE)) return Status(ERROR_ACCESS_DENIED);
    if (!valueName || !valueNameLength || (data && !size)) return Status(ERROR_INVALID_PARAMETER);
    const auto& values = handle->node->values;
    if (index >= values.size()) return Status(ERROR_NO_MORE_ITEMS);
    const auto& value = values[index];
    if (*valueNameLength <= value.name.size()) return Status(ERROR_MORE_DATA);
    std::memcpy(valueName, value.name.c_str(), value.name.size() + 1);
    *valueNameLength = static_cast<Dword>(value.name.size());
    if (type) *type = value.type;
    if (!size) return Status(0);
    const Dword needed = static_cast<Dword>(value.bytes.size());
    if (data) {
        if (*size < needed) {
            *size = needed;
            return Status(ERROR_MORE_DATA);
        }
        if (needed) std::memcpy(data, value.bytes.data(), needed);
    }
    *size = needed;
    return Status(0);
}

Call<Long> SimRegistry::RegQueryInfoKeyA(RegKey key, char* keyClass, Dword* keyClassLength, Dword* subKeys,
                                         Dword* values) {
    auto lock = core.Lock();
    if (auto fault = core.Enter("RegQueryInfoKeyA")) return Status(*fault);
    Long status = 0;
    RegHandle* handle = Find(key, &status);
    if (!handle) return Status(static_cast<Dword>(status));
    if (!(handle->access & KEY_QUERY_VALUE)) return Status(ERROR_ACCESS_DENIED);
    if (keyClass && !keyClassLength) return Status(ERROR_INVALID_PARAMETER);
    const RegNode& node = *handle->node;
    if (subKeys) *subKeys = static_cast<Dword>(node.children.size());
    if (values) *values = static_cast<Dword>(node.values.size());
    if (keyClassLength) {
        const Dword length = static_cast<Dword>(node.keyClass.size());
        if (keyClass) {
            if (*keyClassLength <= length) {
                *keyClassLength = length;
                return Status(ERROR_MORE_DATA);
            }
            std::memcpy(keyClass, node.keyClass.c_str(), length + 1);
        }
        *keyClassLength = length;
    }
    return Status(0);
}

Call<Long> SimRegistry::RegDeleteValueA(RegKey key, const char* valueName) {
    auto lock = core.Lock();
    if (auto fault = core.Enter("RegDeleteValueA")) return Status(*fault);
    Long status = 0;
    RegHandle* handle = Find(key, &status);
    if (!handle) return Status(static_cast<Dword>(status));
    if (!(handle->access & KEY_SET_VALUE)) return Status(ERROR_ACCESS_DENIED);
    auto& values = handle->node->values;
    const std::string name = TextOf(valueName);
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (!SameText(it->name, name)) continue;
        values.erase(it);
        return Status(0);
    }
    return Status(ERROR_FILE_NOT_FOUND);
}

Call<Long> SimRegistry::RegDeleteKeyA(RegKey key, const char* subKey) {
    auto lock = core.Lock();
    if (auto fault = core.Enter("RegDeleteKeyA")) return Status(*fault);
    if (!subKey) return Status(ERROR_INVALID_PARAMETER);
    Long status = 0;
    RegHandle* base = Find(key, &status);
    if (!base) return Status(static_cast<Dword>(status));
    auto node = core.Walk(base->node, subKey, base->view32, false);
    if (!node) return Status(ERROR_FILE_NOT_FOUND);
    // The hive roots and their first level (SOFTWARE, SYSTEM, ...) cannot go, nor a key that
    // still has subkeys.
    const bool topLevel = !node->parent || !node->parent->parent;
    if (topLevel || !node->children.empty() || node->isHklmSoftware) return Status(ERROR_ACCESS_DENIED);
    core.RemoveNode(node);
    return Status(0);
}

Call<Long> SimRegistry::RegCloseKey(RegKey key) {
    auto lock = core.Lock();
    if (auto fault = core.Enter("RegCloseKey")) return Status(*fault);
    if (IsPredefined(key)) return Status(0);
    if (core.regHandles.erase(key) == 0) return Status(ERROR_INVALID_HANDLE);
    return Status(0);
}

}  // namespace zenthar::sim::detail
