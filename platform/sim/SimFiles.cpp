// The disk: files and folders, WOW64 redirection, and the file calls on them.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/sim/SimBackends.h"

namespace zenthar::sim::detail {

namespace {

// Relative to the system directory.
const char* const kSystemFiles[] = {"cmd.exe",      "net.exe",      "kernel32.dll", "winspool.drv",
                                    "setupapi.dll", "localspl.dll", "tcpmon.dll"};
const char* const kWbemFiles[] = {"WBEM\\FRAMEDYN.dll"};

// Folders below System32 that WOW64 leaves alone.
const char* const kRedirectionExemptions[] = {"catroot",      "catroot2", "driverstore",
                                              "drivers\\etc", "logfiles", "spool"};

}  // namespace

// ---- The disk's state ---------------------------------------------------------------------------

void DiskState::InstallSystemFiles()
{
    const std::string system = SystemDirectory();
    const std::string windows = WindowsDirectory();
    const MachineProfile& profile = core.profile;
    files["C:\\"] = FsEntry{"C:\\", true, {}};
    MakeDirectories(system);
    MakeDirectories("C:\\Program Files");
    if (profile.Is9x()) {
        PutFile(windows + "\\COMMAND.COM", Bytes("sim:COMMAND.COM"));
    } else {
        for (const char* name : kSystemFiles) PutFile(system + "\\" + name, Bytes(std::string("sim:") + name));
        if (profile.majorVersion >= 5)
            for (const char* name : kWbemFiles) PutFile(system + "\\" + name, Bytes(std::string("sim:") + name));
        if (profile.Is64BitSystem()) {
            const std::string wow = windows + "\\SysWOW64";
            MakeDirectories(wow);
            for (const char* name : kSystemFiles) PutFile(wow + "\\" + name, Bytes(std::string("sim:wow64:") + name));
            for (const char* name : kWbemFiles) PutFile(wow + "\\" + name, Bytes(std::string("sim:wow64:") + name));
        }
    }
}

std::string DiskState::Absolute(std::string_view given) const
{
    std::string path(given);
    std::replace(path.begin(), path.end(), '/', '\\');
    if (path.rfind("\\\\?\\", 0) == 0 && path.size() >= 6 && path[5] == ':') path.erase(0, 4);

    const std::string cwdDrive = currentDirectory.substr(0, 2);
    const std::string cwdRest = currentDirectory.substr(2);
    std::string drive;
    std::string rest;
    if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
        drive = Upper(path.substr(0, 2));
        rest = path.substr(2);
        if (rest.empty() || rest[0] != '\\') rest = (drive == Upper(cwdDrive) ? cwdRest + "\\" : "\\") + rest;
    } else if (!path.empty() && path[0] == '\\') {
        drive = cwdDrive;
        rest = path;
    } else {
        drive = cwdDrive;
        rest = cwdRest + "\\" + path;
    }

    std::vector<std::string> parts;
    for (std::string part : SplitPath(rest)) {
        // Windows drops trailing dots and spaces of every name.
        while (!part.empty() && (part.back() == '.' || part.back() == ' ') && part != "." && part != "..")
            part.pop_back();
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string result = drive + "\\";
    for (std::size_t i = 0; i < parts.size(); ++i) result += (i ? "\\" : "") + parts[i];
    return result;
}

std::string DiskState::WindowsDirectory() const
{
    return core.profile.windowsDirectory;
}

std::string DiskState::SystemDirectory() const
{
    return WindowsDirectory() + (core.profile.Is9x() ? "\\SYSTEM" : "\\System32");
}

bool DiskState::RedirectionActiveForThisThread() const
{
    return core.profile.wow64 && core.profile.Is64BitSystem() && !redirectionOff.count(std::this_thread::get_id());
}

std::string DiskState::Redirected(const std::string& absolute) const
{
    if (!core.profile.wow64 || !core.profile.Is64BitSystem()) return absolute;
    const std::string windows = WindowsDirectory();
    const std::string sysnative = windows + "\\Sysnative";
    if (SameText(absolute, sysnative) || StartsWithText(absolute, sysnative + "\\"))
        return windows + "\\System32" + absolute.substr(sysnative.size());
    if (!RedirectionActiveForThisThread()) return absolute;
    const std::string system = windows + "\\System32";
    if (!SameText(absolute, system) && !StartsWithText(absolute, system + "\\")) return absolute;
    const std::string rest = absolute.substr(system.size());
    for (const char* exempt : kRedirectionExemptions) {
        const std::string folder = std::string("\\") + exempt;
        if (SameText(rest, folder) || StartsWithText(rest, folder + "\\")) return absolute;
    }
    return windows + "\\SysWOW64" + rest;
}

FsEntry* DiskState::FindEntry(const std::string& key)
{
    auto it = files.find(key);
    return it == files.end() ? nullptr : &it->second;
}

const FsEntry* DiskState::FindEntry(const std::string& key) const
{
    auto it = files.find(key);
    return it == files.end() ? nullptr : &it->second;
}

std::string DiskState::ParentKey(const std::string& key)
{
    if (key.size() <= 3) return {};
    const auto slash = key.rfind('\\');
    return slash <= 2 ? key.substr(0, 3) : key.substr(0, slash);
}

bool DiskState::IsDirectory(const std::string& key) const
{
    const FsEntry* entry = FindEntry(key);
    return entry && entry->directory;
}

void DiskState::MakeDirectories(const std::string& absolute)
{
    const std::string normal = Absolute(absolute);
    std::string path = normal.substr(0, 3);
    if (!FindEntry(Upper(path))) files[Upper(path)] = FsEntry{path, true, {}};
    for (const auto& part : SplitPath(normal.substr(3))) {
        path += (path.size() > 3 ? "\\" : "") + part;
        if (!FindEntry(Upper(path))) files[Upper(path)] = FsEntry{path, true, {}};
    }
}

void DiskState::PutFile(const std::string& absolute, std::vector<std::uint8_t> bytes)
{
    const std::string normal = Absolute(absolute);
    const std::string key = Upper(normal);
    const std::string parentKey = ParentKey(key);
    if (!parentKey.empty()) MakeDirectories(normal.substr(0, parentKey.size()));
    if (FsEntry* entry = FindEntry(key)) {
        if (entry->directory) RemoveTree(key);
    }
    FsEntry* entry = FindEntry(key);
    if (entry) {
        entry->bytes = std::move(bytes);
    } else {
        files[key] = FsEntry{normal, false, std::move(bytes)};
    }
}

void DiskState::RemoveTree(const std::string& key)
{
    const std::string prefix = key + "\\";
    for (auto it = files.begin(); it != files.end();) {
        if (it->first == key || it->first.rfind(prefix, 0) == 0) it = files.erase(it);
        else ++it;
    }
}

bool DiskState::FileOpenBlocking(const std::string& key) const
{
    constexpr Dword kShareDelete = 0x4;
    for (const auto& [handle, entry] : core.handles)
        if (entry.kind == HandleKind::File && entry.fileKey == key && !(entry.share & kShareDelete)) return true;
    return false;
}

std::string DiskState::Resolved(const std::string& key, bool followLast) const
{
    constexpr int kMostReparsePoints = 31;  // then Windows gives up with 1921
    std::string current = key;
    for (int round = 0; round < kMostReparsePoints; ++round) {
        bool moved = false;
        // Each folder on the way, then the last part itself.
        for (std::size_t end = current.find('\\', 3); !moved; end = current.find('\\', end + 1)) {
            const bool last = end == std::string::npos;
            if (last && !followLast) return current;
            const std::string prefix = last ? current : current.substr(0, end);
            const FsEntry* entry = FindEntry(prefix);
            if (entry && !entry->reparseTarget.empty()) {
                current = Upper(entry->reparseTarget) + (last ? std::string() : current.substr(end));
                moved = true;
            }
            if (last) break;
        }
        if (!moved) return current;
    }
    return {};
}

std::string DiskState::DataKey(const std::string& key) const
{
    const FsEntry* entry = FindEntry(key);
    return entry && !entry->hardLinkOf.empty() ? entry->hardLinkOf : key;
}

Dword DiskState::LinkCount(const std::string& dataKey) const
{
    Dword links = FindEntry(dataKey) ? 1 : 0;
    for (const auto& [key, entry] : files)
        if (entry.hardLinkOf == dataKey) ++links;
    return links;
}

Dword DiskState::MissingError(const std::string& key) const
{
    const std::string parent = ParentKey(key);
    return parent.empty() || IsDirectory(parent) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

// ---- Files and directories ------------------------------------------------------------------

Call<bool> SimFiles::CopyFileA(const char* existingFile, const char* newFile, bool failIfExists)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("CopyFileA")) return Failed(false, *fault);
    if (!existingFile || !newFile) return Failed(false, ERROR_INVALID_PARAMETER);
    const std::string sourceKey = core.Key(existingFile, true);
    const std::string target = core.Redirected(core.Absolute(newFile));
    const std::string targetKey = Upper(target);
    const FsEntry* source = core.FindEntry(sourceKey);
    if (!source) return Failed(false, core.MissingError(sourceKey));
    if (source->directory) return Failed(false, ERROR_ACCESS_DENIED);
    const std::string parent = Core::ParentKey(targetKey);
    if (parent.empty() || !core.IsDirectory(parent)) return Failed(false, ERROR_PATH_NOT_FOUND);
    FsEntry* existing = core.FindEntry(targetKey);
    if (existing && existing->directory) return Failed(false, ERROR_ACCESS_DENIED);
    if (existing && failIfExists) return Failed(false, ERROR_FILE_EXISTS);
    for (const auto& [handle, entry] : core.handles)
        if (entry.kind == HandleKind::File && entry.fileKey == targetKey) return Failed(false, kErrorSharingViolation);
    if (sourceKey == targetKey) return Failed(false, kErrorSharingViolation);
    std::vector<std::uint8_t> bytes = source->bytes;
    if (existing) existing->bytes = std::move(bytes);
    else core.files[targetKey] = FsEntry{target, false, std::move(bytes)};
    return Ok(true);
}

Call<bool> SimFiles::DeleteFileA(const char* path)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("DeleteFileA")) return Failed(false, *fault);
    if (!path) return Failed(false, ERROR_INVALID_PARAMETER);
    const std::string key = core.Key(path, true);
    const FsEntry* entry = core.FindEntry(key);
    if (!entry) return Failed(false, core.MissingError(key));
    if (entry->directory) return Failed(false, ERROR_ACCESS_DENIED);
    if (core.FileOpenBlocking(key)) return Failed(false, kErrorSharingViolation);
    core.files.erase(key);
    return Ok(true);
}

Call<bool> SimFiles::CreateDirectoryA(const char* path, const void*)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("CreateDirectoryA")) return Failed(false, *fault);
    if (!path) return Failed(false, ERROR_INVALID_PARAMETER);
    const std::string absolute = core.Redirected(core.Absolute(path));
    const std::string key = Upper(absolute);
    if (core.FindEntry(key)) return Failed(false, ERROR_ALREADY_EXISTS);
    const std::string parent = Core::ParentKey(key);
    if (parent.empty() || !core.IsDirectory(parent)) return Failed(false, ERROR_PATH_NOT_FOUND);
    core.files[key] = FsEntry{absolute, true, {}};
    return Ok(true);
}

Call<int> SimFiles::RemoveDirectory(const char* path)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("RemoveDirectory")) return Failed(-1, *fault);
    if (!path) return Failed(-1, ERROR_INVALID_PARAMETER);
    const std::string key = core.Key(path, true);
    const FsEntry* entry = core.FindEntry(key);
    if (!entry) return Failed(-1, core.MissingError(key));
    if (!entry->directory) return Failed(-1, kErrorDirectory);
    if (Core::ParentKey(key).empty()) return Failed(-1, ERROR_ACCESS_DENIED);
    const std::string prefix = key + "\\";
    for (const auto& [other, unused] : core.files)
        if (other.rfind(prefix, 0) == 0) return Failed(-1, ERROR_DIR_NOT_EMPTY);
    // The process keeps its current directory open.
    if (core.Key(core.currentDirectory, true) == key) return Failed(-1, kErrorSharingViolation);
    core.files.erase(key);
    return Ok(0);
}

Call<bool> SimFiles::SetCurrentDirectoryA(const char* path)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("SetCurrentDirectoryA")) return Failed(false, *fault);
    if (!path) return Failed(false, ERROR_INVALID_PARAMETER);
    const std::string absolute = core.Absolute(path);
    const std::string key = Upper(core.Redirected(absolute));
    const FsEntry* entry = core.FindEntry(key);
    if (!entry) return Failed(false, core.MissingError(key));
    if (!entry->directory) return Failed(false, kErrorDirectory);
    core.currentDirectory = absolute;
    return Ok(true);
}

namespace {
Call<Dword> CopyOut(const std::string& text, char* buffer, Dword size)
{
    if (!buffer || size <= text.size()) return Ok(static_cast<Dword>(text.size() + 1));
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return Ok(static_cast<Dword>(text.size()));
}
}  // namespace

Call<Dword> SimFiles::GetCurrentDirectoryA(Dword bufferLength, char* buffer)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetCurrentDirectoryA")) return Failed(Dword{0}, *fault);
    return CopyOut(core.currentDirectory, buffer, bufferLength);
}

Call<Dword> SimFiles::GetSystemDirectoryA(char* buffer, Dword size)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetSystemDirectoryA")) return Failed(Dword{0}, *fault);
    return CopyOut(core.SystemDirectory(), buffer, size);
}

Call<Dword> SimFiles::GetFileAttributesA(const char* path)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetFileAttributesA")) return Failed(INVALID_FILE_ATTRIBUTES, *fault);
    if (!path) return Failed(INVALID_FILE_ATTRIBUTES, ERROR_INVALID_PARAMETER);
    const std::string key = core.Key(path, true);
    const FsEntry* entry = core.FindEntry(key);
    if (!entry) return Failed(INVALID_FILE_ATTRIBUTES, core.MissingError(key));
    // The attributes of the reparse point itself, not of what it leads to.
    const Dword reparse = entry->reparseTarget.empty() ? 0 : FILE_ATTRIBUTE_REPARSE_POINT;
    return Ok((entry->directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE) | reparse);
}

Call<Dword> SimFiles::GetFullPathNameA(const char* path, Dword size, char* buffer, char** filePart)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetFullPathNameA")) return Failed(Dword{0}, *fault);
    if (!path || !*path) return Failed(Dword{0}, ERROR_INVALID_NAME);
    const std::string full = core.Absolute(path);
    const auto copied = CopyOut(full, buffer, size);
    if (filePart && buffer && copied.value < size) {
        const auto slash = full.rfind('\\');
        *filePart = slash + 1 < full.size() ? buffer + slash + 1 : nullptr;
    }
    return copied;
}

Call<bool> SimFiles::InvokeWow64DisableWow64FsRedirection(ProcAddress function, void** oldValue)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("Wow64DisableWow64FsRedirection")) return Failed(false, *fault);
    if (!core.CheckProc(function, Export::Wow64DisableWow64FsRedirection, "Wow64DisableWow64FsRedirection"))
        return Failed(false, ERROR_INVALID_PARAMETER);
    if (!oldValue) return Failed(false, kErrorNoAccess);
    if (!core.profile.Is64BitSystem()) return Failed(false, kErrorInvalidFunction);
    const auto self = std::this_thread::get_id();
    *oldValue = core.redirectionOff.count(self) ? reinterpret_cast<void*>(UintPtr{1}) : nullptr;
    core.redirectionOff.insert(self);
    return Ok(true);
}

Call<bool> SimFiles::InvokeWow64RevertWow64FsRedirection(ProcAddress function, void* oldValue)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("Wow64RevertWow64FsRedirection")) return Failed(false, *fault);
    if (!core.CheckProc(function, Export::Wow64RevertWow64FsRedirection, "Wow64RevertWow64FsRedirection"))
        return Failed(false, ERROR_INVALID_PARAMETER);
    if (!core.profile.Is64BitSystem()) return Failed(false, kErrorInvalidFunction);
    // The saved value says whether redirection was off before the disabling call.
    if (oldValue == nullptr) core.redirectionOff.erase(std::this_thread::get_id());
    return Ok(true);
}

}  // namespace zenthar::sim::detail
