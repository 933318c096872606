#include "app/AboutDialog.h"

#include "resources/ResourceIds.h"

namespace zenthar {

// Binds nothing and handles nothing: its template says everything.
AboutDialog::AboutDialog(ui::Dialog* parent) : ui::Dialog(resources::kAboutDialog, parent) {}

}  // namespace zenthar
