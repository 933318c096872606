#include "core/RunLog.h"

#include <string>
#include <utility>

#include "platform/Constants.h"

namespace zenthar {

bool RunLog::Open(const char* path)
{
    using namespace platform;
    file.Close();
    // Readable while the run goes on, so a deployment tool can follow it.
    const auto opened =
        platform.io.CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    auto owned = OwnHandle(platform.kernel, opened);
    if (!owned) return false;
    file = std::move(owned.owner);
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
