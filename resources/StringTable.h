// The program's string table.
#pragma once

namespace zenthar::resources {

// The string resource with this id, or an empty text when there is none (as LoadString
// leaves an empty buffer).
const char* LoadStringResource(int id);

}  // namespace zenthar::resources
