// The end of a removal: a headline, then one line per part in the order they were removed,
// saying it was removed or, when it was not, why and the system's error number, then what was
// left on purpose and why (in a read-only text box that wraps the long ones).
#pragma once

#include <string>
#include <vector>

#include "ui/Dialog.h"
#include "uninstall/Removal.h"

namespace zenthar::uninstall {

class RemovalSummaryDialog : public ui::Dialog {
public:
    RemovalSummaryDialog(const std::vector<Outcome>& outcomes, const std::vector<std::string>& left,
                         ui::Dialog* parent);

protected:
    bool OnInitDialog() override;

private:
    const std::vector<Outcome>& outcomes;
    const std::vector<std::string>& left;
};

}  // namespace zenthar::uninstall
