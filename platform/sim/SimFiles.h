// The simulated disk: files and folders, the current directory, WOW64 file redirection, and
// the file calls on them.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "platform/SecurityRecords.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/SimText.h"

namespace zenthar::sim::detail {

class Core;

struct FsEntry {
    FsEntry() = default;
    FsEntry(std::string path, bool directory, std::vector<std::uint8_t> bytes)
        : path(std::move(path)), directory(directory), bytes(std::move(bytes))
    {}

    std::string path;  // as spelled when created, e.g. "C:\Windows\System32"
    bool directory = false;
    std::vector<std::uint8_t> bytes;
    // A symbolic link or junction to this absolute path: path calls that open what lies there
    // go on to the target, unless they ask for the reparse point itself.
    std::string reparseTarget;
    // Another name of the file with this key: its contents are that file's.
    std::string hardLinkOf;
    // Security (SimSecurity.h): no owner is the owner the program's token gives what it makes;
    // the DACL in effect is the explicit entries, then what the folder above passes on unless
    // protected.
    std::string owner{};
    std::vector<platform::security::Ace> explicitAces{};
    bool daclProtected = false;
};

// The disk's state and the operations on it. Paths depend on the profile's folders, and a file
// held open (a handle of the machine) can block a deletion.
class DiskState {
public:
    explicit DiskState(const Core& core) : core(core) {}

    // The folders and system files of a freshly installed Windows of the profile.
    void InstallSystemFiles();

    // Key gives the upper-case key of a path as the program sees it, after the current
    // directory and WOW64 redirection; `redirect` false gives the disk's own view.
    std::string Absolute(std::string_view path) const;  // normalised, spelled as given
    std::string Redirected(const std::string& absolute) const;
    std::string Key(std::string_view path, bool redirect) const
    {
        return Upper(redirect ? Redirected(Absolute(path)) : Absolute(path));
    }
    FsEntry* FindEntry(const std::string& key);
    const FsEntry* FindEntry(const std::string& key) const;
    static std::string ParentKey(const std::string& key);  // empty for a drive root
    bool IsDirectory(const std::string& key) const;
    // The error for a path whose last part is missing: 2 when its folder exists, else 3.
    Dword MissingError(const std::string& key) const;
    void MakeDirectories(const std::string& absolute);
    void PutFile(const std::string& absolute, std::vector<std::uint8_t> bytes);
    void RemoveTree(const std::string& key);
    bool FileOpenBlocking(const std::string& key) const;  // open without delete sharing
    // The key after every reparse point on the way, the last part's only when `followLast`;
    // the key itself when there is none. A loop gives up after a few rounds, as Windows does.
    std::string Resolved(const std::string& key, bool followLast) const;
    // The key of the file that holds the contents of `key` (itself, or what it is a hard link of).
    std::string DataKey(const std::string& key) const;
    Dword LinkCount(const std::string& dataKey) const;
    bool RedirectionActiveForThisThread() const;
    std::string SystemDirectory() const;
    std::string WindowsDirectory() const;

    std::map<std::string, FsEntry> files;  // by upper-case absolute path
    std::string currentDirectory = "C:\\";
    std::set<std::thread::id> redirectionOff;

private:
    const Core& core;
};

class SimFiles final : public Files {
public:
    explicit SimFiles(Core& core) : core(core) {}
    Call<bool> CopyFileA(const char* existingFile, const char* newFile, bool failIfExists) override;
    Call<bool> DeleteFileA(const char* path) override;
    Call<bool> CreateDirectoryA(const char* path, const void* security) override;
    Call<int> RemoveDirectory(const char* path) override;
    Call<bool> SetCurrentDirectoryA(const char* path) override;
    Call<Dword> GetCurrentDirectoryA(Dword bufferLength, char* buffer) override;
    Call<Dword> GetSystemDirectoryA(char* buffer, Dword size) override;
    Call<Dword> GetFileAttributesA(const char* path) override;
    Call<Dword> GetFullPathNameA(const char* path, Dword size, char* buffer, char** filePart) override;
    Call<bool> InvokeWow64DisableWow64FsRedirection(ProcAddress function, void** oldValue) override;
    Call<bool> InvokeWow64RevertWow64FsRedirection(ProcAddress function, void* oldValue) override;

private:
    Core& core;
};

}  // namespace zenthar::sim::detail
