// The registry: its keys and values, and the RegXxx calls on them with handles and WOW64 views.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/sim/SimBackends.h"

namespace zenthar::sim::detail {

namespace {

constexpr Dword KEY_CREATE_SUB_KEY = 0x0004;
constexpr Dword KEY_WOW64_32KEY = 0x0200;
constexpr Dword ERROR_KEY_DELETED = 1018;
const char* const kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

bool IsPredefined(RegKey key)
{
    return key == kHkeyLocalMachine || key == kHkeyCurrentUser;
}

// Keys of HKLM\\Software that both views share since Windows 7, where a 32-bit program reads
// the same policies as a 64-bit one.
bool SharedBetweenViews(std::string_view softwareChild)
{
    return SameText(softwareChild, "Policies");
}

// A 32-bit program on a 64-bit system sees the 32-bit view unless it asks otherwise.
bool View32(const MachineProfile& profile, Dword access)
{
    if (!profile.Is64BitSystem()) return false;
    if (access & KEY_WOW64_64KEY) return false;
    if (access & KEY_WOW64_32KEY) return true;
    return profile.wow64;
}

}  // namespace

// ---- The registry's state ----------------------------------------------------------------------

std::shared_ptr<RegNode> RegNode::Child(std::string_view childName) const
{
    for (const auto& child : children)
        if (SameText(child->name, childName)) return child;
    return nullptr;
}

SimMachine::RegistryValue* RegNode::Value(std::string_view valueName)
{
    for (auto& value : values)
        if (SameText(value.name, valueName)) return &value;
    return nullptr;
}

void RegistryState::InstallSkeleton(bool is64BitSystem)
{
    hklm = std::make_shared<RegNode>();
    hklm->name = "HKEY_LOCAL_MACHINE";
    hkcu = std::make_shared<RegNode>();
    hkcu->name = "HKEY_CURRENT_USER";
    for (const char* name : {"HARDWARE", "SOFTWARE", "SYSTEM"}) NativeKey(kHkeyLocalMachine, name, true);
    hklm->Child("SOFTWARE")->isHklmSoftware = true;
    NativeKey(kHkeyLocalMachine, "SYSTEM\\ControlSet001\\Control", true);
    auto systemKey = hklm->Child("SYSTEM");
    auto link = std::make_shared<RegNode>();
    link->name = "CurrentControlSet";
    link->isControlSetLink = true;
    link->parent = systemKey.get();
    systemKey->children.push_back(link);
    NativeKey(kHkeyCurrentUser, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", true);
    NativeKey(kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers", true);
    NativeKey(kHkeyLocalMachine, kUninstallKey, true);
    if (is64BitSystem)
        NativeKey(kHkeyLocalMachine, "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall", true);
}

std::shared_ptr<RegNode> RegistryState::RootNode(RegKey root) const
{
    if (root == kHkeyLocalMachine) return hklm;
    if (root == kHkeyCurrentUser) return hkcu;
    return nullptr;
}

std::shared_ptr<RegNode> RegistryState::MakeChild(RegNode& node, const std::string& name)
{
    auto child = std::make_shared<RegNode>();
    child->name = name;
    child->parent = &node;
    node.children.push_back(child);
    return child;
}

std::shared_ptr<RegNode> RegistryState::Walk(std::shared_ptr<RegNode> node, std::string_view path, bool view32,
                                             bool create, bool* created, std::string_view newClass)
{
    if (created) *created = false;
    const auto parts = SplitPath(path);
    for (std::size_t i = 0; i < parts.size() && node; ++i) {
        const std::string& part = parts[i];
        if (view32 && node->isHklmSoftware && !SameText(part, "Wow6432Node") && !SharedBetweenViews(part)) {
            auto wow = node->Child("Wow6432Node");
            if (!wow) {
                if (!create) return nullptr;
                wow = MakeChild(*node, "Wow6432Node");
            }
            node = wow;
        }
        auto child = node->Child(part);
        if (!child) {
            if (!create) return nullptr;
            child = MakeChild(*node, part);
            if (i + 1 == parts.size()) child->keyClass = std::string(newClass);
            if (created && i + 1 == parts.size()) *created = true;
        }
        if (child->isControlSetLink) {
            char name[32];
            std::snprintf(name, sizeof name, "ControlSet%03d", currentControlSet);
            auto target = node->Child(name);
            child = target ? target : MakeChild(*node, name);
        }
        node = child;
    }
    return node;
}

std::shared_ptr<RegNode> RegistryState::NativeKey(RegKey root, std::string_view path, bool create)
{
    auto node = RootNode(root);
    return node ? Walk(node, path, false, create) : nullptr;
}

void RegistryState::SetValue(RegNode& node, std::string_view name, Dword type, std::vector<std::uint8_t> bytes)
{
    if (auto* value = node.Value(name)) {
        value->type = type;
        value->bytes = std::move(bytes);
    } else {
        node.values.push_back({std::string(name), type, std::move(bytes)});
    }
}

void RegistryState::RemoveNode(const std::shared_ptr<RegNode>& node)
{
    std::vector<RegNode*> stack = {node.get()};
    while (!stack.empty()) {
        RegNode* current = stack.back();
        stack.pop_back();
        current->deleted = true;
        for (auto& child : current->children) stack.push_back(child.get());
    }
    if (RegNode* parent = node->parent) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
    }
}

// ---- The interface ------------------------------------------------------------------------------

RegHandle* SimRegistry::Find(RegKey key, Long* status)
{
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

Call<Long> SimRegistry::RegOpenKeyExA(RegKey key, const char* subKey, Dword, Dword access, RegKey* result)
{
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
                                        Dword access, const void*, RegKey* result, Dword* disposition)
{
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

Call<Long> SimRegistry::RegSetValueExA(RegKey key, const char* valueName, Dword, Dword type, const std::uint8_t* data,
                                       Dword size)
{
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
                                         Dword* size)
{
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
                                      Dword* type, std::uint8_t* data, Dword* size)
{
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
                                         Dword* values)
{
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

Call<Long> SimRegistry::RegDeleteValueA(RegKey key, const char* valueName)
{
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

Call<Long> SimRegistry::RegDeleteKeyA(RegKey key, const char* subKey)
{
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

Call<Long> SimRegistry::RegCloseKey(RegKey key)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("RegCloseKey")) return Status(*fault);
    if (IsPredefined(key)) return Status(0);
    if (core.regHandles.erase(key) == 0) return Status(ERROR_INVALID_HANDLE);
    return Status(0);
}

}  // namespace zenthar::sim::detail
