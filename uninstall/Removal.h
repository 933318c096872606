#pragma once
#include <string>
#include <vector>
#include "platform/Platform.h"

namespace zenthar::uninstall {

enum class PartKind { Printer, Driver, Port, Monitor, Entry };

// One thing of ours on the machine. Plans list parts in the order they are removed.
struct Part {
    PartKind kind = PartKind::Printer;
    std::string name;  // printer, driver, port or monitor name; for Entry the entry's display name
};

struct Plan {
    std::vector<Part> parts;
    bool Empty() const { return parts.empty(); }
};

// Reads the machine: everything of ours that is there now.
Plan FindOurs(platform::Platform& platform);

struct Outcome {
    Part part;
    platform::Dword error = 0;  // 0: removed; otherwise the system's error number
    std::string detail;         // when not removed: the failing call, or why it was left
};

// Told before each part is removed; position runs 0..100 over the plan.
class RemovalView {
public:
    virtual void Removing(const Part& part, int position) = 0;

protected:
    ~RemovalView() = default;
};

// Removes the plan's parts in order; one failure does not stop the others. One outcome per part.
std::vector<Outcome> RemoveOurs(platform::Platform& platform, const Plan& plan, RemovalView& view);

// Plain-English texts shared by the dialogs, the summary and the log, e.g.
// Describe(part) == "printer \"NORVA MTR333\"",
// Describe(outcome) == "Removed printer \"NORVA MTR333\"" or
//   "Could not remove printer \"NORVA MTR333\": 2 jobs are waiting (error 3009)".
std::string Describe(const Part& part);
std::string Describe(const Outcome& outcome);

}  // namespace zenthar::uninstall
