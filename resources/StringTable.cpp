#include "resources/StringTable.h"

#include "resources/ResourceIds.h"

namespace zenthar::resources {
namespace {

struct StringEntry {
    int id;
    const char* text;
};

constexpr StringEntry kStrings[] = {
    {kAboutMenuString, "Zenthar Information(&A)..."},
};

}  // namespace

const char* LoadStringResource(int id)
{
    for (const StringEntry& entry : kStrings) {
        if (entry.id == id) return entry.text;
    }
    return "";
}

}  // namespace zenthar::resources
