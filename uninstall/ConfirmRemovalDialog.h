// The uninstaller's first question: what of the printer driver is on this computer and will
// go. Remove ends it with OK, Cancel (or Escape, or the close box) with cancel; nothing is
// changed before Remove.
#pragma once

#include <string>

#include "ui/Dialog.h"
#include "uninstall/Survey.h"

namespace zenthar::uninstall {

class ConfirmRemovalDialog : public ui::Dialog {
public:
    explicit ConfirmRemovalDialog(const Plan& plan);
    ~ConfirmRemovalDialog() override;

protected:
    bool OnInitDialog() override;

private:
    const Plan& plan;
    ui::IconHandle icon = 0;
};

// A part as a row of a list: its description with a capital first letter.
std::string PartRow(const Part& part);

}  // namespace zenthar::uninstall
