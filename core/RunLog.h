// A run's log file for runs without windows: one line per step, message and result, written
// as it happens, so a run that is stopped half-way still leaves what it did on disk.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/Owners.h"
#include "platform/Platform.h"

namespace zenthar {

class RunLog {
public:
    explicit RunLog(platform::Platform& platform) : platform(platform) {}
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    // Creates the file (an older one is replaced). false when it could not be, or when the
    // path is a link, a file with another name too, or leads elsewhere (the reason goes to the
    // debugger output); a log that could not be opened takes lines and drops them.
    bool Open(const char* path);
    bool IsOpen() const { return file.IsOpen(); }
    // Writes the text and a line end. false when the write failed (or no file is open).
    bool Line(std::string_view text);
    // Writes each line of a text that holds several, split at its '\n's.
    bool Lines(std::string_view text);

private:
    // Why the open file may not be written to; none when it may.
    std::optional<std::string> Refusal(platform::Handle handle, const char* path);

    platform::Platform& platform;
    HandleOwner file;
};

}  // namespace zenthar
