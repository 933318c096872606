#include "install/NameTables.h"

#include <string>

namespace zenthar {

namespace {

constexpr NameSlot Slot(const char* text)
{
    NameSlot slot{};
    for (int i = 0; i < kNameSlot - 1 && text[i] != '\0'; ++i) slot[i] = text[i];
    return slot;
}

// "NORVA Orbix #" and the clone's number, 1 to 200, without leading zeros.
constexpr std::array<NameSlot, kCloneCount> MakeCloneNames()
{
    std::array<NameSlot, kCloneCount> table{};
    for (int i = 0; i < kCloneCount; ++i) {
        auto& slot = table[i];
        constexpr const char* kPrefix = "NORVA Orbix #";
        slot = Slot(kPrefix);
        int length = static_cast<int>(std::char_traits<char>::length(kPrefix));
        const int number = i + 1;
        if (number >= 100) slot[length++] = static_cast<char>('0' + number / 100);
        if (number >= 10) slot[length++] = static_cast<char>('0' + number / 10 % 10);
        slot[length] = static_cast<char>('0' + number % 10);
    }
    return table;
}

}  // namespace

constexpr std::array<NameSlot, kModelCount> ModelNames = {Slot("NORVA MTR333"), Slot("NORVA MTR444"),
                                                          Slot("NORVA KSV100-III")};
constexpr std::array<NameSlot, kCloneCount> CloneNames = MakeCloneNames();

}  // namespace zenthar
