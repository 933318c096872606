#include "uninstall/Removal.h"

namespace zenthar::uninstall {

// First cut so the dialogs can be built against the interface; the machine is not read yet.
Plan FindOurs(platform::Platform&) { return {}; }

std::vector<Outcome> RemoveOurs(platform::Platform&, const Plan& plan, RemovalView&) {
    std::vector<Outcome> outcomes;
    for (const Part& part : plan.parts) outcomes.push_back({part, 0, {}});
    return outcomes;
}

std::string Describe(const Part& part) { return "\"" + part.name + "\""; }
std::string Describe(const Outcome& outcome) { return Describe(outcome.part); }

}  // namespace zenthar::uninstall
