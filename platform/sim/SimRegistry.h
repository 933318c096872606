// The simulated registry: its two hives, the program's open keys, and RegXxx on them.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimText.h"

namespace zenthar::sim::detail {

class Core;

struct RegNode {
    std::string name;
    std::string keyClass;
    std::vector<std::shared_ptr<RegNode>> children;
    std::vector<SimMachine::RegistryValue> values;
    RegNode* parent = nullptr;
    bool deleted = false;
    bool isControlSetLink = false;  // HKLM\SYSTEM\CurrentControlSet
    bool isHklmSoftware = false;    // where the 32-bit view branches into Wow6432Node

    std::shared_ptr<RegNode> Child(std::string_view childName) const;
    SimMachine::RegistryValue* Value(std::string_view valueName);
};

struct RegHandle {
    std::shared_ptr<RegNode> node;
    bool view32 = false;
    Dword access = 0;
};

// The registry's state and the operations on it; it needs no other part of the machine.
class RegistryState {
public:
    // The keys every Windows of the profile has before anything is installed.
    void InstallSkeleton(bool is64BitSystem);

    std::shared_ptr<RegNode> RootNode(RegKey root) const;
    // Walks `path` from `node`; creates missing keys when `create`.
    std::shared_ptr<RegNode> Walk(std::shared_ptr<RegNode> node, std::string_view path, bool view32, bool create,
                                  bool* created = nullptr, std::string_view newClass = {});
    std::shared_ptr<RegNode> NativeKey(RegKey root, std::string_view path, bool create);
    void SetValue(RegNode& node, std::string_view name, Dword type, std::vector<std::uint8_t> bytes);
    void RemoveNode(const std::shared_ptr<RegNode>& node);

    std::shared_ptr<RegNode> hklm;
    std::shared_ptr<RegNode> hkcu;
    std::map<RegKey, RegHandle> regHandles;
    RegKey nextRegKey = 0x100;
    int currentControlSet = 1;

private:
    // The child `name` of `node`, made when missing.
    static std::shared_ptr<RegNode> MakeChild(RegNode& node, const std::string& name);
};

class SimRegistry final : public Registry {
public:
    explicit SimRegistry(Core& core) : core(core) {}
    Call<Long> RegOpenKeyExA(RegKey key, const char* subKey, Dword options, Dword access, RegKey* result) override;
    Call<Long> RegCreateKeyExA(RegKey key, const char* subKey, Dword reserved, const char* keyClass, Dword options,
                               Dword access, const void* security, RegKey* result, Dword* disposition) override;
    Call<Long> RegSetValueExA(RegKey key, const char* valueName, Dword reserved, Dword type, const std::uint8_t* data,
                              Dword size) override;
    Call<Long> RegQueryValueExA(RegKey key, const char* valueName, Dword* reserved, Dword* type, std::uint8_t* data,
                                Dword* size) override;
    Call<Long> RegEnumValueA(RegKey key, Dword index, char* valueName, Dword* valueNameLength, Dword* reserved,
                             Dword* type, std::uint8_t* data, Dword* size) override;
    Call<Long> RegQueryInfoKeyA(RegKey key, char* keyClass, Dword* keyClassLength, Dword* subKeys,
                                Dword* values) override;
    Call<Long> RegDeleteKeyA(RegKey key, const char* subKey) override;
    Call<Long> RegDeleteValueA(RegKey key, const char* valueName) override;
    Call<Long> RegCloseKey(RegKey key) override;

private:
    // The handle's key, or null with the status to return.
    RegHandle* Find(RegKey key, Long* status);
    Core& core;
};

}  // namespace zenthar::sim::detail
