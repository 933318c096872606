// The removal: the plan's parts taken out in order, each with how it went.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/ExitCodes.h"
#include "platform/Platform.h"
#include "uninstall/Survey.h"

namespace zenthar::uninstall {

// Why a part is still there: the system's error number, and the failing call or why it was left.
struct NotRemoved {
    platform::Dword error = 0;
    std::string detail;
};

struct Outcome {
    Part part;
    std::optional<NotRemoved> notRemoved;  // none: removed

    bool Removed() const { return !notRemoved.has_value(); }
};

// Told before each part is removed; position runs 0..100 over the plan.
class RemovalView {
public:
    virtual void Removing(const Part& part, int position) = 0;
    // Told after each part, with how it went.
    virtual void Removed(const Outcome&) {}

protected:
    ~RemovalView() = default;
};

// Removes the plan's parts in order; one failure does not stop the others. One outcome per part.
// The records keep what is still there; they and the entry go when nothing recorded is left.
std::vector<Outcome> RemoveOurs(platform::Platform& platform, const Plan& plan, RemovalView& view);

// Removed when every outcome is a removal, else NotAllRemoved.
UninstallerExit ExitCodeOf(const std::vector<Outcome>& outcomes);

}  // namespace zenthar::uninstall
