#include "core/RunLog.h"

#include <string>
#include <utility>

#include "core/FixedText.h"
#include "core/SystemFiles.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"

namespace zenthar {

namespace {

// The path as the file system names it, without the "\\?\" that GetFinalPathNameByHandleA
// puts first ("\\?\UNC\server\share" is "\\server\share").
std::string WithoutLongPrefix(std::string path)
{
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + path.substr(8);
    if (path.rfind("\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

// The path a handle's file has once every link on the way is followed; empty when the system
// cannot say (before Vista, where the other checks still hold).
std::string FinalPath(platform::Platform& platform, platform::Handle file)
{
    const auto function = Kernel32Export(platform, "GetFinalPathNameByHandleA");
    if (function == 0) return {};
    char path[1024] = {};
    const auto length = platform.io.InvokeGetFinalPathNameByHandleA(function, file, path, sizeof path, 0);
    if (length.value == 0 || length.value >= sizeof path) return "?";
    return WithoutLongPrefix(std::string(path, length.value));
}

std::string FullPath(platform::Platform& platform, const char* path)
{
    char full[1024] = {};
    const auto length = platform.files.GetFullPathNameA(path, sizeof full, full, nullptr);
    if (length.value == 0 || length.value >= sizeof full) return {};
    return std::string(full, length.value);
}

}  // namespace

// The log is written as an administrator, or as the system account under a deployment tool,
// often into a folder every user may write to (a temporary folder, a share). A user could put
// a link there under the log's name first and have this run overwrite a file of their choice;
// so the file is opened as itself, without truncating, and only a plain file with one name
// that is where it was asked to be is taken.
std::optional<std::string> RunLog::Refusal(platform::Handle handle, const char* path)
{
    platform::ByHandleFileInformation information{};
    const auto read = platform.io.GetFileInformationByHandle(handle, &information);
    if (!read.value) return resources::Say(resources::Words::LogUnreadable, read.error);
    if (information.dwFileAttributes & platform::FILE_ATTRIBUTE_REPARSE_POINT)
        return resources::Text(resources::Words::LogIsLink);
    if (information.nNumberOfLinks > 1)
        return resources::Say(resources::Words::LogHardLinks, information.nNumberOfLinks);
    const std::string final = FinalPath(platform, handle);
    if (!final.empty() && !SameWordNoCase(final, FullPath(platform, path)))
        return resources::Say(resources::Words::LogLeadsTo, final);
    return std::nullopt;
}

bool RunLog::Open(const char* path)
{
    using namespace platform;
    file.Close();
    // Readable while the run goes on, so a deployment tool can follow it.
    const auto opened = platform.io.CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, 0);
    auto owned = OwnHandle(platform.kernel, "CreateFileA", opened);
    if (!owned) return false;
    if (const auto refusal = Refusal(owned->Get(), path)) {
        // An empty file this call made beyond a linked folder stays: deleting it by a path a
        // user can point elsewhere in the meantime could take another file of that name.
        platform.debug.OutputDebugStringA(resources::Say(resources::Words::LogNotWritten, path, *refusal).c_str());
        return false;
    }
    // An older log of the same name is replaced.
    if (!platform.io.SetEndOfFile(owned->Get()).value) return false;
    file = std::move(*owned);
    return true;
}
bool RunLog::Line(std::string_view text)
{
    if (!IsOpen()) return false;
    std::string line(text);
    line += "\r\n";
    platform::Dword written = 0;
    const auto wrote =
        platform.io.WriteFile(file.Get(), line.data(), static_cast<platform::Dword>(line.size()), &written, nullptr);
    return wrote.value && written == line.size();
}

bool RunLog::Lines(std::string_view text)
{
    bool written = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        written = Line(text.substr(0, end)) && written;
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return written;
}

}  // namespace zenthar
